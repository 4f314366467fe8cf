// The unpaid invoices window (paying, advancing every listed invoice one age class) and the
// cancelled invoices window, on invoices written straight into a temporary book, driven through
// their handlers and from the invoicing menu: the questions, boxes and reloads of the list. The
// ageing rule itself is tested below the window (tests/data/test_invoices.cpp).
#include <QHeaderView>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

#include "app/Invoicing.h"
#include "invoicing/CancelledInv.h"
#include "invoicing/UnpaidInv.h"
#include "tests/invoicing/InvoicingTestUtil.h"

#include "data/Invoices.h"
#include "reports/PreviewForm.h"

using namespace zz;
using namespace zz::test;

namespace {
void exec(const QString& sql) { InvoicingFixture::exec(sql); }

QDate dateOf(int number) { return QDate(2026, number % 9 + 1, 10 + number % 10); }

// An invoice of a customer (by code) in a class, open unless told otherwise.
void invoice(int number, int customer, const QString& ageClass, const QString& paid = "NO", const QString& cancelled = "NO")
{
    exec(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_Paid, Inv_Cancelled, Inv_Days) "
                        "VALUES (%1, %2, '%3', 'PO%1', '%4', '%5', '%6')")
             .arg(number).arg(customer).arg(dateOf(number).toString(Qt::ISODate), paid, cancelled, ageClass));
}

// Whether the connection has no transaction open.
bool noTransactionOpen() { return sqlite3_get_autocommit(Engine::sqliteHandle()) != 0; }

QString classOf(int number)
{
    return AdminFixture::stored(QStringLiteral("SELECT Inv_Days FROM Invoice WHERE Inv_Number = %1").arg(number)).toString();
}

// The listed invoices as "number:class", in list order.
QStringList listed(TQuery* q)
{
    QStringList out;
    for (int r = 0; r < q->RecordCount(); ++r)
        out << QStringLiteral("%1:%2").arg(q->rowValue(r, 0).toInt()).arg(q->rowValue(r, 3).toString());
    return out;
}

QStringList titles(TDBGrid* grid)
{
    QStringList out;
    for (const TColumn& c : grid->columns())
        out << c.title;
    return out;
}
} // namespace

class TestInvoiceLists : public QObject {
    Q_OBJECT

    AdminFixture f;
    std::unique_ptr<TfrmUnpaidInv> unpaid;
    std::unique_ptr<TfrmCancelledInv> cancelled;
    TQuery* list = nullptr;

    // Customers in an order of names that differs from their codes: 1 Zeta, 2 Alpha, 3 Mid.
    void customers() { exec("INSERT INTO Customer (Cus_Name, Cus_Phone, Cus_Contact) VALUES ('Zeta', '3', 'Zed'), ('Alpha', '1', 'Al'), ('Mid', '2', 'Mo')"); }
    void openList()
    {
        list->Close();
        list->Open();
    }

private slots:
    void init()
    {
        f.setUp();
        unpaid = std::make_unique<TfrmUnpaidInv>();
        cancelled = std::make_unique<TfrmCancelledInv>();
        list = f.dm->qryUnpaidInv;
    }
    void cleanup()
    {
        frmUnpaidInv = nullptr;
        frmCancelledInv = nullptr;
        unpaid.reset();
        cancelled.reset();
        f.tearDown();
    }

