// The product window and editor: search, a price typed straight into the grid, the editor's
// required fields in their order, a refused duplicate code, Edit on an empty list, Delete.
#include "admin/NewProd.h"
#include "admin/ProdAdmin.h"
#include "tests/admin/AdminTestUtil.h"

using namespace zz;

class TestProductAdmin : public QObject {
    Q_OBJECT
    test::AdminFixture fx;

    QString current() const { return fx.dm->tblProductProd_Description->AsString(); }
    void search(const QString& text)
    {
        frmProdAdmin->edtSearch->setText(text);
        QTest::keyClick(frmProdAdmin->edtSearch, Qt::Key_Return);
    }
    // Opens the cell editor of the current row's column and types into it.
    QWidget* typeIntoCell(int column, const QString& text)
    {
        TDBGrid* grid = frmProdAdmin->DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(fx.dm->tblProduct->RecNo(), column));
        QTest::keyClick(grid, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        if (!editor || editor == grid)
            return nullptr;
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        return editor;
    }

private slots:
    void init()
    {
        fx.setUp();
        frmProdAdmin = new TfrmProdAdmin;
        frmNewProd = new TfrmNewProd;
        frmProdAdmin->beginTestModal();
        test::activate(frmProdAdmin);
    }
    void cleanup()
    {
        frmProdAdmin->endTestModal();
        delete frmNewProd;
        delete frmProdAdmin;
        frmNewProd = nullptr;
        frmProdAdmin = nullptr;
        fx.tearDown();
    }

    void searchThenTypeAPriceThatCloseWrites()
    {
        fx.addProduct(QStringLiteral("W1"), QStringLiteral("Widget, large"), 10);
        fx.addProduct(QStringLiteral("W2"), QStringLiteral("WIDE BOARD"), 20);
        fx.addProduct(QStringLiteral("A1"), QStringLiteral("Anchor"), 0.25);
        search(QStringLiteral("wid"));
        QCOMPARE(current(), QStringLiteral("WIDE BOARD"));
        search(QStringLiteral("board"));
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Product Description not found."));
        QCOMPARE(current(), QStringLiteral("WIDE BOARD"));
        search(QString());
        QCOMPARE(fx.boxes(), QStringLiteral("Warning: Please enter a valid Product Description."));
        search(QStringLiteral("widg"));
        QCOMPARE(current(), QStringLiteral("Widget, large"));

        // The price column shows money; a price still being typed is written by Close.
        QCOMPARE(frmProdAdmin->DBGrid1->model()->index(0, 2).data().toString(), QStringLiteral("$0.25"));
        QVERIFY(typeIntoCell(2, QStringLiteral("12.5")));
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Edit);
        frmProdAdmin->btnClose->click();
        QVERIFY(!frmProdAdmin->isVisible());
        QCOMPARE(fx.dm->tblProduct->RecNo(), 0);
        QCOMPARE(test::AdminFixture::stored("SELECT Prod_Price FROM Product WHERE Prod_Code = 'W1'").toDouble(), 12.5);
    }

    void theEditorReportsTheFirstEmptyFieldAndARefusedCode()
    {
        fx.addProduct(QStringLiteral("A1"), QStringLiteral("Anchor"), 5);
        test::whileModal(frmNewProd, [&] {
            frmNewProd->DBEdit3->setFocus();
            QTest::keyClicks(frmNewProd->DBEdit3, "7.5");
            frmNewProd->btnSave->click();
            QCOMPARE(fx.boxes(), QStringLiteral("Error: Field 'Prod_Code' must have a value"));
            QVERIFY(frmNewProd->DBEdit1->hasFocus());
            QTest::keyClicks(frmNewProd->DBEdit1, "A1");
            frmNewProd->btnSave->click();
            QCOMPARE(fx.boxes(), QStringLiteral("Error: Field 'Prod_Description' must have a value"));
            QVERIFY(frmNewProd->DBEdit2->hasFocus());
            // The code is taken: the engine refuses and the row stays pending.
            QTest::keyClicks(frmNewProd->DBEdit2, "Another anchor");
            frmNewProd->btnSave->click();
            QVERIFY(fx.boxes().startsWith(QStringLiteral("Error: ")));
            QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Insert);
            frmNewProd->DBEdit1->selectAll();
            QTest::keyClicks(frmNewProd->DBEdit1, "A2");
            frmNewProd->btnSave->click();
            QVERIFY(!frmNewProd->isVisible());
        });
        frmProdAdmin->btnNew->click();
        QCOMPARE(test::AdminFixture::stored("SELECT Prod_Description || '/' || Prod_Price FROM Product WHERE Prod_Code = 'A2'")
                     .toString(), QStringLiteral("Another anchor/7.5"));
    }

    void editOnAnEmptyListActsAsNew()
    {
        test::whileModal(frmNewProd, [&] {
            QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Insert);
            frmNewProd->btnCancel->click();
        });
        frmProdAdmin->btnEdit->click();
        QCOMPARE(fx.dm->tblProduct->State(), DataSetState::Browse);
        QCOMPARE(fx.dm->tblProduct->RecordCount(), 0);
        fx.addProduct(QStringLiteral("A1"), QStringLiteral("Anchor"), 5);
        frmProdAdmin->btnDelete->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Delete selected record?"));
        QCOMPARE(test::AdminFixture::count("Product"), 0);
    }

    void aProductOnInvoicesIsNotDeleted()
    {
        // Its lines would drop out of the invoices shown and printed.
        fx.addProduct(QStringLiteral("B7"), QStringLiteral("Bolt"), 0.5);
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units) VALUES (1, 'B7', 3)"));
        frmProdAdmin->btnDelete->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Delete selected record? | "
                                            "Error: The product Bolt (B7) is used on invoices and cannot be deleted."));
        QCOMPARE(test::AdminFixture::count("Product"), 1);
        QCOMPARE(fx.dm->tblProductProd_Code->AsString(), QStringLiteral("B7"));
    }
};

ZZ_TEST_MAIN(TestProductAdmin)
#include "test_product_admin.moc"
