#include "reports/PrintInvoice.h"

#include "data/DataMod.h"
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
    frmReportInv->QuickRep().documentName = report::invoiceDocumentName(invoiceNumber);
    frmReportInv->Preview();
}

} // namespace zz
