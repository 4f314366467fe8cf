// One user's way through the whole program: from the main window into the invoice browser, a new
// customer from the pop-up menu, an invoice with three lines, paid in the detail window; the
// browser and the detail window then show it paid, and the books hold it as written.
#include "app/Invoicing.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "data/DataMod.h"
#include "tests/invoicing/InvoicingTestUtil.h"

using namespace zz;

class TestInvoicingFlow : public QObject {
    Q_OBJECT
private slots:
    void customerInvoiceLinesAndPayment()
    {
        test::TempHome home;
        test::RecordingSeam seam;
        setRegional(RegionalSettings{});
        createForms();
        TDataModule1* dm = DataModule1;
        // The books as the administration windows would leave them.
        dm->tblCompany->Edit();
        dm->tblCompanyInv_Start_No->SetAsInteger(1001);
        dm->tblCompany->Post();
        dm->tblVAT->Edit();
        dm->tblVATVAT_Percentage->SetAsFloat(15);
        dm->tblVAT->Post();
        for (auto [code, description, price] : {std::tuple{"A1", "Anchor", 2.5}, {"B2", "Bracket", 19.99}, {"C3", "Chain", 7.25}}) {
            dm->tblProduct->Insert();
            dm->tblProductProd_Code->SetAsString(code);
            dm->tblProductProd_Description->SetAsString(description);
            dm->tblProductProd_Price->SetAsFloat(price);
            dm->tblProduct->Post();
        }
        dm->tblProduct->First();
        frmMain->show();

        const auto submit = [](const QString& product, const QString& discount, int units) {
            TfrmNewInvoice* e = frmNewInvoice;
            const int i = e->DBLookupComboBox1->findText(product);
            e->DBLookupComboBox1->setCurrentIndex(i);
            emit e->DBLookupComboBox1->activated(i);
            e->edtDiscount->setText(discount);
            e->spnUnitCount->setValue(units);
            e->btnSubmit->click();
        };
        bool paid = false;
        test::whileModal(frmInvoicing, [&] {
            test::whileModal(frmMainInvoice, [&] {
                QVERIFY(!frmInvoicing->isVisible());
                test::whileModal(frmNewCustomer, [&] {
                    QTest::keyClicks(frmNewCustomer->DBEdit1, "Flow Traders");
                    frmNewCustomer->btnSave->click();
                });
                frmMainInvoice->New1->trigger();
                QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Flow Traders"));

                test::whileModal(frmNewInvoice, [&] {
                    QTest::keyClicks(frmNewInvoice->edtOrderNo, "order 7");
                    frmNewInvoice->btnCreateInv->click();
                    submit("Bracket", "15", 3);
                    submit("Anchor", "0", 10);
                    submit("Chain", "100", 1);
                    QCOMPARE(frmNewInvoice->DBGrid1->model()->rowCount(), 3);
                    frmNewInvoice->btnClose->click();
                });
                frmMainInvoice->btnNewInv->click();
                QCOMPARE(frmMainInvoice->DBGrid2->model()->rowCount(), 1);
                QCOMPARE(frmMainInvoice->DBGrid2->model()->index(0, 4).data().toString(), QStringLiteral("NO"));

                test::whileModal(frmInvDetail, [&] {
                    QVERIFY(!frmMainInvoice->isVisible());
                    QCOMPARE(frmInvDetail->DBGrid2->model()->rowCount(), 3);
                    frmInvDetail->btnPayInvoice->click();
                    QCOMPARE(frmInvDetail->DBGrid1->model()->index(0, 4).data().toString(), QStringLiteral("YES"));
                    QCOMPARE(frmInvDetail->DBGrid1->model()->index(0, 2).data().toString(), formatShortDate(QDate::currentDate()));
                    paid = true;
                    frmInvDetail->btnClose->click();
                });
                frmMainInvoice->btnDetail->click();
                QVERIFY(frmMainInvoice->isVisible());
                QCOMPARE(frmMainInvoice->DBGrid2->model()->index(0, 4).data().toString(), QStringLiteral("YES"));
                QCOMPARE(frmMainInvoice->DBGrid2->model()->index(0, 2).data().toString(), formatShortDate(QDate::currentDate()));
                frmMainInvoice->btnClose->click();
            });
            frmInvoicing->btnNewInvoice->click();
            QVERIFY(frmInvoicing->isVisible());
            frmInvoicing->btnClose->click();
        });
        frmMain->btnInvoicing->click();
        QVERIFY(frmMain->isVisible());
        test::verifyModalActionsRan();
        QVERIFY(paid);

        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(seam.messages[0].text, QStringLiteral("Pay selected Invoice?"));
        QCOMPARE(test::storedValue("SELECT Inv_Number || '|' || Inv_Order_No || '|' || Inv_Paid || '|' || Inv_PayDate || '|' || "
                                   "Inv_Cancelled || '|' || Inv_Days || '|' || Inv_VAT FROM Invoice")
                     .toString(),
                 QStringLiteral("1001|ORDER 7|YES|%1|NO|CURRENT|15.0").arg(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(test::storedValue("SELECT Inv_Start_No FROM Company").toInt(), 1002);
        QCOMPARE(test::storedValue("SELECT group_concat(Prod_Code || 'x' || Line_Units || '@' || Line_Discount_Price, ' ') "
                                   "FROM (SELECT * FROM Line ORDER BY Line_Number)")
                     .toString(),
                 QStringLiteral("B2x3@16.9915 A1x10@2.5 C3x1@0.0"));
        destroyForms();
    }
};

ZZ_TEST_MAIN(TestInvoicingFlow)
#include "test_invoicing_flow.moc"
