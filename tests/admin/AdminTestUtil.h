#pragma once
// Shared by the administration tests: a fresh database and data module per test, rows added
// through the cursors, and a way to act inside a dialog that a handler shows modally.
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

// Runs `action` inside the modal loop of the dialog that the next handler shows, then closes the
// dialog by its frame if the action left it open, so that the handler always returns.
inline void whileModal(TForm* dialog, std::function<void()> action)
{
    QTimer::singleShot(0, dialog, [dialog, action = std::move(action)] {
        QApplication::setActiveWindow(dialog);
        action();
        if (dialog->isVisible())
            dialog->close();
    });
}

} // namespace zz::test
