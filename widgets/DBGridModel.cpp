#include "widgets/DBGridModel.h"

#include "data/Errors.h"
#include "widgets/Dialogs.h"

namespace zz {

TDBGridModel::TDBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDBGridModel::setDataSource(TDataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &TDataSource::dataReset, this, &TDBGridModel::reset);
        connect(source, &TDataSource::rowsFetched, this, &TDBGridModel::rowsFetched);
        connect(source, &TDataSource::stateChanged, this, [this] {
            if (m_source && m_source->DataSet())
                rowValuesChanged(m_source->DataSet()->RecNo());
        });
        connect(source, &TDataSource::fieldChanged, this, [this] {
            if (m_source && m_source->DataSet())
                rowValuesChanged(m_source->DataSet()->RecNo());
        });
    }
    reset();
}

void TDBGridModel::setColumns(const QList<TColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void TDBGridModel::reset()
{
    beginResetModel();
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    m_rows = ds && ds->Active() ? ds->FetchedCount() : 0;
    endResetModel();
}

void TDBGridModel::rowsFetched()
{
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    const int n = ds && ds->Active() ? ds->FetchedCount() : 0;
    if (n <= m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, n - 1);
    m_rows = n;
    endInsertRows();
}

bool TDBGridModel::canFetchMore(const QModelIndex& parent) const
{
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    return !parent.isValid() && ds && ds->Active() && !ds->AllFetched();
}

void TDBGridModel::fetchMore(const QModelIndex& parent)
{
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    if (parent.isValid() || !ds)
        return;
    // Asked while the view scrolls: a failure to read goes to the general error report here.
    try {
        ds->FetchMore(); // the rows join through rowsFetched
    } catch (const std::exception& e) {
        generalErrorReport(errorMessage(e));
    }
}

void TDBGridModel::rowValuesChanged(int row)
{
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

TField* TDBGridModel::columnField(int column) const
{
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    if (!ds || column < 0 || column >= m_columns.size())
        return nullptr;
    return ds->FindField(m_columns[column].field);
}

int TDBGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }
int TDBGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant TDBGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const TColumn& c = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        TField* f = columnField(index.column());
        if (!f)
            return {};
        const QVariant v = m_source->DataSet()->rowValue(index.row(), f->index());
        return role == Qt::EditRole ? f->editTextOf(v) : f->displayTextOf(v);
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(c.alignment);
    case Qt::BackgroundRole: return c.color.isValid() ? QVariant(c.color) : QVariant();
    default: return {};
    }
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[section].titleAlignment);
    return {};
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    TField* field = columnField(index.column());
    if (m_editable && field && !field->ReadOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace zz
