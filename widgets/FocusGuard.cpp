#include "widgets/FocusGuard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace zz {

namespace {
// Swallows the press that moved the focus (it is still on its way when the guard is armed) and
// the release that follows it, anywhere except in the control that keeps the focus, then removes
// itself. A later, new press ends the guard and goes through.
class ClickSwallower : public QObject {
public:
    QPointer<QWidget> keeper;
    bool armed = false;
    bool pressSeen = false;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && keeper && (w == keeper || keeper->isAncestorOf(w)))
            return false;
        if (type == QEvent::MouseButtonRelease) {
            disarm();
            return true;
        }
        if (type == QEvent::MouseButtonPress && pressSeen && !w) {
            // A new click reaches the window: the refused one is over.
            disarm();
            return false;
        }
        pressSeen = true;
        return true;
    }
    void disarm()
    {
        qApp->removeEventFilter(this);
        armed = false;
        pressSeen = false;
    }
};

ClickSwallower& swallower()
{
    static ClickSwallower* s = new ClickSwallower;
    return *s;
}
} // namespace

void focusGuardArm(QWidget* keeper)
{
    ClickSwallower& s = swallower();
    s.keeper = keeper;
    if (!s.armed) {
        qApp->installEventFilter(&s);
        s.armed = true;
        s.pressSeen = false;
    }
}

bool focusGuardBlocksClick() { return swallower().armed; }

} // namespace zz
