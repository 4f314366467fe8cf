#include "widgets/Handlers.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

#include "data/Errors.h"
#include "data/Field.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

namespace zz {

bool guarded(const std::function<void()>& work, const std::function<void()>& onError)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        if (onError)
            onError();
        showError(errorMessage(e));
    }
    return false;
}

bool runCommand(const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (...) {
        TApplication::handleException(std::current_exception());
    }
    return false;
}

WaitCursor::WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }

namespace {
class KeyDownFilter : public QObject {
public:
    KeyDownFilter(QWidget* field, std::function<void(int)> keyDown) : QObject(field), m_keyDown(std::move(keyDown))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // The handler runs the field's button: a command of its own.
            runCommand([&] { m_keyDown(key == Qt::Key_Return || key == Qt::Key_Enter ? kEnterKey : key); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> m_keyDown;
};
} // namespace

void onKeyDown(QWidget* field, std::function<void(int key)> keyDown) { new KeyDownFilter(field, std::move(keyDown)); }

int textToInteger(const QString& text)
{
    if (const std::optional<int> n = parseInteger(text))
        return *n;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

} // namespace zz
