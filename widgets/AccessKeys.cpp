#include "widgets/AccessKeys.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include "widgets/XiButton.h"

namespace zz {

namespace {

// A control that takes typing keeps bare letters for itself; the access keys of the window's
// buttons then need Alt.
bool takesTyping(const QWidget* w)
{
    if (!w)
        return false;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w)
        || qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
        || qobject_cast<const QComboBox*>(w))
        return true;
    if (auto view = qobject_cast<const QAbstractItemView*>(w))
        return view->editTriggers().testFlag(QAbstractItemView::AnyKeyPressed);
    return w->testAttribute(Qt::WA_InputMethodEnabled);
}

QChar keyCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    if (key > 0 && key <= 0xFFFF && key != Qt::Key_Space)
        return QChar(char16_t(key)).toUpper();
    const QString text = event->text();
    return text.size() == 1 ? text.at(0).toUpper() : QChar();
}

// Routes access keys to the buttons of the window that receives the key: Alt with the letter
// always, the letter alone when the window's focused control takes no typing. Key events only
// reach the active window, so buttons of other windows never respond.
class AccessKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat())
            return false;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        const bool withAlt = mods == Qt::AltModifier;
        if (mods != Qt::NoModifier && !withAlt)
            return false;
        const QChar ch = keyCharacter(key);
        if (ch.isNull() || !ch.isLetterOrNumber())
            return false;

        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!withAlt) {
            QWidget* focus = window->focusWidget() ? window->focusWidget() : static_cast<QWidget*>(watched);
            if (takesTyping(focus))
                return false;
        }
        const QList<TXiButton*> buttons = window->findChildren<TXiButton*>();
        for (TXiButton* button : buttons) {
            if (button->window() == window && button->isVisible() && button->isEnabled()
                && button->accessKey() == ch) {
                button->click();
                return true;
            }
        }
        return false;
    }
};

} // namespace

void ensureAccessKeyFilter()
{
    static QPointer<AccessKeyFilter> filter;
    if (!filter && qApp) {
        filter = new AccessKeyFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

QChar accessKeyOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return caption.at(i + 1).toUpper();
    }
    return QChar();
}

} // namespace zz
