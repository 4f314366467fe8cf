// The new invoice editor over real cursors: its states and boxes around Create (also over the
// company dialog closed by its frame), Submit with its discount checks, Delete Line, and the
// ready state that every way of closing brings back. The invoice rules themselves are tested below
// the window (tests/data/test_invoices.cpp).
#include "admin/CompanyAdmin.h"
#include "tests/invoicing/InvoicingTestUtil.h"

using namespace zz;

class TestNewInvoice : public QObject {
    Q_OBJECT
    test::InvoicingFixture fx;

    TfrmNewInvoice* w() const { return frmNewInvoice; }
    // Opens the editor as the browser's New does, over the current customer.
    void open() { test::reopen(w()); }
    void create(const QString& orderNo = QStringLiteral("PO1"))
    {
        w()->edtOrderNo->setText(orderNo);
        w()->btnCreateInv->click();
    }
    void submit(const QString& discount, int units = 1)
    {
        w()->edtDiscount->setText(discount);
        w()->spnUnitCount->setValue(units);
        // Through the mouse, so that an error escaping the handler reaches the general error report.
        QTest::mouseClick(w()->btnSubmit, Qt::LeftButton);
    }
    void choose(const QString& description)
    {
        const int i = w()->DBLookupComboBox1->findText(description);
        QVERIFY(i >= 0);
        w()->DBLookupComboBox1->setCurrentIndex(i);
        emit w()->DBLookupComboBox1->activated(i);
    }
    // The state columns: Create, Submit, Delete Line enabled, and the number shown.
    QString state() const
    {
        return QStringLiteral("%1%2%3 '%4'")
            .arg(w()->btnCreateInv->isEnabled() ? "C" : "-", w()->btnSubmit->isEnabled() ? "S" : "-",
                 w()->btnDelLine->isEnabled() ? "D" : "-", w()->Label7->text());
    }
    static QVariant stored(const QString& sql) { return test::AdminFixture::stored(sql); }
    static int count(const QString& table) { return test::AdminFixture::count(table); }

private slots:
    void init()
    {
        fx.setUp();
        fx.addCustomer("Adams");
        fx.addCustomer("Brown");
        fx.goToCustomer("Brown");
        fx.addProduct("GLOVES", "Work gloves", 19.99);
        fx.addProduct("BOLT", "Bolt M10", 0.85);
        fx.addProduct("DRILL", "Drill", 1299.99);
        fx.dm->tblProduct->First(); // where start-up leaves it
        fx.setCompany(57);
        open();
    }
    void cleanup() { fx.tearDown(); }

