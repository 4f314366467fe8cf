#pragma once
// Shared by the administration tests: a fresh database and data module per test, rows added
// through the cursors, and a way to act inside a dialog that a handler shows modally (the test
// fails when the dialog never showed).
#include <QApplication>
#include <QSqlQuery>
#include <QTimer>
#include <functional>
#include <memory>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Regional.h"
#include "tests/support/TestSupport.h"
#include "widgets/Form.h"

namespace zz::test {

// The actions meant to run inside a modal dialog that have not run yet, by dialog name.
inline QStringList pendingModalActions;

// Runs an action inside the modal loop of a dialog once the dialog shows, then closes the dialog
// by its frame if the action left it open, so that the handler that showed it returns.
class ModalAction : public QObject {
public:
    ModalAction(TForm* dialog, std::function<void()> action)
        : QObject(dialog), m_dialog(dialog), m_action(std::move(action)), m_name(dialog->objectName())
    {
        pendingModalActions << m_name;
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_dialog && event->type() == QEvent::Show && !m_due) {
            m_due = true;
            QTimer::singleShot(0, this, [this] { run(); });
        }
        return false;
    }

private:
    void run()
    {
        pendingModalActions.removeOne(m_name);
        if (TForm::topModal() != m_dialog)
            QTest::qFail(qPrintable(m_name + QStringLiteral(" was shown, but not modally")), __FILE__, __LINE__);
        QApplication::setActiveWindow(m_dialog);
        m_action();
        if (m_dialog->isVisible())
            m_dialog->close();
        deleteLater();
    }

    TForm* m_dialog;
    std::function<void()> m_action;
    QString m_name;
    bool m_due = false;
};

// Runs `action` inside the modal loop of the dialog that the next handler shows, then closes the
// dialog by its frame if the action left it open, so that the handler always returns. An action
// whose dialog never showed fails the test when it ends (AdminFixture::tearDown).
inline void whileModal(TForm* dialog, std::function<void()> action) { new ModalAction(dialog, std::move(action)); }

// Fails the test for every action of whileModal that never ran, and forgets them.
inline void verifyModalActionsRan()
{
    const QStringList never = pendingModalActions;
    pendingModalActions.clear();
    if (!never.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("never shown modally, so the actions meant for them never ran: ")
                                + never.join(QStringLiteral(", "))),
                     __FILE__, __LINE__);
}

struct AdminFixture {
    std::unique_ptr<TempHome> home;
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<RecordingSeam> seam;

    void setUp()
    {
        home = std::make_unique<TempHome>();
        setRegional(RegionalSettings{});
        dm = std::make_unique<TDataModule1>();
        seam = std::make_unique<RecordingSeam>();
    }
    void tearDown()
    {
        verifyModalActionsRan();
        seam.reset();
        dm.reset();
        home.reset();
    }

    void addCustomer(const QString& name)
    {
        dm->tblCustomer->Insert();
        dm->tblCustomerCus_Name->SetAsString(name);
        dm->tblCustomer->Post();
    }
    void addProduct(const QString& code, const QString& description, double price)
    {
        dm->tblProduct->Insert();
        dm->tblProductProd_Code->SetAsString(code);
        dm->tblProductProd_Description->SetAsString(description);
        dm->tblProductProd_Price->SetAsFloat(price);
        dm->tblProduct->Post();
    }
    // Every box shown since the last call, as "Title: text" joined by " | "; then forgets them.
    QString boxes()
    {
        QStringList shown;
        for (const MessageRequest& m : seam->messages)
            shown << m.title + QStringLiteral(": ") + m.text;
        seam->messages.clear();
        return shown.join(QStringLiteral(" | "));
    }
    // A value as the database holds it, read past every cursor.
    static QVariant stored(const QString& sql)
    {
        QSqlQuery q(Engine::database());
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }
    static int count(const QString& table) { return stored(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }
};

// Shows a window and makes it the active one, so that focus moves as it does for a user.
inline void activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
}

} // namespace zz::test
