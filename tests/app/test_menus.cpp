// The section menus' help line, their preparation of the task windows' data, and the map.
#include <QMouseEvent>
#include <QSqlQuery>

#include "app/Admin.h"
#include "app/AppMap.h"
#include "app/FinReports.h"
#include "app/Invoicing.h"
#include "app/Main.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
void moveOver(QWidget* w, QPoint at = QPoint(3, 3))
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}
} // namespace

class TestMenus : public QObject {
    Q_OBJECT
private slots:
    void adminHelpLine()
    {
        TfrmAdmin menu;
        QCOMPARE(menu.Label2->text(), QString());
        moveOver(menu.btnCompany);
        QCOMPARE(menu.Label2->text(), QStringLiteral("Administration functions for your Company Information."));
        // The bottom strip has no handler: the text stays.
        moveOver(menu.XiPanel1);
        QCOMPARE(menu.Label2->text(), QStringLiteral("Administration functions for your Company Information."));
        moveOver(menu.btnVAT);
        QCOMPARE(menu.Label2->text(), QStringLiteral("Administration functions for the VAT table."));
        moveOver(menu.btnClose);
        QCOMPARE(menu.Label2->text(), QString());
        moveOver(menu.btnCustomer);
        moveOver(menu.Label1);
        QCOMPARE(menu.Label2->text(), QString());
        moveOver(menu.btnProduct);
        moveOver(menu.XiPanel2, QPoint(5, 100)); // the panel's own area left of the buttons
        QCOMPARE(menu.Label2->text(), QString());
    }

    void invoicingHelpLineSurvivesClosing()
    {
        TfrmInvoicing menu;
        moveOver(menu.btnPayInvoice);
        QCOMPARE(menu.Label2->text(), QStringLiteral("View Unpaid Invoices."));
        // Close has no handler; the window closing and showing again changes nothing.
        moveOver(menu.btnClose);
        menu.show();
        menu.btnClose->click();
        QVERIFY(menu.isHidden());
        menu.show();
        QCOMPARE(menu.Label2->text(), QStringLiteral("View Unpaid Invoices."));
        moveOver(menu.XiPanel2, QPoint(2, 2)); // the bottom strip clears it here
        QCOMPARE(menu.Label2->text(), QString());
        moveOver(menu.btnViewInvoice);
        QCOMPARE(menu.Label2->text(), QStringLiteral("View an Invoice."));
        moveOver(menu.Label2);
        QCOMPARE(menu.Label2->text(), QString());
    }

    void reportsHelpLine()
    {
        TfrmFinReports menu;
        QCOMPARE(menu.size(), QSize(382, 233));
        moveOver(menu.btnMonthEndStat);
        QCOMPARE(menu.Label2->text(), QStringLiteral("Display Customer's current financial position."));
        moveOver(menu.btnClose);
        QCOMPARE(menu.Label2->text(), QStringLiteral("Display Customer's current financial position."));
        moveOver(menu.XiPanel1, QPoint(2, 2));
        QCOMPARE(menu.Label2->text(), QString());
        moveOver(menu.btnDateRevenue);
        QCOMPARE(menu.Label2->text(), QStringLiteral("Retrieves Revenue per Customer according to set dates."));
        moveOver(menu.Label1);
        QCOMPARE(menu.Label2->text(), QString());
    }

    void companyAndVatRowsAreReadyForEditing()
    {
        test::TempHome home;
        test::RecordingSeam seam;
        TDataModule1 dm;
        TfrmAdmin menu;
        // The access key of "V&AT" puts the (empty) VAT table's first row into edit mode.
        menu.show();
        QTest::keyClick(&menu, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(dm.tblVAT->State(), DataSetState::Insert);
        dm.tblVAT->Cancel();
        menu.btnCompanyClick();
        QCOMPARE(dm.tblCompany->State(), DataSetState::Insert);
        dm.tblCompany->Cancel();
        QVERIFY(seam.messages.isEmpty());
    }

    void listsAreReopenedAndTheMenuComesBack()
    {
        test::TempHome home;
        test::RecordingSeam seam;
        TDataModule1 dm;
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Customer (Cus_Name) VALUES ('A')"));
        QVERIFY(q.exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (1, 1, '2026-01-01')"));
        TfrmInvoicing menu;
        menu.show();
        menu.btnPayInvoiceClick();
        QVERIFY(dm.qryUnpaidInv->Active());
        QCOMPARE(dm.qryUnpaidInv->RecordCount(), 1);
        QVERIFY(q.exec("UPDATE Invoice SET Inv_Paid = 'YES', Inv_PayDate = '2026-02-01'"));
        menu.btnPayInvoiceClick();
        QCOMPARE(dm.qryUnpaidInv->RecordCount(), 0);
        QVERIFY(menu.isVisible());
        menu.btnCancelInvoiceClick();
        QVERIFY(dm.qryCancelledInv->Active());
        QVERIFY(menu.isVisible());
        QVERIFY(seam.messages.isEmpty());
    }

    void everyButtonCarriesItsPicture()
    {
        TfrmAdmin admin;
        TfrmInvoicing invoicing;
        TfrmFinReports reports;
        TfrmMap map;
        TfrmMain main;
        for (QWidget* w : {static_cast<QWidget*>(&admin), static_cast<QWidget*>(&invoicing), static_cast<QWidget*>(&reports),
                           static_cast<QWidget*>(&map), static_cast<QWidget*>(&main)})
            for (TXiButton* b : w->findChildren<TXiButton*>())
                QVERIFY2(!b->glyph().isNull(), qPrintable(w->objectName() + "." + b->objectName()));
        QCOMPARE(admin.btnCustomer->glyph().size(), QSize(50, 50));
        QCOMPARE(main.btnAdmin->glyph().size(), QSize(50, 50));
        QVERIFY(!main.imgAdmin->pixmap().isNull());
        QVERIFY(!main.imgInv->pixmap().isNull());
        QVERIFY(!main.imgReports->pixmap().isNull());
    }

    void mapShowsItsDiagram()
    {
        TfrmMap map;
        QCOMPARE(map.windowTitle(), QStringLiteral("Application Map"));
        QStringList texts;
        for (QLabel* l : map.XiPanel1->findChildren<QLabel*>())
            texts << l->text();
        for (const char* t : {"Administration", "Invoicing", "Reports", "Customer", "Product", "Company", "VAT", "Invoices",
                              "Unpaid Invoices", "Cancelled Invoices", "View Invoice", "Customer Revenue", "Customer Statements"})
            QVERIFY2(texts.contains(QString::fromLatin1(t)), t);
        QCOMPARE(texts.count("---"), 10);
        map.show();
        map.XiButton1->click();
        QVERIFY(map.isHidden());
    }
};

ZZ_TEST_MAIN(TestMenus)
#include "test_menus.moc"
