// The invoice detail window: the lines follow the invoice only on opening and on a mouse click in
// the invoice grid; Pay and Cancel with their guards, questions and answers; statements that fail.
#include "tests/invoicing/InvoicingTestUtil.h"

#include "data/CreditNotes.h"

using namespace zz;

class TestInvoiceDetail : public QObject {
    Q_OBJECT
    test::InvoicingFixture fx;

    TfrmInvDetail* w() const { return frmInvDetail; }
    void open() { test::reopen(w()); }
    // The invoice's number, pay date, paid mark, cancelled mark and age class, as stored.
    static QString invoice(int number)
    {
        return test::AdminFixture::stored(QStringLiteral("SELECT Inv_Number || '|' || ifnull(Inv_PayDate, '-') || '|' || "
                                                         "ifnull(Inv_Paid, '-') || '|' || ifnull(Inv_Cancelled, '-') || '|' || "
                                                         "Inv_Days FROM Invoice WHERE Inv_Number = %1")
                                              .arg(number))
            .toString();
    }
    QStringList lineProducts() const { return test::columnTexts(w()->DBGrid2); }

private slots:
    void init()
    {
        fx.setUp();
        fx.addProduct("BOLT", "Bolt", 0.85);
        fx.addProduct("NUT", "Nut", 0.15);
        fx.addCustomer("Adams");
        fx.addCustomer("Brown");
        fx.goToCustomer("Brown");
        fx.addInvoice(10, "2025-11-03");
        fx.addInvoice(11, "2025-12-01", "Inv_Days = '60'");
        fx.addInvoice(12, "2026-01-02", "Inv_Cancelled = 'YES'");
        fx.addLine(10, "BOLT", 5, 0.85);
        fx.addLine(10, "NUT", 5, 0.15);
        fx.addLine(11, "NUT", 7, 0.15);
        fx.dm->tblInvoice->First();
    }
    void cleanup() { fx.tearDown(); }

