#pragma once
// The credit note of a cancelled invoice as a document: its printout (the invoice printout turned
// into the credit note's), and its e-invoice, an EN 16931 credit note (type 381) naming the
// invoice it takes back, as the Factur-X hybrid and as XRechnung XML. The print preview and the
// book tool write them from the same code.
#include <QString>
#include <memory>

#include "data/CreditNotes.h"
#include "data/Query.h"
#include "data/Table.h"
#include "einvoice/EInvoice.h"
#include "reports/EInvoiceSource.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/engine/ReportDefinition.h"
#include "reports/engine/ReportDocument.h"

namespace zz::einvoice {

// The credit note with that number, or an Exception saying the book has none such.
CreditNoteRecord creditNoteOrThrow(int creditNoteNumber);

// The e-invoice of a credit note: the invoice it takes back, as a credit note with its own number
// and date and the invoice as the preceding one. Throws like loadInvoice when details are missing.
Invoice loadCreditNote(int creditNoteNumber, Profile profile = Profile::EN16931);

// The e-invoice of one credit note, handed to the print preview of its printout.
class BookCreditNote : public EInvoiceSource {
public:
    explicit BookCreditNote(int creditNoteNumber) : m_number(creditNoteNumber) {}
    QStringList missingDetails() const override;
    QByteArray xml(Profile profile) const override;

private:
    int m_number;
};

// The credit note's printout over queries of its own (the invoice report query of its invoice and
// the company's first row), ready to generate or preview; the datasets live as long as it.
struct CreditNotePrintout {
    std::unique_ptr<TQuery> lines;
    std::unique_ptr<TTable> company;
    std::unique_ptr<report::DataSetAdapter> lineRows, companyRow;
    std::unique_ptr<report::Report> report;
};
std::unique_ptr<CreditNotePrintout> creditNotePrintout(int creditNoteNumber);

// Its pages: what the print preview shows for it.
report::ReportDocument creditNotePages(int creditNoteNumber);

// Writes the credit note's file, whole or not at all: .pdf the Factur-X hybrid (its plain PDF when
// the e-invoicing details are incomplete), .xml the XRechnung XML (refused with one message naming
// what is missing). Returns what was written.
QString writeCreditNoteFile(int creditNoteNumber, const QString& path);

} // namespace zz::einvoice
