#pragma once
// The credit note printout: the invoice printout of the invoice it takes back, headed "Credit
// Note", with the credit note's own number and date in place of the invoice's, the line naming the
// invoice ("for invoice 57 of 09.12.2026") and the reason under the particulars; the invoice's
// lines and totals as the invoice printed them.
#include <memory>

#include "reports/engine/ReportDefinition.h"

namespace zz::report {

struct CreditNoteTexts {
    int number = 0;        // the credit note's
    QString date;          // its date, as the regional short date prints it
    int invoiceNumber = 0;
    QString invoiceDate;   // the invoice's date, as the regional short date prints it
    QString reason;        // empty prints no reason line
};

// Turns an invoice printout (buildInvoiceReport's) into the credit note's. Throws zz::Exception
// when the printout lacks a part it changes.
void makeCreditNoteReport(Report& invoiceReport, const CreditNoteTexts& texts);

// "Credit Note 3": the print job's name and the proposed PDF file name.
QString creditNoteDocumentName(int creditNoteNumber);
// "for invoice 57 of 09.12.2026"
QString creditNoteReferenceText(const CreditNoteTexts& texts);

} // namespace zz::report
