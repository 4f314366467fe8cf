// The report dialogs as the financial reports menu opens them: the date picker and the customer
// picker run their queries, set the documents' captions and masks, preview, stay open and are
// reset when the preview closes; errors show in an error box. Driven through the dialog seam.
#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>

#include "app/FinReports.h"
#include "data/EInvoiceDetails.h"
#include "reports/PrintInvoice.h"
#include "reports/documents/StatementReport.h"
#include "tests/reports/ReportWindowsFixture.h"

using namespace zz;

class TestReportDialogs : public QObject {
    Q_OBJECT
    test::ReportWindowsFixture fx;

    // Opens a dialog as ShowModal does (its activation handler runs), without a modal loop.
    static void open(TForm* dialog)
    {
        dialog->beginTestModal();
        test::activate(dialog);
    }
    static QString today() { return formatShortDate(QDate::currentDate()); }

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void dialogsLookAsDesigned()
    {
        struct Look {
            TPanelForm* dialog;
            QString caption;
            QSize client;
            TXiPanel* content;
            TXiPanel* bar;
            TXiButton* ok;
            TXiButton* cancel;
        };
        const Look looks[] = {
            {frmDatePicker, "Date Picker", {227, 161}, frmDatePicker->XiPanel1, frmDatePicker->XiPanel2,
             frmDatePicker->btnOK, frmDatePicker->btnCancel},
            {frmCustomerPicker, "Customer Picker", {356, 143}, frmCustomerPicker->XiPanel1, frmCustomerPicker->XiPanel2,
             frmCustomerPicker->btnOK, frmCustomerPicker->btnCancel},
        };
        for (const Look& l : looks) {
            QCOMPARE(l.dialog->windowTitle(), l.caption);
            QCOMPARE(l.dialog->size(), l.client);
            QCOMPARE(l.dialog->minimumSize(), l.dialog->maximumSize()); // a dialog frame: not resized
            QVERIFY(!(l.dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
            QCOMPARE(l.content->colorScheme(), PanelScheme::csRose);
            QCOMPARE(l.bar->colorScheme(), PanelScheme::csRose);
            QCOMPARE(l.bar->height(), 41);
            QCOMPARE(l.bar->y(), l.client.height() - 41);
            QCOMPARE(l.ok->caption(), QStringLiteral("&OK"));
            QCOMPARE(l.cancel->caption(), QStringLiteral("&Cancel"));
            QCOMPARE(l.ok->colorScheme(), ButtonScheme::csNeoRose);
            QCOMPARE(l.cancel->colorScheme(), ButtonScheme::csNeoRose);
            QVERIFY(l.ok->x() < l.cancel->x());
        }
        QCOMPARE(frmDatePicker->DateEdit1->width(), 121);
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->width(), 233);
        QCOMPARE(frmCustomerPicker->Label1->text(), QStringLiteral("Customer Name"));
        QCOMPARE(frmDatePicker->Label1->text(), QStringLiteral("Start Date"));
        QCOMPARE(frmDatePicker->Label2->text(), QStringLiteral("End Date"));
        // The hidden windows holding the documents.
        QCOMPARE(frmReportInv->windowTitle(), QStringLiteral("Print Invoice"));
        QCOMPARE(frmReportRevenue->windowTitle(), QStringLiteral(" Customer Revenue Report"));
        QCOMPARE(frmReportStatement->windowTitle(), QStringLiteral("Statement Report"));
    }

    void tabOrders()
    {
        auto order = [](QWidget* first, int count) {
            QStringList names{first->objectName()};
            first->setFocus();
            for (int i = 1; i < count; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                names << QApplication::focusWidget()->objectName();
            }
            return names;
        };
        open(frmDatePicker);
        QCOMPARE(order(frmDatePicker->DateEdit1, 5),
                 (QStringList{"DateEdit1", "DateEdit2", "btnOK", "btnCancel", "DateEdit1"}));
        frmDatePicker->endTestModal();
        open(frmCustomerPicker);
        // Cancel comes before OK.
        QCOMPARE(order(frmCustomerPicker->DBLookupComboBox1, 4),
                 (QStringList{"DBLookupComboBox1", "btnCancel", "btnOK", "DBLookupComboBox1"}));
    }

    void theMenuOpensBothDialogsAndCancelClosesThem()
    {
        TfrmFinReports menu;
        menu.show();
        bool dateShown = false, customerShown = false;
        test::whileModal(frmDatePicker, [&] {
            dateShown = frmDatePicker->isVisible() && menu.isVisible(); // the menu stays under its dialogs
            QCOMPARE(frmDatePicker->DateEdit1->text(), today());
            frmDatePicker->btnCancel->click();
        });
        menu.btnDateRevenueClick();
        test::whileModal(frmCustomerPicker, [&] {
            customerShown = frmCustomerPicker->isVisible() && menu.isVisible();
            frmCustomerPicker->btnCancel->click();
        });
        menu.btnMonthEndStatClick();
        QVERIFY(dateShown && customerShown);
        QVERIFY(frmDatePicker->isHidden() && frmCustomerPicker->isHidden());
        QVERIFY(fx.previews.isEmpty());
    }

    void revenueOfTodayAtOnce()
    {
        open(frmDatePicker);
        QCOMPARE(frmDatePicker->DateEdit1->text(), today());
        QCOMPARE(frmDatePicker->DateEdit2->text(), today());
        QCOMPARE(QApplication::focusWidget(), frmDatePicker->DateEdit1);
        frmDatePicker->btnOK->click();
        QCOMPARE(fx.previews.size(), 1);
        const test::ShownPreview& p = fx.previews[0];
        QCOMPARE(p.texts("QRLabel2"), QStringList{today() + " To " + today()});
        QVERIFY(p.shows("1003")); // paid today
        QVERIFY(!p.shows("1001") && !p.shows("1002"));
        QCOMPARE(p.texts("QRExpr1") + p.texts("QRExpr2") + p.texts("QRExpr3"),
                 (QStringList{"R 0,850.00", "R 0,127.50", "R 0,977.50"}));
        const QString iso = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(p.name, "Revenue " + iso + " to " + iso);
        QVERIFY(fx.boxes().isEmpty());
    }

    void revenueOverTypedDatesThenBackToToday()
    {
        open(frmDatePicker);
        frmDatePicker->DateEdit1->setText(QStringLiteral("2026/01/01"));
        frmDatePicker->DateEdit2->setText(QStringLiteral("2026/01/31"));
        frmDatePicker->btnOK->click();
        QCOMPARE(fx.dm->qryReportRevenue->Params(0).value.toDate(), QDate(2026, 1, 1));
        QCOMPARE(fx.dm->qryReportRevenue->Params(1).value.toDate(), QDate(2026, 1, 31));
        QCOMPARE(fx.previews.size(), 1);
        QCOMPARE(fx.previews[0].texts("QRLabel2"), QStringList{"2026/01/01 To 2026/01/31"});
        QCOMPARE(fx.previews[0].texts("QRExpr1"), QStringList{"R 0,000.00"}); // nothing paid in January
        QCOMPARE(fx.previews[0].name, QStringLiteral("Revenue 2026-01-01 to 2026-01-31"));
        // The preview closed: the dialog is still there, both dates back on today.
        QCOMPARE(TForm::topModal(), frmDatePicker);
        QCOMPARE(frmDatePicker->DateEdit1->text(), today());
        QCOMPARE(frmDatePicker->DateEdit2->text(), today());
    }

    void unreadableDatesAreTakenAsTheZeroDateAndShownAsTyped()
    {
        open(frmDatePicker);
        frmDatePicker->DateEdit1->setText(QStringLiteral("soon"));
        frmDatePicker->btnOK->click();
        QCOMPARE(fx.dm->qryReportRevenue->Params(0).value.toDate(), zeroDate());
        QCOMPARE(fx.previews[0].texts("QRLabel2"), QStringList{"soon To " + today()});
        QVERIFY(fx.previews[0].shows("1003")); // no lower limit
        QCOMPARE(fx.previews[0].name, "Revenue 1899-12-30 to " + QDate::currentDate().toString(Qt::ISODate));
    }

    void masksFollowTheRegionalSymbolOnEveryPreview()
    {
        open(frmDatePicker);
        frmDatePicker->btnOK->click();
        RegionalSettings s = test::southAfricanRegional();
        s.currencySymbol = QStringLiteral("S/.");
        setRegional(s);
        frmDatePicker->btnOK->click();
        QCOMPARE(fx.previews.size(), 2);
        QCOMPARE(fx.previews[1].texts("QRExpr1") + fx.previews[1].texts("QRExpr2") + fx.previews[1].texts("QRExpr3"),
                 (QStringList{"S/. 0,850.00", "S/. 0,127.50", "S/. 0,977.50"}));
    }

    void aFailingQueryShowsItsMessageAndTheDialogStays()
    {
        test::execSql(QStringLiteral("DROP TABLE Line"));
        open(frmDatePicker);
        frmDatePicker->btnOK->click();
        QVERIFY(fx.previews.isEmpty());
        QCOMPARE(fx.seam->messages.size(), 1);
        QCOMPARE(fx.seam->messages[0].kind, MsgKind::Error);
        QVERIFY2(fx.seam->messages[0].text.contains(QStringLiteral("Line")), qPrintable(fx.seam->messages[0].text));
        QCOMPARE(TForm::topModal(), frmDatePicker);
        fx.boxes();

        open(frmCustomerPicker);
        frmCustomerPicker->btnOK->click();
        QVERIFY(fx.previews.isEmpty());
        QCOMPARE(fx.seam->messages.size(), 1);
        QCOMPARE(fx.seam->messages[0].kind, MsgKind::Error);
        fx.boxes();
    }

    void statementOfTheFirstCustomerAtOnce()
    {
        fx.dm->tblCustomer->Last();
        // The list of every customer is read only while the dialog shows.
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->count(), 0);
        open(frmCustomerPicker);
        QCOMPARE(fx.dm->tblCustomerCus_Name->AsString(), QStringLiteral("Acme Holdings"));
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->currentText(), QStringLiteral("Acme Holdings"));
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->count(), 2);
        const QDateTime before = QDateTime::currentDateTime();
        frmCustomerPicker->btnOK->click();
        QCOMPARE(fx.previews.size(), 1);
        const test::ShownPreview& p = fx.previews[0];
        QVERIFY(p.shows("Acme Holdings") && p.shows("1001"));
        QCOMPARE(p.texts("QRExpr1"), QStringList{"R 1,036.12"}); // (50.9745 + 850) x 1.15
        // The date and time of the run, as far as it fits.
        const QString stamp = p.texts("QRLabel8").value(0);
        QVERIFY2(stamp.startsWith(formatShortDate(before.date())) || stamp.startsWith(today()), qPrintable(stamp));
        QCOMPARE(p.name, "Statement Acme Holdings " + QDate::currentDate().toString(Qt::ISODate));
    }

    void statementOfAPickedCustomerThenBackToTheFirst()
    {
        open(frmCustomerPicker);
        // Typing the start of a name picks it and moves the customer table there.
        QTest::keyClicks(frmCustomerPicker->DBLookupComboBox1, QStringLiteral("Be"));
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->currentText(), QStringLiteral("Beta Bakery"));
        QCOMPARE(fx.dm->tblCustomerCus_Name->AsString(), QStringLiteral("Beta Bakery"));
        frmCustomerPicker->btnOK->click();
        QCOMPARE(fx.previews.size(), 1);
        // The seven queries ran for the customer's code.
        for (TQuery* q : {fx.dm->qryStatementDetail, fx.dm->qryStatCurrent, fx.dm->qryStat30, fx.dm->qryStat60,
                          fx.dm->qryStat90, fx.dm->qryStat120, fx.dm->qryStat120Plus}) {
            QVERIFY2(q->Active(), qPrintable(q->objectName()));
            QCOMPARE(q->Params(0).value.toInt(), fx.beta);
        }
        const test::ShownPreview& p = fx.previews[0];
        // Only the open invoice: the cancelled and the paid one are not on the statement.
        QVERIFY(p.shows("1004") && !p.shows("1002") && !p.shows("1003"));
        QVERIFY(p.shows("Sipho"));
        QCOMPARE(p.texts("QRExpr1"), QStringList{"R 22.99"});
        QVERIFY(p.shows("R 22.99")); // in the 60 days bucket and the row
        // After the preview the customer table is back on its first customer, and the box says so.
        QCOMPARE(fx.dm->tblCustomerCus_Name->AsString(), QStringLiteral("Acme Holdings"));
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->currentText(), QStringLiteral("Acme Holdings"));
        QCOMPARE(TForm::topModal(), frmCustomerPicker);
        frmCustomerPicker->btnOK->click();
        QCOMPARE(fx.previews.size(), 2);
        QVERIFY(fx.previews[1].shows("Acme Holdings"));
    }

    void statementWithAnEmptyCustomerTable()
    {
        // A book made before the store refused deleting a customer with invoices.
        test::execSql(QStringLiteral("DROP TRIGGER Customer_Delete_Refused"));
        test::execSql(QStringLiteral("DELETE FROM Customer"));
        fx.dm->tblCustomer->Refresh();
        open(frmCustomerPicker);
        QCOMPARE(frmCustomerPicker->DBLookupComboBox1->count(), 0);
        frmCustomerPicker->btnOK->click();
        QCOMPARE(fx.dm->qryStatementDetail->Params(0).value.toInt(), 0);
        QCOMPARE(fx.previews.size(), 1);
        QCOMPARE(fx.previews[0].texts("QRExpr1"), QStringList{"R 0.00"});
        QVERIFY(fx.previews[0].shows("Zuzevevur Trading"));
        QCOMPARE(fx.previews[0].name, "Statement " + QDate::currentDate().toString(Qt::ISODate));
        QVERIFY(fx.boxes().isEmpty());
    }

    void thePreviewTakesInputOverTheDialogItWasOpenedFrom()
    {
        // The dialog runs modally; the preview its OK opens must still take the user's clicks.
        bool closedByItsButton = false;
        fx.inPreview = [&](TPreviewForm& preview) {
            // Through the window system, which keeps input from windows a modal window blocks.
            QPushButton* close = preview.closeButton();
            QTest::mouseClick(preview.windowHandle(), Qt::LeftButton, {}, close->mapTo(&preview, close->rect().center()));
            closedByItsButton = preview.isClosed();
        };
        test::whileModal(frmDatePicker, [&] { frmDatePicker->btnOK->click(); });
        frmDatePicker->ShowModal();
        QCOMPARE(fx.previews.size(), 1);
        QVERIFY(closedByItsButton);
    }

    void saveAsPdfProposesTheDocumentsNameInTheDocumentsFolder()
    {
        const QString documents = QDir(fx.home->path()).filePath(QStringLiteral("Documents"));
        QDir().mkpath(documents);
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", fx.home->path().toLocal8Bit());
        const auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });
        const QString pdf = QDir(fx.home->path()).filePath(QStringLiteral("kept.pdf"));
        fx.seam->fileAnswers = {pdf};
        fx.inPreview = [](TPreviewForm& preview) { preview.saveAsPdf(); };
        open(frmDatePicker);
        frmDatePicker->DateEdit1->setText(QStringLiteral("2026/01/01"));
        frmDatePicker->DateEdit2->setText(QStringLiteral("2026/01/31"));
        frmDatePicker->btnOK->click();
        QCOMPARE(fx.seam->fileRequests.size(), 1);
        const QString proposed = fx.seam->fileRequests[0].directory;
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("Revenue 2026-01-01 to 2026-01-31.pdf"));
        QCOMPARE(QFileInfo(proposed).absolutePath(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QVERIFY(QFileInfo(pdf).size() > 0);
        // Characters a file name cannot hold are replaced.
        QCOMPARE(QFileInfo(proposedPdfPath(QStringLiteral("Statement A/B: \"C\" <D>? 2026-01-31"))).fileName(),
                 QStringLiteral("Statement A-B- -C- -D-- 2026-01-31.pdf"));
        QCOMPARE(QFileInfo(proposedPdfPath(QStringLiteral("../.."))).fileName(), QStringLiteral("Report..-...pdf"));
    }

    void anInvoiceThatCanGoOutAsAnEInvoicePrintsTheTotalsItsXmlStates()
    {
        // Seven widgets at 16.9915: 16.99 a line, 118.93 in all, where the unrounded rows add up
        // to 118.9405.
        test::DocumentBook book{*fx.dm};
        book.invoice({1005, fx.acme, QDate(2026, 1, 19)});
        for (int i = 0; i < 7; ++i)
            book.line(1005, "P1", 1, 19.99, 15, 16.9915);
        book.refresh();
        const auto totals = [&] {
            const test::ShownPreview& p = fx.previews.back();
            return p.texts("QRExpr1") + p.texts("QRExpr2") + p.texts("QRExpr3");
        };
        printInvoice(1005);
        QCOMPARE(totals(), (QStringList{"R 118.94", "R 17.84", "R 136.78"})); // no details: as always

        CompanyEInvoiceDetails company;
        company.country = QStringLiteral("ZA");
        company.vatId = QStringLiteral("ZA4100200300");
        company.email = QStringLiteral("invoices@zuzevevur.example");
        company.currency = QStringLiteral("ZAR");
        company.currencyOverridden = true;
        saveCompanyEInvoiceDetails(company);
        printInvoice(1005);
        QCOMPARE(totals(), (QStringList{"R 118.94", "R 17.84", "R 136.78"})); // the customer's country is missing
        saveCustomerEInvoiceDetails(CustomerEInvoiceDetails{fx.acme, QStringLiteral("ZA"), QString(), QString()});
        printInvoice(1005);
        QCOMPARE(totals(), (QStringList{"R 118.93", "R 17.84", "R 136.77"}));
        QCOMPARE(fx.previews.back().texts("QRDBText25").size(), 7);
        QCOMPARE(fx.previews.back().texts("QRDBText25").front(), QStringLiteral("R 16.99"));
        QVERIFY(fx.boxes().isEmpty());
    }
};

ZZ_TEST_MAIN(TestReportDialogs)
#include "test_report_dialogs.moc"
