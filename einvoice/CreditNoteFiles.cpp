#include "einvoice/CreditNoteFiles.h"

#include "data/Errors.h"
#include "data/Invoices.h"
#include "data/Regional.h"
#include "einvoice/FacturX.h"
#include "einvoice/InvoiceFiles.h"
#include "reports/documents/CreditNoteReport.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportGenerator.h"

namespace zz::einvoice {

namespace {

// The problems that keep a credit note from being an e-invoice: its invoice's.
QStringList creditNoteProblems(int creditNoteNumber, Profile profile)
{
    return einvoice::missingDetails(creditNoteOrThrow(creditNoteNumber).invoiceNumber, profile);
}

} // namespace

CreditNoteRecord creditNoteOrThrow(int creditNoteNumber)
{
    const std::optional<CreditNoteRecord> note = readCreditNote(creditNoteNumber);
    if (!note)
        throw Exception(QStringLiteral("The book has no credit note %1.").arg(creditNoteNumber));
    return *note;
}

Invoice loadCreditNote(int creditNoteNumber, Profile profile)
{
    const CreditNoteRecord note = creditNoteOrThrow(creditNoteNumber);
    const QStringList problems = einvoice::missingDetails(note.invoiceNumber, profile);
    if (!problems.isEmpty()) {
        // "Credit note 3 (for invoice 57) cannot be written as an e-invoice: it needs ..."
        QString message = missingDetailsMessage(note.invoiceNumber, problems);
        message.replace(0, QStringLiteral("Invoice %1").arg(note.invoiceNumber).size(),
                        QStringLiteral("Credit note %1 (for invoice %2)").arg(creditNoteNumber).arg(note.invoiceNumber));
        throw Exception(message);
    }
    Invoice inv = loadInvoice(note.invoiceNumber, profile);
    inv.type = Invoice::Type::CreditNote;
    inv.precedingNumber = inv.number;
    inv.precedingDate = inv.issueDate;
    inv.number = QString::number(note.number);
    // The refund falls due as long after the credit note as the invoice's payment after the invoice.
    if (inv.dueDate.isValid())
        inv.dueDate = note.date.addDays(inv.issueDate.daysTo(inv.dueDate));
    inv.issueDate = note.date;
    return inv;
}

QStringList BookCreditNote::missingDetails() const { return creditNoteProblems(m_number, Profile::EN16931); }

QByteArray BookCreditNote::xml(Profile profile) const { return writeCii(loadCreditNote(m_number, profile), profile); }

std::unique_ptr<CreditNotePrintout> creditNotePrintout(int creditNoteNumber)
{
    const CreditNoteRecord note = creditNoteOrThrow(creditNoteNumber);
    const std::optional<InvoiceRecord> invoice = readInvoice(note.invoiceNumber);
    if (!invoice)
        throw Exception(QStringLiteral("Credit note %1 takes back invoice %2, which is not in the book.")
                            .arg(creditNoteNumber)
                            .arg(note.invoiceNumber));
    auto p = std::make_unique<CreditNotePrintout>();
    p->lines = invoiceReportQuery();
    p->lines->Params(0).SetAsInteger(note.invoiceNumber);
    p->lines->Open();
    p->company = std::make_unique<TTable>(QStringLiteral("tblCompany"), QStringLiteral("Company.db"));
    p->company->Open();
    p->lineRows = std::make_unique<report::DataSetAdapter>(p->lines.get());
    p->companyRow = std::make_unique<report::DataSetAdapter>(p->company.get());
    p->report = report::buildInvoiceReport(*p->lineRows, *p->companyRow);
    // The lines and totals as the invoice printed them, then the credit note's own particulars.
    prepareInvoicePrintout(*p->report, note.invoiceNumber);
    report::makeCreditNoteReport(*p->report, report::CreditNoteTexts{note.number, formatShortDate(note.date), note.invoiceNumber,
                                                                     formatShortDate(invoice->date), note.reason});
    return p;
}

report::ReportDocument creditNotePages(int creditNoteNumber)
{
    const std::unique_ptr<CreditNotePrintout> p = creditNotePrintout(creditNoteNumber);
    report::ReportDocument doc;
    report::generateReport(*p->report, doc);
    return doc;
}

QString writeCreditNoteFile(int creditNoteNumber, const QString& path)
{
    const FileKind kind = fileKindOf(path);
    const BookCreditNote note(creditNoteNumber);
    if (kind == FileKind::XRechnung) {
        report::saveFileWhole(path, note.xml(Profile::XRechnung));
        return QStringLiteral("an XRechnung XML");
    }
    // Without complete e-invoicing details the credit note is still a document: its plain PDF.
    if (!note.missingDetails().isEmpty()) {
        report::saveFileWhole(path, report::pdfData(creditNotePages(creditNoteNumber)));
        return QStringLiteral("a PDF (no e-invoice: the e-invoicing details are incomplete)");
    }
    const QByteArray xml = note.xml(Profile::EN16931);
    report::saveFileWhole(path, hybridPdf(creditNotePages(creditNoteNumber), xml));
    return QStringLiteral("a Factur-X e-invoice");
}

} // namespace zz::einvoice
