#include "reports/PrintInvoice.h"

#include "data/DataMod.h"
#include "data/CreditNotes.h"
#include "data/Invoices.h"
#include "einvoice/CreditNoteFiles.h"
#include "einvoice/InvoiceFiles.h"
#include "reports/PreviewForm.h"
#include "widgets/Dialogs.h"
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

void printCreditNote(int creditNoteNumber)
{
    const std::unique_ptr<einvoice::CreditNotePrintout> printout = einvoice::creditNotePrintout(creditNoteNumber);
    const einvoice::BookCreditNote einvoice(creditNoteNumber);
    previewReport(*printout->report, &einvoice);
}

void printCreditNoteOfInvoice(int invoiceNumber)
{
    if (!creditNoteOfInvoice(invoiceNumber)
        && !confirm(QStringLiteral("Invoice %1 was cancelled before credit notes were kept. Record its credit note now?")
                        .arg(invoiceNumber)))
        return;
    printCreditNote(creditNoteForCancelledInvoice(invoiceNumber));
}

} // namespace zz
