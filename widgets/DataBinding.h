#pragma once
// What every data-bound control shares: the data source it shows and the field it is bound to.
#include <QPointer>
#include <QString>

#include "data/DataSource.h"
#include "data/Table.h"

namespace zz {

class TFieldBinding {
public:
    TDataSource* DataSource() const { return m_source; }
    const QString& DataField() const { return m_fieldName; }
    TDataSet* dataSet() const { return m_source ? m_source->DataSet() : nullptr; }
    TTable* table() const { return qobject_cast<TTable*>(dataSet()); }
    // The bound field; nullptr while unbound or when the cursor has no such field.
    TField* Field() const
    {
        TDataSet* ds = dataSet();
        return ds && !m_fieldName.isEmpty() ? ds->FindField(m_fieldName) : nullptr;
    }
    bool pendingMode() const
    {
        TTable* t = table();
        return t && (t->State() == DataSetState::Edit || t->State() == DataSetState::Insert);
    }

protected:
    QPointer<TDataSource> m_source;
    QString m_fieldName;
};

} // namespace zz
