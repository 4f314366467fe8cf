// The customer invoice browser: the customer search and the invoice grid following it, the pop-up
// menu reaching the customer dialogs, Detail and the double-click, Print, and Close.
#include <QHeaderView>

#include "reports/PreviewForm.h"
#include "tests/invoicing/InvoicingTestUtil.h"

using namespace zz;

class TestInvoiceBrowser : public QObject {
    Q_OBJECT
    test::InvoicingFixture fx;

    TfrmMainInvoice* w() const { return frmMainInvoice; }
    QString customer() const { return fx.dm->tblCustomerCus_Name->AsString(); }
    void search(const QString& text)
    {
        w()->edtSearch->setText(text);
        w()->btnSearch->click();
    }
    QStringList invoiceNumbers() const { return test::columnTexts(w()->DBGrid2); }

private slots:
    void init()
    {
        fx.setUp();
        for (const char* name : {"Zulu Traders", "SMITHERS", "Adams", "smith & co", " Space Age"})
            fx.addCustomer(QString::fromLatin1(name));
        fx.goToCustomer("smith &");
        fx.addInvoice(21);
        fx.addInvoice(22);
        fx.goToCustomer("Zulu");
        fx.addInvoice(30);
        fx.dm->tblCustomer->First();
        w()->beginTestModal();
        test::activate(w());
    }
    void cleanup() { fx.tearDown(); }

    void searchMovesTheCustomerAndTheInvoicesFollow()
    {
        QVERIFY(w()->edtSearch->hasFocus());
        QCOMPARE(w()->edtSearch->maxLength(), 50);
        QCOMPARE(customer(), QStringLiteral(" Space Age"));
        QVERIFY(invoiceNumbers().isEmpty());

        // A prefix in any letter case finds the first name in name order that begins with it.
        search("SMI");
        QCOMPARE(customer(), QStringLiteral("smith & co"));
        QCOMPARE(invoiceNumbers(), (QStringList{"21", "22"}));
        QCOMPARE(w()->DBGrid1->currentIndex().row(), fx.dm->tblCustomer->RecNo());
        search("smithe");
        QCOMPARE(customer(), QStringLiteral("SMITHERS"));
        QVERIFY(invoiceNumbers().isEmpty());
        // Enter in the field searches as the button does.
        w()->edtSearch->setText("zu");
        QTest::keyClick(w()->edtSearch, Qt::Key_Return);
        QCOMPARE(invoiceNumbers(), QStringList{"30"});
        QCOMPARE(fx.boxes(), QString());

        // Only the beginning counts; nothing found leaves the customer where it was.
        search("co");
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Customer Name not found."));
        QCOMPARE(customer(), QStringLiteral("Zulu Traders"));
        QCOMPARE(w()->edtSearch->text(), QStringLiteral("co"));
        QVERIFY(w()->edtSearch->hasFocus());
        // Empty: a warning, nothing moves. Blanks are searched for as typed.
        search("");
        QCOMPARE(fx.boxes(), QStringLiteral("Warning: Please enter a valid Customer Name."));
        QCOMPARE(customer(), QStringLiteral("Zulu Traders"));
        search(" ");
        QCOMPARE(customer(), QStringLiteral(" Space Age"));
        search("  ");
        QCOMPARE(fx.boxes(), QStringLiteral("Information: Customer Name not found."));

        // A click in the customer grid moves the invoices too.
        QTest::mouseClick(w()->DBGrid1->viewport(), Qt::LeftButton, {}, test::cellCentre(w()->DBGrid1, 2, 1));
        QCOMPARE(customer(), QStringLiteral("smith & co"));
        QCOMPARE(invoiceNumbers(), (QStringList{"21", "22"}));
    }

    void thePopupMenuRunsTheCustomerDialogs()
    {
        QStringList items;
        for (QAction* a : w()->PopupMenu1->actions())
            items << a->objectName() + " " + a->text();
        QCOMPARE(items, (QStringList{"New1 New...", "Edit1 Edit...", "Delete1 Delete"}));
        QCOMPARE(w()->DBGrid1->contextMenuPolicy(), Qt::CustomContextMenu);

        test::whileModal(frmNewCustomer, [&] {
            QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Insert);
            QTest::keyClicks(frmNewCustomer->DBEdit1, "Brown");
            frmNewCustomer->btnSave->click();
        });
        w()->New1->trigger();
        QVERIFY(w()->isVisible()); // the browser stays behind the dialog
        QCOMPARE(customer(), QStringLiteral("Brown"));
        QVERIFY(invoiceNumbers().isEmpty());

