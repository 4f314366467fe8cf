#include "widgets/MouseMove.h"

#include <QEvent>

namespace zz {

namespace {
class MouseMoveFilter : public QObject {
public:
    MouseMoveFilter(QObject* parent, std::function<void()> handler) : QObject(parent), m_handler(std::move(handler)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove && watched == parent())
            m_handler();
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