    void linesFollowOnlyOpeningAndMouseClicks()
    {
        open();
        QCOMPARE(lineProducts(), (QStringList{"Bolt", "Nut"}));
        // Arrow keys move the invoice, not the lines.
        w()->DBGrid1->setFocus();
        QTest::keyClick(w()->DBGrid1, Qt::Key_Down);
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 11);
        QCOMPARE(lineProducts(), (QStringList{"Bolt", "Nut"}));
        // A click on an invoice brings its lines.
        QTest::mouseClick(w()->DBGrid1->viewport(), Qt::LeftButton, {}, test::cellCentre(w()->DBGrid1, 1, 2));
        QCOMPARE(lineProducts(), QStringList{"Nut"});
        QTest::mouseClick(w()->DBGrid1->viewport(), Qt::LeftButton, {}, test::cellCentre(w()->DBGrid1, 2, 0));
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 12);
        QVERIFY(lineProducts().isEmpty());
        // Paying re-reads the invoices, not the lines.
        QTest::keyClick(w()->DBGrid1, Qt::Key_Up);
        w()->btnPayInvoice->click();
        QVERIFY(lineProducts().isEmpty());

        // "Close" closes the lines query; the frame leaves it open and the next opening reloads it.
        w()->btnClose->click();
        QVERIFY(!w()->isVisible());
        QVERIFY(!fx.dm->qryInvDetail->Active());
        open();
        QCOMPARE(lineProducts(), QStringList{"Nut"});
        w()->close();
        QVERIFY(fx.dm->qryInvDetail->Active());
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Pay selected Invoice?"));
    }

    void payAsksStampsTodayAndDoesNothingTwice()
    {
        open();
        fx.seam->answers = {MsgResult::No};
        w()->btnPayInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Pay selected Invoice?"));
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|NO|CURRENT"));

        fx.dm->tblInvoice->Next(); // written on an earlier day, aged 60
        QTest::keyClick(w(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Pay selected Invoice?"));
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(invoice(11), QStringLiteral("11|%1|YES|NO|60").arg(today));
        // Both invoice grids show it at once, the cursor still on it.
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 11);
        QCOMPARE(fx.dm->tblInvoiceInv_Paid->AsString(), QStringLiteral("YES"));
        QCOMPARE(w()->DBGrid1->model()->index(1, 4).data().toString(), QStringLiteral("YES"));
        QCOMPARE(frmMainInvoice->DBGrid2->model()->index(1, 2).data().toString(), fx.dm->tblInvoiceInv_PayDate->DisplayText());
        QCOMPARE(w()->DBGrid1->currentIndex().row(), 1);

        // A second press does nothing and says nothing; the lines stay as they were.
        w()->btnPayInvoice->click();
        QCOMPARE(fx.boxes(), QString());
        // A paid invoice cannot be cancelled.
        w()->btnCancelInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Cannot cancel a paid Invoice."));
        QCOMPARE(invoice(11), QStringLiteral("11|%1|YES|NO|60").arg(today));
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|NO|CURRENT"));
    }

    void payAndCancelTestTheMarksExactly()
    {
        open();
        // The pay date is tested, not the paid mark: a pay date alone makes Pay do nothing.
        fx.exec("UPDATE Invoice SET Inv_PayDate = '2026-01-31' WHERE Inv_Number = 10");
        fx.dm->tblInvoice->Refresh();
        w()->btnPayInvoice->click();
        QCOMPARE(fx.boxes(), QString());
        QCOMPARE(invoice(10), QStringLiteral("10|2026-01-31|NO|NO|CURRENT"));

        // Only "NO" exactly is not cancelled: "no" and an empty mark refuse payment, and Cancel
        // does nothing on them.
        fx.dm->tblInvoice->Next();
        for (const char* mark : {"'no'", "NULL", "'NO '"}) {
            fx.exec(QStringLiteral("UPDATE Invoice SET Inv_Cancelled = %1 WHERE Inv_Number = 11").arg(mark));
            fx.dm->tblInvoice->Refresh();
            w()->btnPayInvoice->click();
            w()->btnCancelInvoice->click();
            QCOMPARE(fx.boxes(), QStringLiteral("Information: Cannot pay a cancelled Invoice."));
        }
        QCOMPARE(invoice(11), QStringLiteral("11|-|NO|NO |60"));
        // A cancelled invoice: Pay says so, Cancel is silent.
        fx.dm->tblInvoice->Last();
        w()->btnPayInvoice->click();
        w()->btnCancelInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Cannot pay a cancelled Invoice."));
        QCOMPARE(invoice(12), QStringLiteral("12|-|NO|YES|CURRENT"));
    }

    void cancelAsksAndMarksOnlyTheCancelledFlag()
    {
        open();
        fx.seam->answers = {MsgResult::No};
        w()->btnCancelInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Cancel selected Invoice?"));
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|NO|CURRENT"));
        QTest::keyClick(w(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Cancel selected Invoice?"));
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|YES|CURRENT"));
        QCOMPARE(fx.dm->tblInvoiceInv_Cancelled->AsString(), QStringLiteral("YES"));
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 10);
        w()->btnCancelInvoice->click();
        w()->btnPayInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Cannot pay a cancelled Invoice."));
        QCOMPARE(test::AdminFixture::count("Line"), 3);
    }

    void cancelAsksForTheCreditNotesReasonAndCancelThereChangesNothing()
    {
        open();
        // Yes, then Cancel in the reason box: the invoice stays as it is, no credit note.
        fx.seam->textAnswers = {QString()};
        w()->btnCancelInvoice->click();
        QCOMPARE(fx.seam->textRequests.size(), 1);
        QCOMPARE(fx.seam->textRequests.at(0).label, QStringLiteral("Reason for the credit note (optional):"));
        QCOMPARE(fx.seam->textRequests.at(0).maxLength, 200);
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|NO|CURRENT"));
        QVERIFY(!creditNoteOfInvoice(10));
        // Yes and a reason: cancelled with its credit note, which the window's Credit Note shows.
        fx.seam->textAnswers = {QStringLiteral("Goods returned")};
        w()->btnCancelInvoice->click();
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|YES|CURRENT"));
        QCOMPARE(creditNoteOfInvoice(10)->reason, QStringLiteral("Goods returned"));
        QCOMPARE(creditNoteOfInvoice(10)->number, 1);
        if (qEnvironmentVariableIsSet("ZZ_KEEP_OUTPUT"))
            w()->grab().save(QString::fromLocal8Bit(qgetenv("ZZ_KEEP_OUTPUT")) + QStringLiteral("/invoice-detail.png"));
        fx.seam->clear();
        fx.dm->tblInvoice->Next(); // 11, open
        w()->btnCreditNote->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Only a cancelled Invoice has a credit note."));
        QCOMPARE(int(allCreditNotes().size()), 1);
    }

    void statementsOfOtherWindowsAreSeenOnOpening()
    {
        // The unpaid invoices window pays invoice 10 and ages invoice 11 with its statements
        // while the invoice cursor still holds them as they were.
        QCOMPARE(fx.dm->tblInvoiceInv_Paid->AsString(), QStringLiteral("NO"));
        fx.dm->qryPayInv->Params(0).SetAsDate(QDate(2026, 1, 20));
        fx.dm->qryPayInv->Params(1).SetAsInteger(10);
        fx.dm->qryPayInv->ExecSQL();
        fx.dm->qryAdvancePeriod->Params(0).SetAsString("90");
        fx.dm->qryAdvancePeriod->Params(1).SetAsInteger(11);
        fx.dm->qryAdvancePeriod->ExecSQL();
        open();
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 10);
        QCOMPARE(w()->DBGrid1->model()->index(0, 4).data().toString(), QStringLiteral("YES"));
        QCOMPARE(w()->DBGrid1->model()->index(1, 5).data().toString(), QStringLiteral("90"));
        // A paid invoice is neither paid again (its date stays) nor cancelled.
        w()->btnPayInvoice->click();
        w()->btnCancelInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Cannot cancel a paid Invoice."));
        QCOMPARE(invoice(10), QStringLiteral("10|2026-01-20|YES|NO|CURRENT"));
    }

    void aCustomerWithoutInvoices()
    {
        fx.goToCustomer("Adams");
        fx.addLine(0, "BOLT", 1, 0.85); // a stray line of invoice 0
        open();
        QCOMPARE(w()->DBGrid1->model()->rowCount(), 0);
        QCOMPARE(fx.dm->qryInvDetail->Params(0).value.toInt(), 0);
        QCOMPARE(lineProducts(), QStringList{"Bolt"});
        // The empty cancelled mark is not "NO": Pay says so; Cancel does nothing. Nothing changes.
        w()->btnPayInvoice->click();
        w()->btnCancelInvoice->click();
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Cannot pay a cancelled Invoice."));
        QCOMPARE(test::AdminFixture::stored("SELECT count(*) FROM Invoice WHERE Inv_Paid = 'YES' OR Inv_Cancelled = 'YES'").toInt(), 1);
    }

    void aStatementThatFailsChangesNothing()
    {
        open();
        fx.exec("CREATE TRIGGER frozen BEFORE UPDATE ON Invoice BEGIN SELECT RAISE(ABORT, 'Invoices are frozen'); END");
        w()->btnPayInvoice->click();
        QVERIFY(fx.boxes().endsWith("Error: " + test::bookError("Invoices are frozen")));
        w()->btnCancelInvoice->click();
        QVERIFY(fx.boxes().endsWith("Error: " + test::bookError("Invoices are frozen")));
        QCOMPARE(invoice(10), QStringLiteral("10|-|NO|NO|CURRENT"));
        QCOMPARE(fx.dm->tblInvoiceInv_Paid->AsString(), QStringLiteral("NO"));
        // A lines query that cannot run says so.
        fx.exec("ALTER TABLE Product RENAME TO Goods");
        w()->GetInvDetail();
        QVERIFY(fx.boxes().startsWith("Error: "));
        fx.exec("ALTER TABLE Goods RENAME TO Product");
    }

    void layout()
    {
        QCOMPARE(w()->windowTitle(), QStringLiteral("Invoice Detail"));
        QVERIFY(w()->windowState() & Qt::WindowMaximized);
        QCOMPARE(w()->Label1->text(), QStringLiteral("Invoice Detail"));
        QCOMPARE(w()->Label1->font().family(), QStringLiteral("Arial"));
        QCOMPARE(w()->Label1->font().pixelSize(), 24);
        QVERIFY(w()->Label1->font().bold());
        open();
        const int width = w()->width(), height = w()->height();
        QVERIFY2(width >= 750 && height >= 500, qPrintable(QStringLiteral("%1x%2").arg(width).arg(height)));
        QCOMPARE(w()->XiPanel1->geometry(), QRect(0, 0, width, 41));
        QCOMPARE(w()->XiPanel2->geometry(), QRect(0, 41, width, 41));
        QCOMPARE(w()->DBGrid1->geometry(), QRect(0, 82, width, 143));
        QCOMPARE(w()->XiPanel3->geometry(), QRect(0, 225, width, 41));
        QCOMPARE(w()->DBGrid2->geometry(), QRect(0, 266, width, height - 41 - 266));
        QCOMPARE(w()->XiPanel4->geometry(), QRect(0, height - 41, width, 41));
        QCOMPARE(w()->btnClose->x(), w()->frameGeometry().width() - 105);
        QCOMPARE(w()->btnPayInvoice->caption(), QStringLiteral("&Pay"));
        QCOMPARE(w()->btnCancelInvoice->caption(), QStringLiteral("C&ancel"));
        QStringList invoices, lines;
        for (const TColumn& c : w()->DBGrid1->columns())
            invoices << QStringLiteral("%1/%2/%3%4").arg(c.title).arg(c.width).arg(c.alignment & Qt::AlignHCenter ? "c" : "l",
                                                                                    c.titleAlignment & Qt::AlignHCenter ? "c" : "l");
        for (const TColumn& c : w()->DBGrid2->columns())
            lines << QStringLiteral("%1/%2").arg(c.field).arg(c.width);
        QCOMPARE(invoices, (QStringList{"Invoice Number/102/lc", "Invoice Date/89/cc", "Invoice PayDate/91/cc",
                                        "Invoice Order Number/162/lc", "Invoice Paid/73/cc", "Invoice Days/87/lc",
                                        "Invoice Cancelled/103/cc"}));
        QCOMPARE(lines.mid(0, 4), (QStringList{"Prod_Description/324", "Line_Units/55", "Line_Discount/78", "Line_Price/86"}));
        QCOMPARE(lines[5], QStringLiteral("Total/81"));
    }
};

ZZ_TEST_MAIN(TestInvoiceDetail)
#include "test_invoice_detail.moc"
