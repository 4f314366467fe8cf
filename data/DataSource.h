#pragma once
// A data source connects one cursor to any number of data-bound controls and detail cursors.
#include <QObject>
#include <QPointer>

#include "data/DataSet.h"

namespace zz {

class TDataSource : public QObject {
    Q_OBJECT
public:
    TDataSource(const QString& name, TDataSet* dataSet, QObject* parent = nullptr);
    TDataSet* DataSet() const { return m_dataSet; }

signals:
    void rowChanged();
    void dataReset();
    void fieldChanged(int index);
    void stateChanged();

private:
    QPointer<TDataSet> m_dataSet;
};

} // namespace zz
