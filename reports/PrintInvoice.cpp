#include "reports/PrintInvoice.h"

#include "data/DataMod.h"
#include "einvoice/InvoiceFiles.h"
#include "reports/ReportInv.h"

namespace zz {

void printInvoice(int invoiceNumber)
{
    TQuery* q = DataModule1->qryInvReport;
    q->Close();
    q->Params(0).SetAsInteger(invoiceNumber);
    q->Open();
    // The masks, the name and what the e-invoice states: as the book tool prints it.
    einvoice::prepareInvoicePrintout(frmReportInv->QuickRep(), invoiceNumber);
    // The preview offers the invoice's e-invoice (Factur-X, XRechnung) beside the plain PDF.
    const einvoice::BookEInvoice einvoice(invoiceNumber);
    frmReportInv->Preview(&einvoice);
}

} // namespace zz
