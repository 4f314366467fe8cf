#pragma once
// The data grid's cell editor and the delegate that makes it for an editable column.
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <optional>

namespace zz {

class TDBGridModel;
class TField;

// The editor of a cell: takes what the field's edit control takes (its key filter and length).
class TGridCellEditor : public QLineEdit {
public:
    TGridCellEditor(TField* field, QWidget* parent);
    TField* field() const { return m_field; }
    // While the focus leaves the editor: how it leaves (a click elsewhere, a key, ...).
    std::optional<Qt::FocusReason> leaving;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TField* m_field;
};

class TGridDelegate : public QStyledItemDelegate {
public:
    TGridDelegate(TDBGridModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // The grid writes the editor's text itself (TDBGrid::commitData).
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

protected:
    // Leaving the editor commits its text (here, in the base class); the grid learns how the
    // focus left it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDBGridModel* m_model;
};

} // namespace zz
