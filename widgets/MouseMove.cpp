#include "widgets/MouseMove.h"

#include <QMouseEvent>

#include "widgets/Handlers.h"

namespace zz {

namespace {
class MouseMoveFilter : public QObject {
public:
    MouseMoveFilter(QObject* parent, std::function<void()> handler) : QObject(parent), m_handler(std::move(handler)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Only moves over the control itself count, not moves over its children that Qt
        // passes up to it.
        if (event->type() == QEvent::MouseMove && watched == parent()) {
            auto* control = static_cast<QWidget*>(watched);
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!control->childAt(at))
                runCommand(m_handler);
        }
        return false;
    }

private:
    std::function<void()> m_handler;
};
} // namespace

void onMouseMove(QWidget* control, std::function<void()> handler)
{
    control->setMouseTracking(true);
    control->installEventFilter(new MouseMoveFilter(control, std::move(handler)));
}

} // namespace zz
