#include "widgets/Accessible.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLabel>

#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

namespace zz {

namespace {

// The gradient button: a push button with the press action; the action is queued, so that a
// button opening a modal window answers the assistive program at once.
class XiButtonAccessible : public QAccessibleWidget {
public:
    explicit XiButtonAccessible(TXiButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    TXiButton* button() const { return static_cast<TXiButton*>(object()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? stripAccessKey(button()->caption()) : name;
        }
        case QAccessible::Accelerator:
            return button()->accessKey().isNull()
                ? QString()
                : QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(button()->accessKey().unicode())))
                      .toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->look() == TXiButton::Look::Pressed;
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction()) {
            if (widget()->isEnabled())
                QMetaObject::invokeMethod(button(), &TXiButton::click, Qt::QueuedConnection);
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == pressAction() && !button()->accessKey().isNull())
            return {text(QAccessible::Accelerator)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

// The gradient panel: a pane, named by its caption when it has one.
class XiPanelAccessible : public QAccessibleWidget {
public:
    explicit XiPanelAccessible(TXiPanel* panel) : QAccessibleWidget(panel, QAccessible::Pane) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<TXiPanel*>(object())->caption();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("zz::TXiButton"))
        return new XiButtonAccessible(static_cast<TXiButton*>(object));
    if (className == QLatin1String("zz::TXiPanel"))
        return new XiPanelAccessible(static_cast<TXiPanel*>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

QString stripAccessKey(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 >= caption.size())
                break;
            ++i; // the character after it stands for itself ("&&" for one ampersand)
        }
        text += caption.at(i);
    }
    return text;
}

void nameControl(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    QString name = stripAccessKey(label->text()).trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    control->setAccessibleName(name);
}

} // namespace zz
