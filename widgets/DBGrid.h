#pragma once
// The data grid: one row per row of a cursor in browse order, with the columns its window lists.
// The selected row is the cursor's current row in both directions. A read-only grid only moves
// the cursor; an editable grid also edits, inserts, appends and deletes rows.
#include <QPointer>
#include <QTableView>

#include "data/DataSource.h"
#include "widgets/DBGridModel.h"

namespace zz {

class TDBGrid : public QTableView, public TDataLink {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    void setDataSource(TDataSource* source);
    TDataSource* DataSource() const { return m_model->dataSource(); }
    void setColumns(const QList<TColumn>& columns);
    void addColumn(const TColumn& column);
    void addColumn(const QString& field, const QString& title, int width = 64);
    const QList<TColumn>& columns() const { return m_model->columns(); }
    // Read-only grids only move the cursor (the default).
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    TDBGridModel* gridModel() const { return m_model; }

    void updateRecord() override;
    bool focusField(TField* field) override;
    void scrollCurrentToMiddle() override;

signals:
    // A double-click anywhere in the grid: on a row, on a column title or on the empty space
    // below the rows (also in a grid without rows).
    void DblClick();
    // The left mouse button was released over a cell of a row, after the press made that row
    // current; column is the cell's column. Moving through the rows by keyboard sends none.
    void CellClick(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // A cell editor writes its text into its field; a text the field refuses is reported once
    // and stays in the editor, which then does not close.
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    // The selected row is the cursor's current row, whatever a click or key asked for.
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;

private:
    // Makes the cursor's current row the grid's current and selected row (in the given column,
    // else the current one).
    void followCursor(int column = -1);
    void applyColumns();
    // Writes an open cell editor's changed text into its field; throws the field's conversion error.
    void writeEditor(QWidget* editor);
    // Runs a cursor operation; a failure goes to the general error report.
    template <typename F> bool runCursorOperation(F&& f);

    TDBGridModel* m_model;
    bool m_readOnly = true;
    bool m_syncing = false;
    QPointer<QWidget> m_refusedEditor; // the editor whose text was just refused
    int m_refusals = 0;
};

} // namespace zz
