#include "invoicing/InvDetail.h"

#include "data/DataMod.h"
#include "data/Invoices.h"
#include "invoicing/InvoiceGrids.h"
#include "reports/PrintInvoice.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmInvDetail* frmInvDetail = nullptr;

namespace {
// A flag is compared exactly: only "NO" is no; an empty mark is not.
bool isNo(const TField* flag) { return flag->Value().toString() == QLatin1String("NO"); }
} // namespace

TfrmInvDetail::TfrmInvDetail(QWidget* parent) : TPanelForm(QStringLiteral("Invoice Detail"), 750, 500, parent)
{
    setObjectName(QStringLiteral("frmInvDetail"));
    TDataModule1* dm = DataModule1;
    QVBoxLayout* bands = makeBands(this);

    XiPanel1 = makeBandPanel(this, QStringLiteral("XiPanel1"), 41);
    Label1 = makeBandHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Invoice Detail"));
    bands->addWidget(XiPanel1);

    XiPanel2 = makeBandPanel(this, QStringLiteral("XiPanel2"), 41);
    bands->addWidget(XiPanel2);

    DBGrid1 = makeReadOnlyGrid(this, QStringLiteral("DBGrid1"), dm ? dm->datInvoice : nullptr,
                               invoiceColumns(fontMetrics(), {102, 89, 91, 162, 73, 87, 103}, false), true);
    DBGrid1->setAccessibleName(QStringLiteral("Invoice"));
    DBGrid1->setFixedHeight(143);
    connect(DBGrid1, &TDBGrid::CellClick, this, command(this, &TfrmInvDetail::DBGrid1CellClick));
    bands->addWidget(DBGrid1);

    XiPanel3 = makeBandPanel(this, QStringLiteral("XiPanel3"), 41);
    btnPayInvoice = makeButton(XiPanel3, QStringLiteral("btnPayInvoice"), QStringLiteral("&Pay"), QStringLiteral("pay"),
                               ButtonScheme::csNeoSilver, 16, 8);
    btnCancelInvoice = makeButton(XiPanel3, QStringLiteral("btnCancelInvoice"), QStringLiteral("C&ancel"),
                                  QStringLiteral("cancel_invoice"), ButtonScheme::csNeoSilver, 104, 8);
    // Beside the invoice's own buttons: the document that takes a cancelled invoice back.
    btnCreditNote = makeButton(XiPanel3, QStringLiteral("btnCreditNote"), QStringLiteral("Credit &Note"), QStringLiteral("print"),
                               ButtonScheme::csNeoSilver, 192, 8);
    bands->addWidget(XiPanel3);

    DBGrid2 = makeReadOnlyGrid(this, QStringLiteral("DBGrid2"), dm ? dm->datInvDetail : nullptr,
                               lineColumns(fontMetrics(), {324, 55, 78, 86, kDefaultWidth, 81}), true);
    DBGrid2->setAccessibleName(QStringLiteral("Invoice lines"));
    bands->addWidget(DBGrid2, 1);

    XiPanel4 = makeBandPanel(this, QStringLiteral("XiPanel4"), 41);
    btnClose = makeButton(XiPanel4, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, 750 - 105, 8);
    bands->addWidget(XiPanel4);

    connect(btnPayInvoice, &TXiButton::clicked, this, command(this, &TfrmInvDetail::btnPayInvoiceClick));
    connect(btnCancelInvoice, &TXiButton::clicked, this, command(this, &TfrmInvDetail::btnCancelInvoiceClick));
    connect(btnCreditNote, &TXiButton::clicked, this, command(this, &TfrmInvDetail::btnCreditNoteClick));
    connect(btnClose, &TXiButton::clicked, this, command(this, &TfrmInvDetail::btnCloseClick));

    setTabOrderOf({DBGrid1, btnPayInvoice, btnCancelInvoice, btnCreditNote, DBGrid2, btnClose});
    anchorCloseButton(btnClose);
    makeMaximised(this);
}

void TfrmInvDetail::FormActivate()
{
    guarded([] { DataModule1->tblInvoice->Refresh(); });
    GetInvDetail();
}

void TfrmInvDetail::GetInvDetail()
{
    guarded([] {
        TDataModule1* dm = DataModule1;
        dm->qryInvDetail->Close();
        dm->qryInvDetail->Params(0).SetAsInteger(dm->tblInvoiceInv_Number->AsInteger());
        dm->qryInvDetail->Open();
    });
}

void TfrmInvDetail::btnPayInvoiceClick()
{
    TDataModule1* dm = DataModule1;
    if (!dm->tblInvoiceInv_PayDate->IsNull())
        return;
    if (!isNo(dm->tblInvoiceInv_Cancelled)) {
        showInformation(QStringLiteral("Cannot pay a cancelled Invoice."));
        return;
    }
    if (!confirm(QStringLiteral("Pay selected Invoice?")))
        return;
    guarded([dm] {
        payInvoice(dm->tblInvoiceInv_Number->AsInteger());
        // Both invoice grids (here and in the browser) show the new values.
        dm->tblInvoice->Refresh();
    });
}

void TfrmInvDetail::btnCancelInvoiceClick()
{
    TDataModule1* dm = DataModule1;
    if (!isNo(dm->tblInvoiceInv_Cancelled))
        return;
    if (!dm->tblInvoiceInv_PayDate->IsNull()) {
        showInformation(QStringLiteral("Cannot cancel a paid Invoice."));
        return;
    }
    if (!confirm(QStringLiteral("Cancel selected Invoice?")))
        return;
    // The credit note that takes the invoice back may say why; Cancel here leaves the invoice as it is.
    const std::optional<QString> reason = textDialog(
        TextRequest{QStringLiteral("Credit Note"), QStringLiteral("Reason for the credit note (optional):"), 200});
    if (!reason)
        return;
    guarded([dm, &reason] {
        cancelInvoice(dm->tblInvoiceInv_Number->AsInteger(), *reason);
        dm->tblInvoice->Refresh();
    });
}

void TfrmInvDetail::btnCreditNoteClick()
{
    TDataModule1* dm = DataModule1;
    if (isNo(dm->tblInvoiceInv_Cancelled)) {
        showInformation(QStringLiteral("Only a cancelled Invoice has a credit note."));
        return;
    }
    guarded([dm] { printCreditNoteOfInvoice(dm->tblInvoiceInv_Number->AsInteger()); });
}

void TfrmInvDetail::btnCloseClick()
{
    DataModule1->qryInvDetail->Close();
    Close();
}

} // namespace zz
