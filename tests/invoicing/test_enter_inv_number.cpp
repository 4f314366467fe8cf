// The invoice-number dialog as the invoicing menu opens it: a typed number prints its invoice
// (by OK or Enter), whatever its state; a text that is no whole number gives the conversion
// error; the field is emptied when the preview closes and the dialog stays open until Cancel.
#include "app/Invoicing.h"
#include "reports/PrintInvoice.h"
#include "tests/reports/ReportWindowsFixture.h"

using namespace zz;

class TestEnterInvNumber : public QObject {
    Q_OBJECT
    test::ReportWindowsFixture fx;

    void open()
    {
        frmInvNumber->beginTestModal();
        test::activate(frmInvNumber);
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void looksAsDesigned()
    {
        QCOMPARE(frmInvNumber->windowTitle(), QStringLiteral("Enter Invoice Number"));
        QCOMPARE(frmInvNumber->size(), QSize(242, 133));
        QCOMPARE(frmInvNumber->minimumSize(), frmInvNumber->maximumSize());
        QCOMPARE(frmInvNumber->Label1->text(), QStringLiteral("Invoice Number"));
        QCOMPARE(frmInvNumber->edtInvNumber->maxLength(), 32767); // no limit of its own
        QCOMPARE(frmInvNumber->XiPanel2->height(), 41);
        QCOMPARE(frmInvNumber->btnOK->caption(), QStringLiteral("&OK"));
        QCOMPARE(frmInvNumber->btnCancel->caption(), QStringLiteral("&Cancel"));
        QVERIFY(frmInvNumber->btnOK->x() < frmInvNumber->btnCancel->x());
    }

    void theMenuOpensItOverItselfAndCancelCloses()
    {
        TfrmInvoicing menu;
        menu.show();
        bool shown = false;
        test::whileModal(frmInvNumber, [&] {
            shown = menu.isVisible() && frmInvNumber->edtInvNumber->text().isEmpty();
            frmInvNumber->edtInvNumber->setText(QStringLiteral("1001"));
            frmInvNumber->btnOK->click();
            QCOMPARE(fx.previews.size(), 1);
            QVERIFY(frmInvNumber->isVisible()); // a printout does not close the dialog
            frmInvNumber->btnCancel->click();
        });
        menu.btnViewInvoiceClick();
        QVERIFY(shown);
        QVERIFY(frmInvNumber->isHidden());
    }

    void aTypedNumberPrintsItsInvoiceAndTheFieldEmpties()
    {
        open();
        frmInvNumber->edtInvNumber->setText(QStringLiteral(" 1001 "));
        frmInvNumber->btnOK->click();
        QCOMPARE(fx.previews.size(), 1);
        const test::ShownPreview& p = fx.previews[0];
        QCOMPARE(p.name, QStringLiteral("Invoice 1001"));
        QVERIFY(p.shows("Acme Holdings") && p.shows("Widget, blue") && p.shows("Gadget"));
        // 50.9745 + 850 = 900.9745; VAT 135.146175; total 1036.120675.
        QCOMPARE(p.texts("QRExpr1") + p.texts("QRExpr2") + p.texts("QRExpr3"),
                 (QStringList{"R 900.97", "R 135.15", "R 1,036.12"}));
        QCOMPARE(fx.dm->qryInvReport->Params(0).value.toInt(), 1001);
        QVERIFY(frmInvNumber->edtInvNumber->text().isEmpty()); // emptied when the preview closed
        QCOMPARE(TForm::topModal(), frmInvNumber);
        QVERIFY(fx.boxes().isEmpty());
    }

    void enterPrintsAsOkDoes()
    {
        open();
        QTest::keyClicks(frmInvNumber->edtInvNumber, QStringLiteral("1002"));
        QVERIFY(fx.previews.isEmpty());
        QTest::keyClick(frmInvNumber->edtInvNumber, Qt::Key_Return);
        QCOMPARE(fx.previews.size(), 1);
        // A cancelled invoice prints like any other.
        QVERIFY(fx.previews[0].shows("Beta Bakery"));
        QCOMPARE(fx.previews[0].texts("QRExpr1"), QStringList{"R 1,700.00"});
        QTest::keyClicks(frmInvNumber->edtInvNumber, QStringLiteral("1003"));
        QTest::keyClick(frmInvNumber->edtInvNumber, Qt::Key_Enter);
        QCOMPARE(fx.previews.size(), 2);
        QCOMPARE(fx.previews[1].name, QStringLiteral("Invoice 1003"));
    }

    void aNumberNoInvoiceHasPrintsAnEmptyInvoice()
    {
        open();
        frmInvNumber->edtInvNumber->setText(QStringLiteral("99999"));
        frmInvNumber->btnOK->click();
        QCOMPARE(fx.previews.size(), 1);
        QCOMPARE(fx.previews[0].texts("QRExpr3"), QStringList{"R 0.00"});
        QVERIFY(!fx.previews[0].shows("Acme Holdings") && !fx.previews[0].shows("Beta Bakery"));
        QVERIFY(fx.previews[0].shows("Zuzevevur Trading"));
    }

    void textsThatAreNoWholeNumberGiveTheConversionError_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("decimal") << "10.5";
        QTest::newRow("too large") << "99999999999";
    }
    void textsThatAreNoWholeNumberGiveTheConversionError()
    {
        QFETCH(QString, typed);
        open();
        fx.dm->qryInvReport->Params(0).SetAsInteger(1001);
        fx.dm->qryInvReport->Open();
        frmInvNumber->edtInvNumber->setText(typed);
        QTest::keyClick(frmInvNumber->edtInvNumber, Qt::Key_Return);
        QVERIFY(fx.previews.isEmpty());
        QCOMPARE(fx.boxes(), QStringLiteral("Error: '%1' is not a valid integer value").arg(typed));
        QVERIFY(!fx.dm->qryInvReport->Active()); // closed before the number was read
        QCOMPARE(frmInvNumber->edtInvNumber->text(), typed); // kept for correcting
        QCOMPARE(TForm::topModal(), frmInvNumber);
    }

    void thePrintCallSetsTheMasksAnewEachTime()
    {
        printInvoice(1001);
        RegionalSettings s = test::southAfricanRegional();
        s.currencySymbol = QStringLiteral("kr.");
        setRegional(s);
        printInvoice(1001);
        QCOMPARE(fx.previews.size(), 2);
        QCOMPARE(fx.previews[1].texts("QRExpr1") + fx.previews[1].texts("QRExpr2") + fx.previews[1].texts("QRExpr3"),
                 (QStringList{"kr. 900.97", "kr. 135.15", "kr. 1,036.12"}));
        // The rows' amounts follow the regional currency format.
        QVERIFY(fx.previews[1].shows("kr. 850.00"));
        // An error while printing leaves as an exception for the caller to show.
        test::execSql(QStringLiteral("DROP TABLE Product"));
        QVERIFY(!test::errorOf([] { printInvoice(1001); }).isEmpty());
        QCOMPARE(fx.previews.size(), 2);
    }
};

ZZ_TEST_MAIN(TestEnterInvNumber)
#include "test_enter_inv_number.moc"
