#include "reports/PrintInvoice.h"

#include "data/DataMod.h"
#include "einvoice/EInvoice.h"
#include "reports/ReportInv.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"

namespace zz {

void printInvoice(int invoiceNumber)
{
    TQuery* q = DataModule1->qryInvReport;
    q->Close();
    q->Params(0).SetAsInteger(invoiceNumber);
    q->Open();
    // The masks are set anew before every printout: the regional settings may have changed.
    const QString mask = report::moneyMask(report::kMoneyPattern);
    frmReportInv->QRExpr1->mask = mask;
    frmReportInv->QRExpr2->mask = mask;
    frmReportInv->QRExpr3->mask = mask;
    // When the invoice can go out as an e-invoice, the page prints the totals the e-invoice
    // states, so that no copy of it shows another cent than its XML; otherwise as always.
    const einvoice::PrintoutStatement statement = einvoice::printoutStatement(invoiceNumber);
    std::optional<report::StatedTotals> totals;
    if (statement.missing.isEmpty())
        totals = report::StatedTotals{statement.subTotal, statement.vat, statement.total};
    report::setStatedTotals(frmReportInv->QuickRep(), totals);
    report::setVatNote(frmReportInv->QuickRep(), statement.vatNote);
    frmReportInv->QuickRep().documentName = report::invoiceDocumentName(invoiceNumber);
    frmReportInv->Preview();
}

} // namespace zz
