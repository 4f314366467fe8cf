#include "app/Invoicing.h"

#include "data/DataMod.h"
#include "invoicing/CancelledInv.h"
#include "invoicing/EnterInvNumber.h"
#include "invoicing/MainInvoice.h"
#include "invoicing/UnpaidInv.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmInvoicing* frmInvoicing = nullptr;

TfrmInvoicing::TfrmInvoicing(QWidget* parent)
    : TSectionMenu({QStringLiteral("Invoicing"), 760, 235, 175, {16, 200, 384, 568}, 65, 664,
                    ButtonLayout::blGlyphLeft},
                   parent)
{
    setObjectName(QStringLiteral("frmInvoicing"));
    XiPanel1 = clientPanel();
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel2 = bottomStrip();
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));

    btnNewInvoice = addTaskButton(QStringLiteral("btnNewInvoice"), QStringLiteral("&Invoices"), QStringLiteral("invoices"),
                                  QStringLiteral("Create a New Invoice."));
    btnPayInvoice = addTaskButton(QStringLiteral("btnPayInvoice"), QStringLiteral("&Unpaid Invoices"), QStringLiteral("unpaid"),
                                  QStringLiteral("View Unpaid Invoices."));
    btnCancelInvoice = addTaskButton(QStringLiteral("btnCancelInvoice"), QStringLiteral("C&ancelled Invoices"),
                                     QStringLiteral("cancelled"), QStringLiteral("View Cancelled Invoices."));
    btnViewInvoice = addTaskButton(QStringLiteral("btnViewInvoice"), QStringLiteral("&View Invoice"), QStringLiteral("view_invoice"),
                                   QStringLiteral("View an Invoice."));
    // Both panels and both labels clear the help line; Close does not.
    clearsHelpLine(XiPanel1);
    clearsHelpLine(XiPanel2);
    clearsHelpLine(Label1);
    clearsHelpLine(Label2);

    connect(btnNewInvoice, &TXiButton::clicked, this, command(this, &TfrmInvoicing::btnNewInvoiceClick));
    connect(btnPayInvoice, &TXiButton::clicked, this, command(this, &TfrmInvoicing::btnPayInvoiceClick));
    connect(btnCancelInvoice, &TXiButton::clicked, this, command(this, &TfrmInvoicing::btnCancelInvoiceClick));
    connect(btnViewInvoice, &TXiButton::clicked, this, command(this, &TfrmInvoicing::btnViewInvoiceClick));
}

void TfrmInvoicing::prepareAndRun(TQuery* query, TForm* window)
{
    hideKeepingModal();
    guarded([&] {
        query->Close();
        query->Open();
        if (window)
            window->ShowModal();
    });
    showKeepingModal();
}

// The browser hides the menu; the two invoice lists have their query read first; the number dialog
// stands over the menu.
void TfrmInvoicing::btnNewInvoiceClick() { hideAndRun(frmMainInvoice); }
void TfrmInvoicing::btnPayInvoiceClick() { prepareAndRun(DataModule1->qryUnpaidInv, frmUnpaidInv); }
void TfrmInvoicing::btnCancelInvoiceClick() { prepareAndRun(DataModule1->qryCancelledInv, frmCancelledInv); }
void TfrmInvoicing::btnViewInvoiceClick() { stackAndRun(frmInvNumber); }

} // namespace zz
