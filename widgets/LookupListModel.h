#pragma once
// The entries of a lookup combo box: the rows of its list cursor, read as the list shows them
// rather than copied when it is filled, so that a box over a hundred thousand customers opens
// at once. Each entry shows the row's list field and holds its key field (Qt::UserRole).
#include <QAbstractListModel>
#include <QPointer>

#include "data/DataSet.h"

namespace zz {

class LookupListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LookupListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // Reads the rows of `dataSet` (none when it is null or closed) from now on. A new row not
    // yet written (a table in insert mode) is no entry.
    void reset(TDataSet* dataSet, const QString& listField, const QString& keyField);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The entry holding a key, -1 when none does: the cursor's current row is tried first (it
    // stands on the key last chosen), then the rows in order.
    int rowOfKey(const QVariant& key) const;

private:
    // The position in the dataset of an entry.
    int positionOf(int row) const { return m_skipped >= 0 && row >= m_skipped ? row + 1 : row; }

    QPointer<TDataSet> m_dataSet;
    TField* m_list = nullptr;
    TField* m_key = nullptr;
    int m_rows = 0;
    int m_skipped = -1; // the position of the row not yet written
};

} // namespace zz
