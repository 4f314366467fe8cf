#include "widgets/LookupListModel.h"

#include "data/Table.h"

namespace zz {

void LookupListModel::reset(TDataSet* dataSet, const QString& listField, const QString& keyField)
{
    beginResetModel();
    m_dataSet = dataSet;
    m_list = dataSet ? dataSet->FindField(listField) : nullptr;
    m_key = dataSet ? dataSet->FindField(keyField) : nullptr;
    m_rows = 0;
    m_skipped = -1;
    if (m_list && m_key && dataSet->Active()) {
        m_rows = dataSet->RecordCount();
        auto* table = qobject_cast<TTable*>(dataSet);
        if (table && table->State() == DataSetState::Insert && dataSet->RecNo() >= 0 && dataSet->RecNo() < m_rows) {
            m_skipped = dataSet->RecNo();
            --m_rows;
        }
    }
    endResetModel();
}

int LookupListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() || !m_dataSet ? 0 : m_rows; }

QVariant LookupListModel::data(const QModelIndex& index, int role) const
{
    if (!m_dataSet || !index.isValid() || index.row() >= m_rows)
        return {};
    const int position = positionOf(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return m_list->displayTextOf(m_dataSet->rowValue(position, m_list->index()));
    case Qt::UserRole: return m_dataSet->rowValue(position, m_key->index());
    default: return {};
    }
}

int LookupListModel::rowOfKey(const QVariant& key) const
{
    if (!m_dataSet || !key.isValid() || m_rows == 0)
        return -1;
    const int current = m_dataSet->RecNo();
    if (current >= 0 && current != m_skipped && m_dataSet->rowValue(current, m_key->index()) == key)
        return m_skipped >= 0 && current > m_skipped ? current - 1 : current;
    for (int row = 0; row < m_rows; ++row)
        if (m_dataSet->rowValue(positionOf(row), m_key->index()) == key)
            return row;
    return -1;
}

} // namespace zz
