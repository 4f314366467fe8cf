#include "invoicing/UnpaidInv.h"

#include <QApplication>

#include "data/DataMod.h"
#include "data/Invoices.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmUnpaidInv* frmUnpaidInv = nullptr;

namespace {
// Closes and opens the list again: it shows the invoices as they are now, the first one current.
void reloadList()
{
    DataModule1->qryUnpaidInv->Close();
    DataModule1->qryUnpaidInv->Open();
}
} // namespace

TfrmUnpaidInv::TfrmUnpaidInv(QWidget* parent)
    : TQueryListForm(QStringLiteral("Unpaid Invoices"), 760, 446, &TDataModule1::datUnpaidInv, parent)
{
    setObjectName(QStringLiteral("frmUnpaidInv"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    const QString number = QStringLiteral("Invoice Number");
    makeListBands(XiPanel1, XiPanel2,
                  {
                      {QStringLiteral("Inv_Number"), number, defaultColumnWidth(fontMetrics(), 11, number), centre, centre},
                      {QStringLiteral("Inv_Order_No"), QStringLiteral("Order Number"), 78, centre, centre},
                      {QStringLiteral("Inv_Date"), QStringLiteral("Invoice Date"), 73, centre, centre},
                      {QStringLiteral("Cus_Name"), QStringLiteral("Customer Name"), 226, left, left},
                      {QStringLiteral("Cus_Contact"), QStringLiteral("Customer Contact"), 106, left, left},
                      {QStringLiteral("Cus_Phone"), QStringLiteral("Customer Phone"), 87, centre, centre},
                      {QStringLiteral("Inv_Days"), QStringLiteral("Invoice Days"), 70, left, left},
                  });
    Label1 = makeBandHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Unpaid Invoices"));

    btnPay = makeButton(XiPanel2, QStringLiteral("btnPay"), QStringLiteral("&Pay"), QStringLiteral("pay"),
                        ButtonScheme::csNeoSilver, 16, 8);
    btnPayPeriod = makeButton(XiPanel2, QStringLiteral("btnPayPeriod"), QStringLiteral("&Advance All"), QString(),
                              ButtonScheme::csNeoSilver, 104, 8);
    connect(btnPay, &TXiButton::clicked, this, command(this, &TfrmUnpaidInv::btnPayClick));
    connect(btnPayPeriod, &TXiButton::clicked, this, command(this, &TfrmUnpaidInv::btnPayPeriodClick));

    setTabOrderOf({DBGrid1, btnPay, btnPayPeriod, btnClose});
}

void TfrmUnpaidInv::btnPayClick()
{
    if (!confirm(QStringLiteral("Pay selected Invoice?")))
        return;
    TDataModule1& dm = *DataModule1;
    TQuery* list = dm.qryUnpaidInv;
    guarded(
        [&] {
            if (list->IsEmpty())
                return; // no invoice is selected
            const int number = dm.qryUnpaidInvInv_Number->AsInteger();
            // The list closes before the invoice changes: it is read again right after, and an
            // open list would first read all its remaining rows to keep showing them as they were.
            list->Close();
            payInvoice(number);
            list->Open();
        },
        [&] {
            // The list comes back as it is, whatever failed.
            if (!list->Active())
                guarded([&] { list->Open(); });
        });
}

void TfrmUnpaidInv::btnPayPeriodClick()
{
    if (confirm(QStringLiteral("This action will add 30 days to all unpaid invoices. Continue?"))) {
        const bool done = guarded([] {
            const WaitCursor busy;
            advanceAllInvoices();
        });
        if (!done)
            return;
    }
    reloadList();
}

} // namespace zz
