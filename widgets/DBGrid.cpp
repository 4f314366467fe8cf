#include "widgets/DBGrid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "data/Errors.h"
#include "data/Table.h"
#include "widgets/Application.h"
#include "widgets/DataBinding.h"
#include "widgets/Dialogs.h"
#include "widgets/FocusGuard.h"
#include "widgets/GridCellEditor.h"
#include "widgets/Handlers.h"

namespace zz {

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), m_model(new TDBGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new TGridDelegate(m_model, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setWordWrap(false);
    horizontalHeader()->viewport()->installEventFilter(this); // a double-click on a title
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
        connect(source, &TDataSource::rowChanged, this, [this] { followCursor(); });
        connect(source, &TDataSource::dataReset, this, [this] { followCursor(); });
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

template <typename F> bool TDBGrid::runCursorOperation(F&& f)
{
    try {
        f();
        return true;
    } catch (const Exception& e) {
        generalErrorReport(e.message());
        followCursor();
        return false;
    } catch (...) {
        TApplication::handleException(std::current_exception());
        followCursor();
        return false;
    }
}

void TDBGrid::followCursor(int column)
{
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!ds || m_syncing)
        return;
    m_syncing = true;
    const int row = ds->RecNo();
    const int col = column >= 0 ? column : std::max(0, currentIndex().column());
    if (row >= 0 && row < m_model->rowCount() && m_model->columnCount() > 0) {
        const QModelIndex idx = m_model->index(row, col);
        // Through the view, so that it knows its current cell is set and does not pick the first
        // one when it takes the focus back (after a reset closed an editor).
        setCurrentIndex(idx);
        selectionModel()->select(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        selectionModel()->clear();
    }
    m_syncing = false;
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    const int refusals = m_refusals;
    QTableView::currentChanged(current, previous); // an open editor writes its text here
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    if (m_refusals != refusals) {
        followCursor(previous.column()); // the refused text keeps the grid on its cell
        return;
    }
    if (m_syncing || !ds || !current.isValid() || current.row() == ds->RecNo())
        return;
    m_syncing = true;
    const int row = current.row();
    runCursorOperation([&] { ds->MoveTo(row); });
    m_syncing = false;
    followCursor();
}

void TDBGrid::updateRecord()
{
    // An open cell editor writes its text first; a refused text stops the operation that asked.
    if (state() == QAbstractItemView::EditingState)
        if (QWidget* editor = indexWidget(currentIndex()))
            writeEditor(editor);
}

void TDBGrid::writeEditor(QWidget* editor)
{
    auto* cell = dynamic_cast<TGridCellEditor*>(editor);
    auto* t = qobject_cast<TTable*>(DataSource() ? DataSource()->DataSet() : nullptr);
    TField* f = cell ? cell->field() : nullptr;
    if (!f || !t || f->dataSet() != t)
        return;
    const QString text = cell->text();
    if (text == f->EditText())
        return; // unchanged: nothing is written
    t->Edit();
    f->SetAsString(text);
}

void TDBGrid::commitData(QWidget* editor)
{
    try {
        writeEditor(editor);
    } catch (...) {
        // Called through the delegate's signal: the refusal is reported here.
        m_refusedEditor = editor;
        ++m_refusals;
        TApplication::handleException(std::current_exception());
        // The click that took the focus away is still being delivered: it must not act (nor
        // commit the same text a second time).
        auto* cell = dynamic_cast<TGridCellEditor*>(editor);
        if (cell && cell->leaving == Qt::MouseFocusReason)
            focusGuardArm(editor);
    }
}

void TDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor && editor == m_refusedEditor) {
        // The refused text stays in its cell for correcting.
        m_refusedEditor = nullptr;
        editor->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void TDBGrid::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    QTableView::setSelection(rect, command);
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    const int row = ds ? ds->RecNo() : -1;
    if (row >= 0 && row < m_model->rowCount() && m_model->columnCount() > 0)
        selectionModel()->select(m_model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
    if (!runCursorOperation([&] { t->Edit(); }))
        return false;
    return QTableView::edit(m_model->index(t->RecNo(), index.column()), trigger, event);
}

void TDBGrid::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+End goes to the last row of a result read on demand, not to the last row read so far.
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    if (event->key() == Qt::Key_End && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier && ds
        && ds->Active() && !ds->AllFetched()) {
        runCursorOperation([&] { ds->Last(); });
        return;
    }
    auto* t = qobject_cast<TTable*>(ds);
    if (m_readOnly || !t) {
        QTableView::keyPressEvent(event);
        return;
    }
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier) {
            runCursorOperation([&] { t->Insert(); });
            return;
        }
        break;
    case Qt::Key_Down:
        if (mods == Qt::NoModifier && t->RecNo() >= t->RecordCount() - 1) {
            // Down on the last row appends one, unless that row is an untouched new one.
            if (!(t->State() == DataSetState::Insert && !t->Modified()))
                runCursorOperation([&] { t->Append(); });
            return;
        }
        break;
    case Qt::Key_Escape:
        if (mods == Qt::NoModifier && t->State() != DataSetState::Browse) {
            runCursorOperation([&] { t->Cancel(); });
            return;
        }
        break;
    case Qt::Key_Delete:
        if (mods == Qt::ControlModifier) {
            if (messageBox(MsgKind::Confirmation, QStringLiteral("Delete record?"), MsgButtons::OKCancel) == MsgResult::OK)
                runCursorOperation([&] { t->Delete(); });
            return;
        }
        break;
    default: break;
    }
    QTableView::keyPressEvent(event);
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    // Handlers are connected through command(); this is the last stop for any other.
    runCommand([this] { emit DblClick(); });
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (cell.isValid())
        runCommand([&] { emit CellClick(cell.column()); });
}

bool TDBGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == horizontalHeader()->viewport())
        runCommand([this] { emit DblClick(); });
    return QTableView::eventFilter(watched, event);
}

} // namespace zz
