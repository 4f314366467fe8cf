#include "widgets/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include "data/Errors.h"
#include "widgets/DataBinding.h"
#include "data/Table.h"
#include "widgets/Dialogs.h"

namespace zz {

// ---- model ----

TDBGridModel::TDBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDBGridModel::setDataSource(TDataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &TDataSource::dataReset, this, &TDBGridModel::reset);
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
    m_rows = ds && ds->Active() ? ds->RecordCount() : 0;
    endResetModel();
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
        if (role == Qt::EditRole) {
            if (!v.isValid())
                return QString();
            if (f->DataType() == FieldType::Money || f->DataType() == FieldType::Float)
                return f->DisplayFormat().isEmpty() ? QString::number(v.toDouble()) : f->displayTextOf(v);
            return f->displayTextOf(v);
        }
        return f->displayTextOf(v);
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

bool TDBGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    TField* f = columnField(index.column());
    auto* t = m_source ? qobject_cast<TTable*>(m_source->DataSet()) : nullptr;
    if (!f || !t || role != Qt::EditRole)
        return false;
    if (f->displayTextOf(f->Value()) == value.toString() || (f->IsNull() && value.toString().isEmpty()))
        return false;
    try {
        t->Edit();
        f->SetAsString(value.toString());
    } catch (const Exception& e) {
        generalErrorReport(e.message());
        return false;
    }
    return true;
}

// ---- grid ----

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), m_model(new TDBGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setWordWrap(false);
}

TDBGrid::~TDBGrid()
{
    if (DataSource())
        DataSource()->removeLink(this);
}

void TDBGrid::setDataSource(TDataSource* source)
{
    if (TDataSource* old = DataSource()) {
        old->removeLink(this);
        disconnect(old, nullptr, this, nullptr);
    }
    m_model->setDataSource(source);
    if (source) {
        source->addLink(this);
        connect(source, &TDataSource::rowChanged, this, &TDBGrid::followCursor);
        connect(source, &TDataSource::dataReset, this, &TDBGrid::followCursor);
    }
    followCursor();
}

void TDBGrid::setColumns(const QList<TColumn>& columns)
{
    m_model->setColumns(columns);
    applyColumns();
}

void TDBGrid::addColumn(const TColumn& column)
{
    QList<TColumn> cols = m_model->columns();
    cols.push_back(column);
    setColumns(cols);
}

void TDBGrid::addColumn(const QString& field, const QString& title, int width)
{
    TColumn c;
    c.field = field;
    c.title = title;
    c.width = width;
    addColumn(c);
}

void TDBGrid::applyColumns()
{
    const auto& cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        setColumnWidth(i, cols[i].width);
    followCursor();
}

void TDBGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->setEditable(!readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::DoubleClicked);
}

template <typename F> bool TDBGrid::guarded(F&& f)
{
    try {
        f();
        return true;
    } catch (const Exception& e) {
        generalErrorReport(e.message());
        followCursor();
        return false;
    }
}

void TDBGrid::followCursor()
{
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!ds || m_syncing)
        return;
    m_syncing = true;
    const int row = ds->RecNo();
    const int col = std::max(0, currentIndex().column());
    if (row >= 0 && row < m_model->rowCount() && m_model->columnCount() > 0) {
        const QModelIndex idx = m_model->index(row, col);
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        selectionModel()->clear();
    }
    m_syncing = false;
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    if (m_syncing || !ds || !current.isValid() || current.row() == ds->RecNo())
        return;
    m_syncing = true;
    const int row = current.row();
    guarded([&] { ds->MoveTo(row); });
    m_syncing = false;
    followCursor();
}

void TDBGrid::updateRecord()
{
    // An open cell editor writes its text first.
    if (state() == QAbstractItemView::EditingState)
        if (QWidget* editor = indexWidget(currentIndex()); editor || QApplication::focusWidget())
            commitData(editor ? editor : QApplication::focusWidget());
}

bool TDBGrid::focusField(TField* field)
{
    if (!mayTakeFocus(this))
        return false;
    for (int i = 0; i < m_model->columnCount(); ++i) {
        if (m_model->columnField(i) == field) {
            setFocus(Qt::OtherFocusReason);
            const int row = DataSource()->DataSet()->RecNo();
            if (row >= 0)
                setCurrentIndex(m_model->index(row, i));
            return true;
        }
    }
    return false;
}

void TDBGrid::scrollCurrentToMiddle()
{
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    if (ds && ds->RecNo() >= 0 && m_model->columnCount() > 0)
        scrollTo(m_model->index(ds->RecNo(), std::max(0, currentIndex().column())), QAbstractItemView::PositionAtCenter);
}

bool TDBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (m_readOnly || !index.isValid() || trigger == QAbstractItemView::CurrentChanged
        || trigger == QAbstractItemView::SelectedClicked || trigger == QAbstractItemView::AllEditTriggers
        || !(editTriggers() & trigger))
        return QTableView::edit(index, trigger, event);
    auto* t = qobject_cast<TTable*>(DataSource() ? DataSource()->DataSet() : nullptr);
    if (!t || !(m_model->flags(index) & Qt::ItemIsEditable))
        return false;
    // Typing into a cell or F2 starts editing the row.
    if (!guarded([&] { t->Edit(); }))
        return false;
    return QTableView::edit(m_model->index(t->RecNo(), index.column()), trigger, event);
}

void TDBGrid::keyPressEvent(QKeyEvent* event)
{
    auto* t = qobject_cast<TTable*>(DataSource() ? DataSource()->DataSet() : nullptr);
    if (m_readOnly || !t) {
        QTableView::keyPressEvent(event);
        return;
    }
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier) {
            guarded([&] { t->Insert(); });
            return;
        }
        break;
    case Qt::Key_Down:
        if (mods == Qt::NoModifier && t->RecNo() >= t->RecordCount() - 1) {
            // Down on the last row appends one, unless that row is an untouched new one.
            if (!(t->State() == DataSetState::Insert && !t->Modified()))
                guarded([&] { t->Append(); });
            return;
        }
        break;
    case Qt::Key_Escape:
        if (mods == Qt::NoModifier && t->State() != DataSetState::Browse) {
            guarded([&] { t->Cancel(); });
            return;
        }
        break;
    case Qt::Key_Delete:
        if (mods == Qt::ControlModifier) {
            if (messageBox(MsgKind::Confirmation, QStringLiteral("Delete record?"), MsgButtons::OKCancel) == MsgResult::OK)
                guarded([&] { t->Delete(); });
            return;
        }
        break;
    default: break;
    }
    QTableView::keyPressEvent(event);
}

} // namespace zz
