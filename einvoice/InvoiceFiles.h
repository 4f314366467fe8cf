#pragma once
// The e-invoice files of one invoice of the open book, as the print preview and the book tool
// write them from the same code: the Factur-X hybrid (the invoice printout's pages as a PDF/A-3b
// carrying the EN 16931 XML) and the XRechnung XML alone.
#include <QString>
#include <memory>

#include "einvoice/EInvoice.h"
#include "reports/EInvoiceSource.h"
#include "reports/engine/ReportDefinition.h"
#include "reports/engine/ReportDocument.h"

namespace zz {
class TQuery;
}

namespace zz::einvoice {

// The invoice report query (qryInvReport) as a query of its own, not yet open.
std::unique_ptr<TQuery> invoiceReportQuery();

// The e-invoice of one invoice of the open book, handed to the print preview of its printout.
class BookEInvoice : public EInvoiceSource {
public:
    explicit BookEInvoice(int invoiceNumber) : m_number(invoiceNumber) {}
    QStringList missingDetails() const override;
    QByteArray xml(Profile profile) const override;

private:
    int m_number;
};

// Sets what the invoice printout takes before it is generated for one invoice: the money masks,
// the document name ("Invoice 57") and what the e-invoice states (its totals when it can be
// written, the VAT note).
void prepareInvoicePrintout(report::Report& report, int invoiceNumber);

// The pages of one invoice's printout, made without windows over queries of their own (the
// company's first row): what the print preview shows for it.
report::ReportDocument invoicePages(int invoiceNumber);

enum class FileKind { Hybrid, XRechnung };
// The file a path asks for by its suffix: .pdf the hybrid, .xml the XRechnung XML. Throws
// zz::Exception naming the path for any other.
FileKind fileKindOf(const QString& path);

// Writes the e-invoice file of one invoice, whole or not at all. Refuses, writing nothing, with
// one message naming every detail that is missing or wrong (and a file that is neither .pdf nor
// .xml). Returns what was written ("a Factur-X e-invoice", "an XRechnung XML").
QString writeEInvoiceFile(int invoiceNumber, const QString& path);

} // namespace zz::einvoice
