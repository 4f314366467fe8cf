#include "widgets/DBEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include "data/Errors.h"
#include "widgets/Dialogs.h"
#include "widgets/FocusGuard.h"
#include "widgets/Handlers.h"

namespace zz {

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent)
{
    // A refused edit mode (a locked row, say) goes to the general error report.
    connect(this, &QLineEdit::textEdited, this, command(this, &TDBEdit::onEdited));
}

TDBEdit::TDBEdit(TDataSource* source, const QString& field, QWidget* parent) : TDBEdit(parent) { bind(source, field); }

TDBEdit::~TDBEdit() { detachSource(this); }

void TDBEdit::bind(TDataSource* source, const QString& field)
{
    m_fieldName = field;
    setDataSource(source);
}

void TDBEdit::setDataSource(TDataSource* source)
{
    attachSource(this, this, source, [this] { refresh(); });
}

void TDBEdit::setDataField(const QString& field)
{
    m_fieldName = field;
    refresh();
}

void TDBEdit::refresh()
{
    if (m_dirty && pendingMode())
        return;
    m_dirty = false;
    TField* f = Field();
    setMaxLength(maxLengthFor(f));
    setReadOnly(f && f->ReadOnly());
    m_showing = true;
    setText(!f ? QString() : hasFocus() ? f->EditText() : f->DisplayText());
    m_showing = false;
}

void TDBEdit::Reset()
{
    m_dirty = false;
    refresh();
    selectAll();
}

void TDBEdit::onEdited()
{
    if (m_showing || m_dirty)
        return;
    m_dirty = true;
    // The first typed change puts the cursor into edit mode.
    if (TTable* t = table(); t && t->State() == DataSetState::Browse) {
        try {
            t->Edit();
        } catch (...) {
            m_dirty = false;
            refresh();
            throw;
        }
    }
}

void TDBEdit::updateRecord()
{
    if (!m_dirty)
        return;
    TField* f = Field();
    if (!f || !pendingMode()) {
        m_dirty = false;
        return;
    }
    f->SetAsString(text());
    m_dirty = false;
}

bool TDBEdit::focusField(TField* field)
{
    if (!field || Field() != field || !mayTakeFocus(this))
        return false;
    setFocus(Qt::OtherFocusReason);
    return true;
}

void TDBEdit::focusInEvent(QFocusEvent* event)
{
    // The window coming back after a message box or a popup is not entering the field: text,
    // caret and selection stay as they were.
    const Qt::FocusReason reason = event->reason();
    const bool windowBack = m_leftWithWindow && (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
    m_leftWithWindow = false;
    QLineEdit::focusInEvent(event);
    if (windowBack || m_dirty)
        return;
    // Entering shows the edit text; by keyboard or by the program the whole text is selected so
    // that typing replaces it, while a click puts the caret where it points.
    refresh();
    if (reason != Qt::MouseFocusReason)
        selectAll();
}

void TDBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu or another window taking the focus for a moment is not leaving the field.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
        m_leftWithWindow = true;
        return;
    }
    try {
        updateRecord();
    } catch (const Exception& e) {
        generalErrorReport(e.message());
        // The click that took the focus away is still being delivered: it must not act.
        if (event->reason() == Qt::MouseFocusReason)
            focusGuardArm(this);
        setFocus(Qt::OtherFocusReason);
        selectAll();
        return;
    }
    refresh();
}

void TDBEdit::hideEvent(QHideEvent* event)
{
    QLineEdit::hideEvent(event);
    if (!m_dirty)
        return;
    try {
        updateRecord();
    } catch (const Exception&) {
        // Text that cannot be converted stays as typed; leaving the field or saving reports it.
        return;
    }
    refresh();
}

void TDBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_dirty) {
            Reset();
            event->accept();
            return;
        }
        selectAll();
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!isReadOnly() && refusesKey(Field(), event)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace zz