    void createStoresTheInvoiceUnderTheCounter()
    {
        QCOMPARE(w()->windowTitle(), QStringLiteral("New Invoice"));
        QCOMPARE(state(), QStringLiteral("C-- ''"));
        QCOMPARE(w()->DateEdit1->Date(), QDate::currentDate());
        QVERIFY(w()->edtOrderNo->hasFocus());

        // Typed letters turn to upper case; the field keeps the first 25 characters.
        QTest::keyClicks(w()->edtOrderNo, "po-abcdefghijklmnopqrstuvwxyz");
        QCOMPARE(w()->edtOrderNo->text(), QStringLiteral("PO-ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
        w()->DateEdit1->setDate(QDate(2026, 2, 3));
        QTest::keyClick(w(), Qt::Key_E, Qt::AltModifier);
        QCOMPARE(fx.boxes(), QString());
        QCOMPARE(state(), QStringLiteral("-S- '57'"));
        QCOMPARE(stored("SELECT Inv_Start_No FROM Company").toInt(), 58);
        QCOMPARE(stored("SELECT Cus_Code FROM Invoice WHERE Inv_Number = 57").toString(), fx.dm->tblCustomerCus_Code->AsString());
        QCOMPARE(stored("SELECT Inv_Order_No || '|' || Inv_Date || '|' || Inv_VAT || '|' || Inv_Paid || '|' || Inv_Cancelled "
                        "|| '|' || Inv_Days || '|' || ifnull(Inv_PayDate, 'none') FROM Invoice")
                     .toString(),
                 QStringLiteral("PO-ABCDEFGHIJKLMNOPQRSTUV|2026-02-03|15.0|NO|NO|CURRENT|none"));
        // The browser behind shares the invoice cursor: the new invoice is current there at once.
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 57);
        QCOMPARE(frmMainInvoice->DBGrid2->model()->rowCount(), 1);

        // One opening writes one invoice: Create stays disabled, also for its access key.
        QTest::keyClick(w(), Qt::Key_E, Qt::AltModifier);
        QCOMPARE(count("Invoice"), 1);

        // A later VAT rate leaves the invoice's copy; the next invoice takes the new rate. An
        // unreadable date is the zero date.
        fx.dm->tblVAT->Edit();
        fx.dm->tblVATVAT_Percentage->SetAsFloat(16);
        fx.dm->tblVAT->Post();
        w()->btnClose->click();
        open();
        w()->DateEdit1->setText("31/31/20xx");
        create("");
        QCOMPARE(state(), QStringLiteral("-S- '58'"));
        QCOMPARE(stored("SELECT group_concat(Inv_Number || ':' || Inv_VAT || ':' || Inv_Date || ':' || ifnull(Inv_Order_No, '-')) "
                        "FROM Invoice")
                     .toString(),
                 QStringLiteral("57:15.0:2026-02-03:PO-ABCDEFGHIJKLMNOPQRSTUV,58:16.0:1899-12-30:-"));
        QCOMPARE(stored("SELECT Inv_Start_No FROM Company").toInt(), 59);
    }

    void aFailedCreateStoresNothingAndLeavesTheCounter()
    {
        // A number already used: the invoice is refused, the counter stays, the editor closes ready.
        fx.addInvoice(57);
        create();
        QVERIFY2(fx.boxes().startsWith("Error: "), "the engine's key violation");
        QVERIFY(!w()->isVisible());
        QCOMPARE(state(), QStringLiteral("C-- ''"));
        QCOMPARE(count("Invoice"), 1);
        QCOMPARE(stored("SELECT Inv_Start_No FROM Company").toInt(), 57);
        QCOMPARE(fx.dm->tblInvoice->State(), DataSetState::Browse);
        QCOMPARE(fx.dm->tblCompany->State(), DataSetState::Browse);
        QCOMPARE(fx.dm->tblCompanyInv_Start_No->AsInteger(), 57);
    }

    void createGoesOnOverTheCompanyDialogClosedByItsFrame()
    {
        // Opened as the administration menu opens it, a name typed, then closed by its frame: the
        // company row stays being edited.
        auto* company = new TfrmAdminCompany;
        frmAdminCompany = company;
        fx.dm->tblCompany->Edit();
        company->beginTestModal();
        test::activate(company);
        company->DBEdit1->selectAll();
        QTest::keyClicks(company->DBEdit1, "Typed Co");
        company->close();
        company->endTestModal();
        QCOMPARE(fx.dm->tblCompany->State(), DataSetState::Edit);

        open();
        create();
        QCOMPARE(fx.boxes(), QString());
        QCOMPARE(state(), QStringLiteral("-S- '57'"));
        QCOMPARE(stored("SELECT Com_Name || '/' || Inv_Start_No FROM Company").toString(), QStringLiteral("Typed Co/58"));
        QCOMPARE(fx.dm->tblCompany->State(), DataSetState::Browse);
        delete company;
        frmAdminCompany = nullptr;
    }

    void submitPricesTheLineFromTheProduct()
    {
        create();
        choose("Work gloves");
        submit("15", 3);
        QCOMPARE(fx.boxes(), QString());
        QCOMPARE(state(), QStringLiteral("-SD '57'"));
        QCOMPARE(stored("SELECT Inv_Number || '|' || Prod_Code || '|' || Line_Units || '|' || Line_Discount FROM Line").toString(),
                 QStringLiteral("57|GLOVES|3|15"));
        QCOMPARE(stored("SELECT Line_Price FROM Line").toDouble(), 19.99);
        QCOMPARE(stored("SELECT Line_Discount_Price FROM Line").toDouble(), 16.9915);
        QCOMPARE(fx.dm->qryInvDetail->RecordCount(), 1);
        QCOMPARE(fx.dm->qryInvDetailTotal->AsMoney().count(), 509745);
        QCOMPARE(w()->DBGrid1->model()->rowCount(), 1);
        // The choice, the units and the discount stay for the next line.
        QCOMPARE(w()->DBLookupComboBox1->currentText(), QStringLiteral("Work gloves"));
        QCOMPARE(w()->edtDiscount->text(), QStringLiteral("15"));
        QCOMPARE(w()->spnUnitCount->Value(), 3);
    }

    void theDiscountIsCheckedBeforeAnythingIsWritten()
    {
        create();
        for (const char* outOfRange : {"101", "-1", " 250 "}) {
            w()->btnSubmit->setFocus();
            submit(outOfRange);
            QCOMPARE(fx.boxes(), QStringLiteral("Error: Discount out of range. 0 - 100 %"));
            QVERIFY(w()->edtDiscount->hasFocus());
        }
        // Text that is no whole number goes to the general error report, with the text as typed.
        submit("");
        QCOMPARE(fx.boxes(), QStringLiteral("Zuzevevur Creator: '' is not a valid integer value."));
        submit("1.5");
        QCOMPARE(fx.boxes(), QStringLiteral("Zuzevevur Creator: '1.5' is not a valid integer value."));
        submit("12a");
        QCOMPARE(fx.boxes(), QStringLiteral("Zuzevevur Creator: '12a' is not a valid integer value."));
        QCOMPARE(count("Line"), 0);
        QCOMPARE(fx.dm->tblLine->State(), DataSetState::Browse);
        QCOMPARE(state(), QStringLiteral("-S- '57'"));
        // The edges are allowed; an unreadable unit count is one unit.
        submit("+100");
        w()->spnUnitCount->setText("many");
        submit("0", 0);
        w()->spnUnitCount->setText("many");
        QTest::mouseClick(w()->btnSubmit, Qt::LeftButton);
        QCOMPARE(fx.boxes(), QString());
        QCOMPARE(stored("SELECT group_concat(Line_Discount || 'x' || Line_Units) FROM Line").toString(), QStringLiteral("100x1,0x1,0x1"));
    }

    void aLineThatCannotBeStoredIsDropped()
    {
        fx.exec("DELETE FROM Product");
        fx.dm->tblProduct->Refresh();
        create();
        submit("0");
        QCOMPARE(fx.boxes(), QStringLiteral("Error: Field 'Prod_Code' must have a value"));
        QCOMPARE(fx.dm->tblLine->State(), DataSetState::Browse);
        QCOMPARE(count("Line"), 0);
        QCOMPARE(state(), QStringLiteral("-S- '57'"));
    }

    void theBoxShowsTheProductSubmitUses()
    {
        create();
        // Nothing chosen since start-up: the first product in description order, shown as such.
        QCOMPARE(w()->DBLookupComboBox1->currentText(), QStringLiteral("Bolt M10"));
        submit("0");
        choose("Work gloves");
        QCOMPARE(fx.dm->tblProductProd_Code->AsString(), QStringLiteral("GLOVES"));
        submit("0");
        QCOMPARE(stored("SELECT group_concat(Prod_Code) FROM (SELECT Prod_Code FROM Line ORDER BY rowid)").toString(), QStringLiteral("BOLT,GLOVES"));

        // Close goes back to the first product, and the box says so.
        w()->btnClose->click();
        QCOMPARE(fx.dm->tblProductProd_Code->AsString(), QStringLiteral("BOLT"));
        QCOMPARE(w()->DBLookupComboBox1->currentText(), QStringLiteral("Bolt M10"));
        // The product cursor moved elsewhere meanwhile (the product list's search): the next
        // opening shows that product, which is the one Submit takes.
        fx.dm->tblProduct->Locate("Prod_Description", "dri", LocateOption::PartialKey | LocateOption::CaseInsensitive);
        open();
        QCOMPARE(w()->DBLookupComboBox1->currentText(), QStringLiteral("Drill"));
        create();
        submit("0");
        QCOMPARE(stored("SELECT Prod_Code FROM Line WHERE Inv_Number = 58").toString(), QStringLiteral("DRILL"));
    }

    void deleteLineRemovesTheSelectedLine()
    {
        create();
        choose("Work gloves");
        submit("0", 1);
        choose("Drill");
        submit("0", 2);
        choose("Bolt M10");
        submit("0", 3);
        // The grid's row is the query's current row.
        w()->DBGrid1->setCurrentIndex(w()->DBGrid1->model()->index(1, 0));
        QTest::keyClick(w(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(stored("SELECT group_concat(Prod_Code) FROM (SELECT Prod_Code FROM Line ORDER BY rowid)").toString(), QStringLiteral("GLOVES,BOLT"));
        QCOMPARE(w()->DBGrid1->model()->rowCount(), 2);
        w()->btnDelLine->click();
        w()->btnDelLine->click();
        QCOMPARE(count("Line"), 0);
        QCOMPARE(w()->DBGrid1->model()->rowCount(), 0);
        // An empty grid gives line number 0: nothing is deleted, nothing said, the button stays.
        fx.addLine(12, "BOLT", 1, 0.85);
        w()->btnDelLine->click();
        QCOMPARE(count("Line"), 1);
        QCOMPARE(fx.boxes(), QString());
        QCOMPARE(state(), QStringLiteral("-SD '57'"));
    }

    void everyWayOfClosingResetsTheEditor()
    {
        const auto ready = [&] {
            QCOMPARE(state(), QStringLiteral("C-- ''"));
            QCOMPARE(w()->edtOrderNo->text(), QString());
            QCOMPARE(w()->edtDiscount->text(), QStringLiteral("0"));
            QCOMPARE(w()->spnUnitCount->text(), QStringLiteral("1"));
            QVERIFY(!fx.dm->qryInvDetail->Active());
            QCOMPARE(fx.dm->tblProductProd_Code->AsString(), QStringLiteral("BOLT"));
        };
        // Close right after Create: the invoice stays stored without lines.
        create();
        w()->btnClose->click();
        QVERIFY(!w()->isVisible());
        ready();
        QCOMPARE(count("Invoice"), 1);

        // The frame's close box (and Alt+F4, which closes the same way).
        open();
        create();
        choose("Drill");
        submit("10", 4);
        w()->spnUnitCount->setText("abc");
        w()->edtOrderNo->setText("LEFT");
        w()->close();
        QVERIFY(!w()->isVisible());
        ready();

        // The next opening starts ready, with today's date and Delete Line disabled.
        w()->DateEdit1->setDate(QDate(2020, 1, 1));
        open();
        ready();
        QCOMPARE(w()->DateEdit1->Date(), QDate::currentDate());
        create();
        QCOMPARE(w()->Label7->text(), QStringLiteral("59"));
        QCOMPARE(count("Invoice"), 3);
    }

    void theBrowserOpensTheEditorOverItself()
    {
        w()->endTestModal();
        w()->hide();
        frmMainInvoice->beginTestModal();
        test::activate(frmMainInvoice);
        fx.dm->qryInvDetail->Open(); // left open by the detail window
        test::whileModal(frmNewInvoice, [&] {
            QVERIFY(frmMainInvoice->isVisible());
            QVERIFY(!fx.dm->qryInvDetail->Active());
            QCOMPARE(w()->DBGrid1->model()->rowCount(), 0);
            create("X1");
            QCOMPARE(frmMainInvoice->DBGrid2->model()->index(0, 3).data().toString(), QStringLiteral("X1"));
        });
        frmMainInvoice->btnNewInv->click();
        QVERIFY(frmMainInvoice->isVisible());
        QCOMPARE(state(), QStringLiteral("C-- ''")); // closed by its frame: still the Close action
        frmMainInvoice->endTestModal();
    }

    void layout()
    {
        QCOMPARE(w()->size(), QSize(688, 446));
        QVERIFY(!(w()->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w()->XiPanel1->height(), 41);
        QCOMPARE(w()->XiPanel2->height(), 120);
        QCOMPARE(w()->XiPanel3->height(), 41);
        QCOMPARE(w()->XiPanel3->y(), 446 - 41);
        QCOMPARE(w()->DBGrid1->y(), 161);
        QCOMPARE(w()->DBGrid1->height(), 446 - 41 - 161);
        QCOMPARE(w()->Label6->text(), QStringLiteral("Invoice Number:"));
        QVERIFY(w()->Label6->font().bold());
        QCOMPARE(w()->DBLookupComboBox1->maxVisibleItems(), 15);
        QCOMPARE(w()->spnUnitCount->MinValue(), 1);
        QCOMPARE(w()->spnUnitCount->MaxValue(), 2000000000);
        // The tab order runs through the bands from the top.
        const QStringList wanted = {"edtOrderNo", "DateEdit1", "btnCreateInv", "DBLookupComboBox1", "edtDiscount",
                                    "spnUnitCount", "btnSubmit", "DBGrid1", "btnDelLine", "btnClose"};
        QStringList order;
        QWidget* x = w()->edtOrderNo;
        do {
            if (wanted.contains(x->objectName()) && !order.contains(x->objectName()))
                order << x->objectName();
            x = x->nextInFocusChain();
        } while (x != w()->edtOrderNo);
        QCOMPARE(order, wanted);
    }
};

ZZ_TEST_MAIN(TestNewInvoice)
#include "test_new_invoice.moc"
