#include "widgets/GridCellEditor.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "widgets/DBGridModel.h"
#include "widgets/DataBinding.h"

namespace zz {

TGridCellEditor::TGridCellEditor(TField* field, QWidget* parent) : QLineEdit(parent), m_field(field)
{
    setFrame(false);
    setMaxLength(maxLengthFor(field));
}

void TGridCellEditor::keyPressEvent(QKeyEvent* event)
{
    if (refusesKey(m_field, event)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QWidget* TGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* editor = new TGridCellEditor(m_model->columnField(index.column()), parent);
    editor->setAlignment(m_model->columns().at(index.column()).alignment); // as the column shows it
    return editor;
}

void TGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    static_cast<TGridCellEditor*>(editor)->setText(index.data(Qt::EditRole).toString());
}

bool TGridDelegate::eventFilter(QObject* watched, QEvent* event)
{
    auto* cell = dynamic_cast<TGridCellEditor*>(watched);
    if (!cell || event->type() != QEvent::FocusOut)
        return QStyledItemDelegate::eventFilter(watched, event);
    cell->leaving = static_cast<QFocusEvent*>(event)->reason();
    const bool handled = QStyledItemDelegate::eventFilter(watched, event);
    cell->leaving.reset();
    return handled;
}

} // namespace zz
