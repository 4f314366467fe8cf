#include "invoicing/CancelledInv.h"

#include "data/DataMod.h"
#include "reports/PrintInvoice.h"
#include "widgets/Handlers.h"
#include "widgets/Layout.h"
#include "widgets/WindowKit.h"

namespace zz {

TfrmCancelledInv* frmCancelledInv = nullptr;

TfrmCancelledInv::TfrmCancelledInv(QWidget* parent)
    : TQueryListForm(QStringLiteral("Cancelled Invoices"), 688, 446, &TDataModule1::datCancelledInv, parent)
{
    setObjectName(QStringLiteral("frmCancelledInv"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    makeListBands(XiPanel1, XiPanel2,
                  {
                      {QStringLiteral("Cus_Name"), QStringLiteral("Customer Name"), 419, left, left},
                      {QStringLiteral("Inv_Number"), QStringLiteral("Invoice Number"), 117, left, centre},
                      {QStringLiteral("Inv_Date"), QStringLiteral("Invoice Date"), 115, centre, centre},
                  });
    // The heading is the panel's own caption.
    XiPanel1->setFont(arialFont(24, true));
    XiPanel1->setCaption(QStringLiteral("Cancelled Invoices"));

    // The credit note of the invoice under the cursor, at the bar's left end (free space).
    btnCreditNote = makeButton(XiPanel2, QStringLiteral("btnCreditNote"), QStringLiteral("Credit &Note"), QStringLiteral("print"),
                               ButtonScheme::csNeoSilver, 16, 8);
    connect(btnCreditNote, &TXiButton::clicked, this, command(this, &TfrmCancelledInv::btnCreditNoteClick));

    setTabOrderOf({DBGrid1, btnCreditNote, btnClose});
}

void TfrmCancelledInv::btnCreditNoteClick()
{
    TQuery* list = DataModule1->qryCancelledInv;
    if (!list->Active() || list->RecordCount() == 0)
        return;
    const int number = list->FieldByName(QStringLiteral("Inv_Number"))->AsInteger();
    guarded([number] { printCreditNoteOfInvoice(number); });
}

} // namespace zz
