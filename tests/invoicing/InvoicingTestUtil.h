#pragma once
// Shared by the invoicing tests: a fresh database, data module and the invoicing windows (with the
// customer windows the browser's pop-up menu reaches) per test, and rows put in place through the
// cursors or straight into the tables.
#include <QSqlError>
#include <QSqlQuery>

#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "invoicing/InvDetail.h"
#include "invoicing/MainInvoice.h"
#include "invoicing/NewInvoice.h"
#include "reports/ReportInv.h"
#include "tests/admin/AdminTestUtil.h"

namespace zz::test {

struct InvoicingFixture : AdminFixture {
    void setUp()
    {
        AdminFixture::setUp();
        frmCusAdmin = new TfrmCusAdmin;
        frmNewCustomer = new TfrmNewCustomer;
        frmMainInvoice = new TfrmMainInvoice;
        frmNewInvoice = new TfrmNewInvoice;
        frmInvDetail = new TfrmInvDetail;
        frmReportInv = new TfrmReportInv; // the browser's Print previews it
    }
    void tearDown()
    {
        for (TForm* w : std::initializer_list<TForm*>{frmInvDetail, frmNewInvoice, frmMainInvoice, frmNewCustomer, frmCusAdmin})
            w->endTestModal();
        delete frmInvDetail;
        delete frmNewInvoice;
        delete frmMainInvoice;
        delete frmNewCustomer;
        delete frmCusAdmin;
        delete frmReportInv;
        frmReportInv = nullptr;
        frmInvDetail = nullptr;
        frmNewInvoice = nullptr;
        frmMainInvoice = nullptr;
        frmNewCustomer = nullptr;
        frmCusAdmin = nullptr;
        AdminFixture::tearDown();
    }

    // The company row with the number the next invoice gets, and the VAT rate.
    void setCompany(int nextNumber, double vat = 15)
    {
        dm->tblCompany->Edit();
        dm->tblCompanyCom_Name->SetAsString(QStringLiteral("Acme"));
        dm->tblCompanyInv_Start_No->SetAsInteger(nextNumber);
        dm->tblCompany->Post();
        dm->tblVAT->Edit();
        dm->tblVATVAT_Percentage->SetAsFloat(vat);
        dm->tblVAT->Post();
    }
    // Runs statements straight on the database; the cursors see them when they read again.
    static void exec(const QString& sql)
    {
        QSqlQuery q(Engine::database());
        if (!q.exec(sql))
            QTest::qFail(qPrintable(sql + QStringLiteral(": ") + q.lastError().text()), __FILE__, __LINE__);
    }
    // An invoice of the current customer, written straight into the table with the table's
    // defaults, the invoice cursor then re-read.
    void addInvoice(int number, const QString& date = QStringLiteral("2026-01-05"), const QString& more = QString())
    {
        const QString code = dm->tblCustomerCus_Code->AsString();
        exec(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_VAT) VALUES (%1, %2, '%3', 'PO%1', 15)")
                 .arg(number).arg(code, date));
        if (!more.isEmpty())
            exec(QStringLiteral("UPDATE Invoice SET %1 WHERE Inv_Number = %2").arg(more).arg(number));
        dm->tblInvoice->Refresh();
    }
    void addLine(int invoice, const QString& product, int units, double price)
    {
        exec(QStringLiteral("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, Line_Discount_Price) "
                            "VALUES (%1, '%2', %3, %4, 0, %4)")
                 .arg(invoice).arg(product).arg(units).arg(price));
    }
    // Moves the customer cursor to the customer whose name begins with the text.
    void goToCustomer(const QString& name)
    {
        QVERIFY(dm->tblCustomer->Locate(QStringLiteral("Cus_Name"), name, LocateOption::PartialKey | LocateOption::CaseInsensitive));
    }
};

// Shows a window modally again as its opener does (activation included), without a modal loop.
inline void reopen(TForm* window)
{
    window->endTestModal();
    window->beginTestModal();
    activate(window);
}

// The texts of one column of a grid, top to bottom.
inline QStringList columnTexts(QTableView* grid, int column = 0)
{
    QStringList out;
    for (int i = 0; i < grid->model()->rowCount(); ++i)
        out << grid->model()->index(i, column).data().toString();
    return out;
}

// The centre of a cell of a grid, for mouse clicks on its viewport.
inline QPoint cellCentre(QTableView* grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

} // namespace zz::test