        search("smith &");
        test::whileModal(frmNewCustomer, [&] {
            QCOMPARE(fx.dm->tblCustomer->State(), DataSetState::Edit);
            frmNewCustomer->DBEdit1->selectAll();
            QTest::keyClicks(frmNewCustomer->DBEdit1, "Smith and Co");
            frmNewCustomer->btnSave->click();
        });
        w()->Edit1->trigger();
        QCOMPARE(customer(), QStringLiteral("Smith and Co"));
        QCOMPARE(invoiceNumbers(), (QStringList{"21", "22"})); // the code stays, so do the invoices

        fx.seam->answers = {MsgResult::No, MsgResult::Yes};
        w()->Delete1->trigger();
        QCOMPARE(test::AdminFixture::count("Customer"), 6);
        w()->Delete1->trigger();
        // A customer with invoices stays: the store refuses, the user reads why.
        QCOMPARE(fx.boxes(), QStringLiteral("Confirm: Delete selected record? | Confirm: Delete selected record? | "
                                            "Error: The customer Smith and Co has invoices and cannot be deleted."));
        QCOMPARE(test::AdminFixture::count("Customer"), 6);
        QCOMPARE(customer(), QStringLiteral("Smith and Co"));
        QCOMPARE(test::AdminFixture::count("Invoice"), 3);
    }

    void detailAndTheDoubleClickOpenTheDetailWindow()
    {
        search("smith &");
        QVERIFY(!w()->btnDetail->glyph().isNull());
        // The double-click opens it on the row clicked, with that invoice's lines; the browser
        // hides meanwhile.
        fx.addLine(22, "BOLT", 1, 0.85);
        fx.addProduct("BOLT", "Bolt", 0.85);
        int shown = 0;
        const auto inDetail = [&](int invoice, int lines) {
            return [&, invoice, lines] {
                ++shown;
                QVERIFY(!w()->isVisible());
                QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), invoice);
                QCOMPARE(fx.dm->qryInvDetail->Params(0).value.toInt(), invoice);
                QCOMPARE(frmInvDetail->DBGrid2->model()->rowCount(), lines);
            };
        };
        test::whileModal(frmInvDetail, inDetail(22, 1));
        QTest::mouseDClick(w()->DBGrid2->viewport(), Qt::LeftButton, {}, test::cellCentre(w()->DBGrid2, 1, 3));
        QVERIFY(w()->isVisible());
        QCOMPARE(fx.dm->tblInvoiceInv_Number->AsInteger(), 22); // where the user left it

        test::whileModal(frmInvDetail, inDetail(22, 1));
        QTest::keyClick(w(), Qt::Key_D, Qt::AltModifier);
        QVERIFY(w()->isVisible());

        // A customer without invoices: the detail opens on an empty grid and invoice number 0,
        // also from a double-click in the empty grid.
        search("Adams");
        test::whileModal(frmInvDetail, inDetail(0, 0));
        QTest::mouseDClick(w()->DBGrid2->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(shown, 3);
        QCOMPARE(fx.boxes(), QString());
    }

    void printTakesTheCurrentInvoice()
    {
        search("smith");
        fx.dm->tblInvoice->Last();
        QString previewed;
        fx.seam->onPreview = [&](TPreviewForm& preview) { previewed = preview.documentName(); };
        w()->btnViewInv->click();
        QCOMPARE(fx.dm->qryInvReport->Params(0).value.toInt(), 22);
        QCOMPARE(previewed, QStringLiteral("Invoice 22"));
        // A customer without invoices prints number 0.
        search("adams");
        QTest::keyClick(w(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(fx.dm->qryInvReport->Params(0).value.toInt(), 0);
        QCOMPARE(fx.boxes(), QString());
        // A report query that cannot run says so and leaves the browser as it was.
        fx.exec("ALTER TABLE Line RENAME TO Lines");
        w()->btnViewInv->click();
        QVERIFY(fx.boxes().startsWith("Error: "));
        QVERIFY(w()->isVisible());
        fx.exec("ALTER TABLE Lines RENAME TO Line");
    }

    void closeReReadsAndGoesToTheFirstCustomer()
    {
        search("zulu");
        fx.exec("INSERT INTO Customer (Cus_Name) VALUES ('  Aardvark')");
        w()->btnClose->click();
        QVERIFY(!w()->isVisible());
        QCOMPARE(customer(), QStringLiteral("  Aardvark"));
        // Closed by its frame: no re-read, no move.
        test::activate(w());
        search("zulu");
        w()->close();
        QCOMPARE(customer(), QStringLiteral("Zulu Traders"));
        // Each opening empties the search field.
        w()->endTestModal();
        w()->beginTestModal();
        QVERIFY(w()->edtSearch->text().isEmpty());
    }

    void layout()
    {
        QCOMPARE(w()->windowTitle(), QStringLiteral("Invoice Detail"));
        QVERIFY(w()->windowState() & Qt::WindowMaximized);
        QCOMPARE(w()->Label1->text(), QStringLiteral("Customer Invoices"));
        QCOMPARE(w()->Label1->font().pixelSize(), 24);
        QVERIFY(w()->Label1->font().bold());
        QCOMPARE(w()->Label2->text(), QStringLiteral("Customer Name"));
        QVERIFY(w()->Label2->geometry().right() < w()->edtSearch->x());
        const int width = w()->width(), height = w()->height();
        QCOMPARE(w()->XiPanel1->geometry(), QRect(0, 0, width, 41));
        QCOMPARE(w()->XiPanel2->geometry(), QRect(0, 41, width, 41));
        QCOMPARE(w()->DBGrid1->geometry(), QRect(0, 82, width, 143));
        QCOMPARE(w()->XiPanel3->geometry(), QRect(0, 225, width, 41));
        QCOMPARE(w()->DBGrid2->geometry(), QRect(0, 266, width, height - 41 - 266));
        QCOMPARE(w()->btnClose->x(), w()->frameGeometry().width() - 105);
        QCOMPARE(w()->DBGrid1->frameShape(), QFrame::NoFrame);
        QCOMPARE(w()->DBGrid2->frameShape(), QFrame::NoFrame);
        QStringList customers, invoices;
        for (const TColumn& c : w()->DBGrid1->columns())
            customers << QStringLiteral("%1/%2/%3/%4").arg(c.title).arg(c.width).arg(c.alignment & Qt::AlignHCenter ? "c" : "l").arg(c.color.red());
        for (const TColumn& c : w()->DBGrid2->columns())
            invoices << QStringLiteral("%1/%2/%3/%4").arg(c.field).arg(c.width).arg(c.alignment & Qt::AlignHCenter ? "c" : "l").arg(c.color.red());
        QCOMPARE(customers, (QStringList{"Customer Name/393/l/229", "Customer Phone/144/c/255", "Customer Contact/177/l/229"}));
        QCOMPARE(invoices.mid(0, 6), (QStringList{"Inv_Number/126/l/229", "Inv_Date/91/c/255", "Inv_PayDate/85/c/229",
                                                  "Inv_Order_No/149/l/255", "Inv_Paid/81/c/229", "Inv_Days/88/l/255"}));
        QVERIFY(invoices[6].startsWith("Inv_Cancelled/") && invoices[6].endsWith("/c/229"));
        for (const TColumn& c : w()->DBGrid2->columns())
            QCOMPARE(c.titleAlignment, Qt::Alignment(Qt::AlignCenter));
        QStringList buttons;
        for (TXiButton* b : {w()->btnNewInv, w()->btnViewInv, w()->btnDetail, w()->btnClose})
            buttons << QStringLiteral("%1@%2").arg(b->caption()).arg(b->x());
        QCOMPARE(buttons.mid(0, 3), (QStringList{"&New@16", "&Print...@104", "&Detail@192"}));
    }
};

ZZ_TEST_MAIN(TestInvoiceBrowser)
#include "test_invoice_browser.moc"
