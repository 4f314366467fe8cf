// What an assistive program sees of the window kit: gradient buttons as push buttons named by
// their captions that can be pressed, panels as panes, edit fields named by their captions and
// grids as named tables, all reached from the window down the accessible tree.
#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/TestSupport.h"
#include "widgets/Accessible.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Form.h"
#include "widgets/WindowKit.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

using namespace zz;

namespace {

// The first interface under root, depth first, with the role and name asked for.
QAccessibleInterface* find(QAccessibleInterface* root, QAccessible::Role role, const QString& name)
{
    if (!root)
        return nullptr;
    if (root->role() == role && root->text(QAccessible::Name) == name)
        return root;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* found = find(root->child(i), role, name))
            return found;
    }
    return nullptr;
}

// A small window as the windows build theirs: a content panel with two captioned fields and a
// grid, a button bar with Save (enabled) and Delete (disabled).
struct Window {
    TForm form;
    TXiPanel* content = new TXiPanel(&form);
    TXiPanel* bar = new TXiPanel(&form);
    QLabel* label1 = nullptr;
    QLabel* label2 = nullptr;
    TDBEdit* edit1 = nullptr;
    TDBEdit* edit2 = nullptr;
    TDBGrid* grid = new TDBGrid(content);
    TXiButton* save = makeButton(bar, QStringLiteral("btnSave"), QStringLiteral("&Save"), QString(),
                                 ButtonScheme::csNeoRose, 16, 8);
    TXiButton* remove = makeButton(bar, QStringLiteral("btnDelete"), QStringLiteral("&Delete"), QString(),
                                   ButtonScheme::csNeoRose, 100, 8);

    Window()
    {
        form.setWindowTitle(QStringLiteral("New Customer"));
        form.resize(360, 300);
        content->setGeometry(0, 0, 360, 259);
        bar->setGeometry(0, 259, 360, 41);
        bar->setCaption(QStringLiteral("Buttons"));
        makeFieldRows(content, nullptr,
                      {{label1, "Customer Name", edit1, "Cus_Name", 233, true},
                       {label2, "Phone Number:", edit2, "Cus_Phone", 121}},
                      {16, 112, true});
        grid->setGeometry(16, 100, 320, 140);
        grid->setAccessibleName(QStringLiteral("Customers"));
        grid->setColumns({{QStringLiteral("Cus_Name"), QStringLiteral("Customer Name")},
                          {QStringLiteral("Cus_Phone"), QStringLiteral("Phone")}});
        remove->setEnabled(false);
    }
};

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void captionsReadWithoutTheirAccessKey()
    {
        QCOMPARE(stripAccessKey(QStringLiteral("&Save")), QStringLiteral("Save"));
        QCOMPARE(stripAccessKey(QStringLiteral("S&ubmit")), QStringLiteral("Submit"));
        QCOMPARE(stripAccessKey(QStringLiteral("Fish && &Chips")), QStringLiteral("Fish & Chips"));
        QCOMPARE(stripAccessKey(QStringLiteral("...")), QStringLiteral("..."));
        QCOMPARE(stripAccessKey(QStringLiteral("Trailing &")), QStringLiteral("Trailing "));
    }

    void everyControlIsFoundFromTheWindowByRoleAndName()
    {
        Window w;
        w.form.show();
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&w.form);
        QVERIFY(root);
        QCOMPARE(root->text(QAccessible::Name), QStringLiteral("New Customer"));

        QAccessibleInterface* save = find(root, QAccessible::Button, QStringLiteral("Save"));
        QVERIFY(save);
        QCOMPARE(save->object(), w.save);
        QVERIFY(find(root, QAccessible::Pane, QStringLiteral("Buttons")));
        // A caption's trailing colon is no part of the field's name.
        QAccessibleInterface* name = find(root, QAccessible::EditableText, QStringLiteral("Customer Name"));
        QAccessibleInterface* phone = find(root, QAccessible::EditableText, QStringLiteral("Phone Number"));
        QVERIFY(name && phone);
        QCOMPARE(name->object(), w.edit1);
        QCOMPARE(phone->object(), w.edit2);
        QCOMPARE(w.label1->buddy(), w.edit1);

        QAccessibleInterface* grid = find(root, QAccessible::Table, QStringLiteral("Customers"));
        QVERIFY(grid);
        QVERIFY(grid->tableInterface());
        QCOMPARE(grid->tableInterface()->columnCount(), 2);
        QCOMPARE(grid->tableInterface()->rowCount(), 0);
    }

    void buttonsTellTheirStateAndArePressedByTheirAction()
    {
        Window w;
        w.form.show();
        QAccessibleInterface* save = QAccessible::queryAccessibleInterface(w.save);
        QAccessibleInterface* remove = QAccessible::queryAccessibleInterface(w.remove);
        QCOMPARE(save->role(), QAccessible::Button);
        QVERIFY(save->state().focusable);
        QVERIFY(!save->state().disabled);
        QVERIFY(!save->state().invisible);
        QVERIFY(remove->state().disabled);
        QCOMPARE(save->text(QAccessible::Accelerator), QKeySequence(QStringLiteral("Alt+S")).toString(QKeySequence::NativeText));

        QAccessibleActionInterface* action = save->actionInterface();
        QVERIFY(action);
        QVERIFY(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QVERIFY(!remove->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

        // The press comes back from the event loop, so that a button opening a modal window
        // answers the assistive program before the window runs; a disabled button stays unpressed.
        QSignalSpy saved(w.save, &TXiButton::clicked);
        QSignalSpy removed(w.remove, &TXiButton::clicked);
        w.save->setModalResult(1);
        action->doAction(QAccessibleActionInterface::pressAction());
        remove->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(saved.size(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(saved.size(), 1);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(w.form.modalResult(), 1);

        // A hidden button is invisible to the reader, and a new caption is its new name.
        w.save->setCaption(QStringLiteral("&Post"));
        QCOMPARE(save->text(QAccessible::Name), QStringLiteral("Post"));
        w.save->hide();
        QVERIFY(save->state().invisible);
    }
};

ZZ_TEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