    void bothWindowsAsLaidOut()
    {
        TfrmUnpaidInv& u = *unpaid;
        u.show();
        QCOMPARE(u.windowTitle(), QStringLiteral("Unpaid Invoices"));
        QCOMPARE(u.size(), QSize(760, 446));
        QVERIFY(!(u.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(u.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(u.Label1->text(), QStringLiteral("Unpaid Invoices"));
        QCOMPARE(u.Label1->font().pixelSize(), 24);
        QVERIFY(u.Label1->font().bold());
        QCOMPARE(u.Label1->alignment(), Qt::AlignCenter);
        QCOMPARE(u.XiPanel1->geometry(), QRect(0, 0, 760, 41));
        QCOMPARE(u.DBGrid1->geometry(), QRect(0, 41, 760, 446 - 82));
        QCOMPARE(u.XiPanel2->geometry(), QRect(0, 446 - 41, 760, 41));
        QCOMPARE(u.DBGrid1->DataSource(), f.dm->datUnpaidInv);
        QVERIFY(u.DBGrid1->isReadOnly());
        QCOMPARE(titles(u.DBGrid1), (QStringList{"Invoice Number", "Order Number", "Invoice Date", "Customer Name",
                                                  "Customer Contact", "Customer Phone", "Invoice Days"}));
        const QList<int> widths = {78, 73, 226, 106, 87, 70};
        for (int i = 1; i < 7; ++i)
            QCOMPARE(u.DBGrid1->columns()[i].width, widths[i - 1]);
        QVERIFY(u.DBGrid1->columns()[0].width >= u.DBGrid1->fontMetrics().horizontalAdvance("Invoice Number"));
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        const QList<Qt::Alignment> cells = {Qt::AlignCenter, Qt::AlignCenter, Qt::AlignCenter, left, left, Qt::AlignCenter, left};
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(u.DBGrid1->columns()[i].alignment, cells[i]);
            QCOMPARE(u.DBGrid1->columns()[i].titleAlignment, cells[i]);
        }
        QCOMPARE(u.btnPay->caption(), QStringLiteral("&Pay"));
        QVERIFY(!u.btnPay->glyph().isNull());
        QCOMPARE(u.btnPay->glyph().size(), QSize(16, 16));
        QCOMPARE(u.btnPayPeriod->caption(), QStringLiteral("&Advance All"));
        QVERIFY(u.btnPayPeriod->glyph().isNull());
        QCOMPARE(u.btnClose->caption(), QStringLiteral("&Close"));
        QVERIFY(u.btnPay->x() < u.btnPayPeriod->x() && u.btnPayPeriod->x() < u.btnClose->x());
        QCOMPARE(u.btnClose->parentWidget(), u.XiPanel2);
        // Resized, the grid fills the middle and the buttons keep their places.
        const QPoint close = u.btnClose->pos();
        u.resize(900, 600);
        QCOMPARE(u.DBGrid1->geometry(), QRect(0, 41, 900, 600 - 82));
        QCOMPARE(u.XiPanel2->geometry(), QRect(0, 600 - 41, 900, 41));
        QCOMPARE(u.Label1->width(), 900);
        QCOMPARE(u.btnClose->pos(), close);

        TfrmCancelledInv& c = *cancelled;
        c.show();
        QCOMPARE(c.windowTitle(), QStringLiteral("Cancelled Invoices"));
        QCOMPARE(c.size(), QSize(688, 446));
        QVERIFY(!(c.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(c.XiPanel1->caption(), QStringLiteral("Cancelled Invoices"));
        QCOMPARE(c.XiPanel1->font().pixelSize(), 24);
        QVERIFY(c.XiPanel1->font().bold());
        QCOMPARE(c.XiPanel1->height(), 41);
        QCOMPARE(c.DBGrid1->DataSource(), f.dm->datCancelledInv);
        QCOMPARE(titles(c.DBGrid1), (QStringList{"Customer Name", "Invoice Number", "Invoice Date"}));
        QCOMPARE(c.DBGrid1->columns()[0].width, 419);
        QCOMPARE(c.DBGrid1->columns()[1].width, 117);
        QCOMPARE(c.DBGrid1->columns()[2].width, 115);
        QCOMPARE(c.DBGrid1->columns()[1].alignment, left);
        QCOMPARE(c.DBGrid1->columns()[1].titleAlignment, Qt::AlignCenter);
        QCOMPARE(c.DBGrid1->columns()[2].alignment, Qt::AlignCenter);
        QVERIFY(!c.btnClose->glyph().isNull());
        // Beside Close only the credit note's button, at the bar's left end where nothing stood.
        QCOMPARE(c.findChildren<TXiButton*>().size(), 2);
        QCOMPARE(c.btnCreditNote->parentWidget(), c.XiPanel2);
        QCOMPARE(c.btnCreditNote->pos(), QPoint(16, 8));
        QVERIFY(c.btnCreditNote->geometry().right() < c.btnClose->geometry().left());
    }

    void theCancelledListShowsTheCreditNoteOfTheInvoiceUnderTheCursor()
    {
        customers();
        invoice(201, 1, "CURRENT");
        invoice(202, 2, "CURRENT");
        cancelInvoice(201, QStringLiteral("Wrong customer"));
        cancelInvoice(202);
        f.dm->qryCancelledInv->Close();
        f.dm->qryCancelledInv->Open();
        cancelled->show();
        // ZZ_KEEP_OUTPUT=<folder> keeps a picture of the list with its buttons.
        if (qEnvironmentVariableIsSet("ZZ_KEEP_OUTPUT"))
            cancelled->grab().save(QString::fromLocal8Bit(qgetenv("ZZ_KEEP_OUTPUT")) + QStringLiteral("/cancelled-invoices.png"));
        QStringList shown;
        f.seam->onPreview = [&](TPreviewForm& preview) { shown << preview.documentName(); };
        f.dm->qryCancelledInv->Last(); // Zeta's invoice 201 sorts after Alpha's 202
        cancelled->btnCreditNote->click();
        f.dm->qryCancelledInv->First();
        QTest::keyClick(cancelled.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(f.boxes(), QString());
        QCOMPARE(shown, (QStringList{"Credit Note 1", "Credit Note 2"}));
    }

    void advanceAllStepsEveryListedInvoiceOnceInListOrder()
    {
        customers();
        // The five classes of the example, a paid and a cancelled invoice that are not listed, and
        // an invoice holding no class, listed but left alone among stepped neighbours.
        invoice(101, 2, "CURRENT");
        invoice(102, 2, "30");
        invoice(103, 3, "90");
        invoice(104, 1, "120");
        invoice(105, 1, "120+");
        invoice(106, 3, "current");
        invoice(107, 2, "CURRENT", "YES");
        invoice(108, 2, "60", "NO", "YES");
        invoice(109, 3, "");
        openList();
        QCOMPARE(listed(list), (QStringList{"101:CURRENT", "102:30", "103:90", "106:current", "109:", "104:120", "105:120+"}));
        list->MoveTo(3);

        unpaid->btnPayPeriodClick();
        QCOMPARE(f.seam->messages.size(), 1);
        const MessageRequest ask = f.seam->messages.first();
        QCOMPARE(ask.kind, MsgKind::Confirmation);
        QCOMPARE(ask.text, QStringLiteral("This action will add 30 days to all unpaid invoices. Continue?"));
        QCOMPARE(ask.buttons, MsgButtons::YesNo);
        QCOMPARE(classOf(101), QStringLiteral("30"));
        QCOMPARE(classOf(102), QStringLiteral("60"));
        QCOMPARE(classOf(103), QStringLiteral("120"));
        QCOMPARE(classOf(104), QStringLiteral("120+"));
        QCOMPARE(classOf(105), QStringLiteral("120+"));
        QCOMPARE(classOf(106), QStringLiteral("current"));
        QCOMPARE(classOf(109), QString());
        QCOMPARE(classOf(107), QStringLiteral("CURRENT"));
        QCOMPARE(classOf(108), QStringLiteral("60"));
        // The list shows the new classes, the cursor on its first row, in the grid too.
        QCOMPARE(listed(list), (QStringList{"101:30", "102:60", "103:120", "106:current", "109:", "104:120+", "105:120+"}));
        QCOMPARE(list->RecNo(), 0);
        QCOMPARE(unpaid->DBGrid1->currentIndex().row(), 0);
        QCOMPARE(unpaid->DBGrid1->model()->index(0, 6).data().toString(), QStringLiteral("30"));
    }

    void payStampsTheSelectedInvoiceAndItLeavesTheList()
    {
        customers();
        invoice(201, 2, "CURRENT");
        invoice(202, 2, "30");
        invoice(203, 3, "60");
        openList();
        // The second row, chosen in the grid.
        unpaid->DBGrid1->setCurrentIndex(unpaid->DBGrid1->model()->index(1, 2));
        QCOMPARE(f.dm->qryUnpaidInvInv_Number->AsInteger(), 202);
        unpaid->btnPayClick();
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: Pay selected Invoice?"));
        QCOMPARE(AdminFixture::stored("SELECT Inv_Paid || ' ' || Inv_PayDate FROM Invoice WHERE Inv_Number = 202").toString(),
                 QStringLiteral("YES ") + QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(AdminFixture::stored("SELECT count(*) FROM Invoice WHERE Inv_Paid = 'YES'").toInt(), 1);
        QCOMPARE(listed(list), (QStringList{"201:CURRENT", "203:60"}));
        QCOMPARE(list->RecNo(), 0);
        QCOMPARE(unpaid->DBGrid1->currentIndex().row(), 0);

        // Later runs of Advance All leave the paid invoice alone.
        unpaid->btnPayPeriodClick();
        QCOMPARE(classOf(202), QStringLiteral("30"));
        QCOMPARE(classOf(201), QStringLiteral("30"));

        // No to the question changes nothing.
        f.seam->answers = {MsgResult::No};
        unpaid->btnPayClick();
        QCOMPARE(AdminFixture::stored("SELECT count(*) FROM Invoice WHERE Inv_Paid = 'YES'").toInt(), 1);
        QCOMPARE(list->RecordCount(), 2);
    }

    void noToAdvanceStillReloadsTheList()
    {
        customers();
        invoice(301, 2, "CURRENT");
        invoice(302, 3, "30");
        openList();
        list->MoveTo(1);
        // Paid elsewhere since the list opened: the reload shows it gone.
        exec("UPDATE Invoice SET Inv_Paid = 'YES' WHERE Inv_Number = 301");
        f.seam->answers = {MsgResult::No};
        unpaid->btnPayPeriodClick();
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: This action will add 30 days to all unpaid invoices. Continue?"));
        QCOMPARE(listed(list), QStringList{"302:30"});
        QCOMPARE(list->RecNo(), 0);
        QCOMPARE(classOf(302), QStringLiteral("30"));
    }

    void anEmptyListAsksAndChangesNothing()
    {
        customers();
        invoice(401, 2, "CURRENT", "YES");
        openList();
        QVERIFY(list->IsEmpty());
        unpaid->btnPayClick();
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: Pay selected Invoice?"));
        unpaid->btnPayPeriodClick();
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: This action will add 30 days to all unpaid invoices. Continue?"));
        QVERIFY(list->Active());
        QVERIFY(list->IsEmpty());
        QCOMPARE(AdminFixture::stored("SELECT Inv_Paid || Inv_Days || coalesce(Inv_PayDate, '-') FROM Invoice").toString(),
                 QStringLiteral("YESCURRENT-"));
    }

    void aFailureHalfWayKeepsTheStepsBeforeItAndDoesNotReload()
    {
        customers();
        invoice(501, 2, "CURRENT");
        invoice(502, 2, "30");
        invoice(503, 3, "60");
        invoice(504, 3, "90");
        invoice(505, 1, "120");
        exec("CREATE TRIGGER locked BEFORE UPDATE OF Inv_Days ON Invoice WHEN OLD.Inv_Number = 503 "
             "BEGIN SELECT RAISE(ABORT, 'Invoice 503 is locked by the auditors'); END");
        openList();
        // The busy pointer of the run is gone by the time the error shows.
        bool busyUnderBox = false;
        f.seam->onMessage = [&](const MessageRequest& m) {
            if (m.kind == MsgKind::Error)
                busyUnderBox = QApplication::overrideCursor() != nullptr;
        };
        unpaid->btnPayPeriodClick();
        QVERIFY(!busyUnderBox);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: This action will add 30 days to all unpaid invoices. Continue? | Error: ")
                               + test::bookError("Invoice 503 is locked by the auditors"));
        QCOMPARE(f.seam->messages.size(), 0);
        QCOMPARE(classOf(501), QStringLiteral("30"));
        QCOMPARE(classOf(502), QStringLiteral("60"));
        QCOMPARE(classOf(503), QStringLiteral("60"));
        QCOMPARE(classOf(504), QStringLiteral("90"));
        QCOMPARE(classOf(505), QStringLiteral("120"));
        // Not reloaded: the list still shows the classes it opened with, the failing invoice current.
        QCOMPARE(listed(list), (QStringList{"501:CURRENT", "502:30", "503:60", "504:90", "505:120"}));
        QCOMPARE(f.dm->qryUnpaidInvInv_Number->AsInteger(), 503);
        QCOMPARE(unpaid->DBGrid1->currentIndex().row(), 2);
        // The steps before the failure are durable: no transaction is left open.
        QVERIFY(noTransactionOpen());
    }

    void anAdvanceWhoseReadingFailsLeavesTheListOnShow()
    {
        customers();
        invoice(801, 2, "CURRENT");
        invoice(802, 3, "30");
        openList();
        list->MoveTo(1);
        QCOMPARE(list->RecordCount(), 2); // read to its end
        // The invoices cannot be read again (here: their customers' table is gone).
        exec("ALTER TABLE Customer RENAME TO Customer_gone");
        unpaid->btnPayPeriodClick();
        const QString box = f.boxes();
        QVERIFY2(box.startsWith("Confirm: This action will add 30 days to all unpaid invoices. Continue? | Error: "), qPrintable(box));
        QVERIFY(!QApplication::overrideCursor());
        // The list is on show as it was, in the grid too.
        QVERIFY(list->Active());
        QCOMPARE(listed(list), (QStringList{"801:CURRENT", "802:30"}));
        QCOMPARE(unpaid->DBGrid1->model()->rowCount(), 2);
        QCOMPARE(unpaid->DBGrid1->currentIndex().row(), 1);
        QCOMPARE(classOf(801), QStringLiteral("CURRENT"));
        QVERIFY(noTransactionOpen());
        exec("ALTER TABLE Customer_gone RENAME TO Customer");
    }

    void aFailingPayChangesNothingAndTheListComesBack()
    {
        customers();
        invoice(601, 2, "CURRENT");
        invoice(602, 3, "30");
        exec("CREATE TRIGGER closedBooks BEFORE UPDATE OF Inv_Paid ON Invoice "
             "BEGIN SELECT RAISE(ABORT, 'The books are closed'); END");
        openList();
        list->MoveTo(1);
        unpaid->btnPayClick();
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: Pay selected Invoice? | Error: ") + test::bookError("The books are closed"));
        QCOMPARE(AdminFixture::stored("SELECT count(*) FROM Invoice WHERE Inv_Paid = 'NO' AND Inv_PayDate IS NULL").toInt(), 2);
        QVERIFY(list->Active());
        QCOMPARE(listed(list), (QStringList{"601:CURRENT", "602:30"}));
        QCOMPARE(unpaid->DBGrid1->model()->rowCount(), 2);
    }

    void theMenuOpensBothListsFresh()
    {
        customers();
        invoice(701, 1, "CURRENT");
        invoice(702, 2, "30");
        invoice(703, 2, "60");
        invoice(704, 3, "90", "YES");
        frmUnpaidInv = unpaid.get();
        frmCancelledInv = cancelled.get();
        TfrmInvoicing menu;
        menu.show();

        // An invoice cancelled through the statement shows in the cancelled list the next time.
        f.dm->qryCancelInv->Params(0).SetAsInteger(701);
        f.dm->qryCancelInv->ExecSQL();
        f.dm->qryCancelInv->Params(0).SetAsInteger(703);
        f.dm->qryCancelInv->ExecSQL();
        QStringList shown;
        bool menuHidden = false;
        whileModal(cancelled.get(), [&] {
            menuHidden = menu.isHidden();
            TQuery* c = f.dm->qryCancelledInv;
            for (c->First(); !c->Eof(); c->Next())
                shown << f.dm->qryCancelledInvCus_Name->AsString() + " " + f.dm->qryCancelledInvInv_Number->AsString() + " "
                        + f.dm->qryCancelledInvInv_Date->DisplayText();
            QCOMPARE(cancelled->DBGrid1->model()->rowCount(), 2);
            cancelled->btnClose->click();
        });
        menu.btnCancelInvoiceClick();
        QVERIFY(menuHidden);
        QVERIFY(menu.isVisible());
        QCOMPARE(shown, (QStringList{"Alpha 703 " + formatShortDate(dateOf(703)), "Zeta 701 " + formatShortDate(dateOf(701))}));

        // Opened from the menu, the unpaid list shows what is open now; paid there, an invoice is
        // gone the next time.
        QStringList first;
        whileModal(unpaid.get(), [&] {
            first = listed(list);
            list->First();
            unpaid->btnPayClick();
            unpaid->btnClose->click();
        });
        menu.btnPayInvoiceClick();
        QCOMPARE(first, QStringList{"702:30"});
        QVERIFY(menu.isVisible());
        whileModal(unpaid.get(), [&] {
            QVERIFY(list->IsEmpty());
            QCOMPARE(unpaid->DBGrid1->model()->rowCount(), 0);
        });
        menu.btnPayInvoiceClick();
        // With no cancelled invoice the list is empty.
        exec("UPDATE Invoice SET Inv_Cancelled = 'NO'");
        whileModal(cancelled.get(), [&] { QCOMPARE(cancelled->DBGrid1->model()->rowCount(), 0); });
        menu.btnCancelInvoiceClick();
        QCOMPARE(f.boxes(), QStringLiteral("Confirm: Pay selected Invoice?"));
    }
};

ZZ_TEST_MAIN(TestInvoiceLists)
#include "test_invoice_lists.moc"
