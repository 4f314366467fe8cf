#include "einvoice/InvoiceFiles.h"

#include <QFileInfo>
#include <memory>

#include "data/Errors.h"
#include "data/Query.h"
#include "data/Statements.h"
#include "data/Table.h"
#include "einvoice/FacturX.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportGenerator.h"

namespace zz::einvoice {

// The invoice report query of the data module's statements, as a query of our own.
std::unique_ptr<TQuery> invoiceReportQuery()
{
    for (const StatementDef& def : statementDefs()) {
        if (def.name != QLatin1String("qryInvReport"))
            continue;
        auto q = std::make_unique<TQuery>(def.name, def.lines, def.fields);
        if (!def.engineLines.isEmpty())
            q->setEngineSql(def.engineLines);
        return q;
    }
    throw Exception(QStringLiteral("The invoice report query is missing."));
}

QStringList BookEInvoice::missingDetails() const { return einvoice::missingDetails(m_number, Profile::EN16931); }

QByteArray BookEInvoice::xml(Profile profile) const { return writeCii(loadInvoice(m_number, profile), profile); }

void prepareInvoicePrintout(report::Report& report, int invoiceNumber)
{
    // The masks are set anew before every printout: the regional settings may have changed.
    const QString mask = report::moneyMask(report::kMoneyPattern);
    for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
        report.setMask(QLatin1String(name), mask);
    // When the invoice can go out as an e-invoice, the page prints the totals the e-invoice
    // states, so that no copy of it shows another cent than its XML; otherwise as always.
    const PrintoutStatement statement = printoutStatement(invoiceNumber);
    std::optional<report::StatedTotals> totals;
    if (statement.statesTotals())
        totals = report::StatedTotals{statement.subTotal, statement.vat, statement.total};
    report::setStatedTotals(report, totals);
    report::setVatNote(report, statement.vatNote);
    report::setPaymentCode(report, statement.paymentCode);
    report.documentName = report::invoiceDocumentName(invoiceNumber);
}

report::ReportDocument invoicePages(int invoiceNumber)
{
    std::unique_ptr<TQuery> lines = invoiceReportQuery();
    lines->Params(0).SetAsInteger(invoiceNumber);
    lines->Open();
    TTable company(QStringLiteral("tblCompany"), QStringLiteral("Company.db"));
    company.Open();
    report::DataSetAdapter lineRows(lines.get()), companyRow(&company);
    std::unique_ptr<report::Report> report = report::buildInvoiceReport(lineRows, companyRow);
    prepareInvoicePrintout(*report, invoiceNumber);
    report::ReportDocument doc;
    report::generateReport(*report, doc);
    return doc;
}

FileKind fileKindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return FileKind::Hybrid;
    if (suffix == QLatin1String("xml"))
        return FileKind::XRechnung;
    throw Exception(QStringLiteral("%1 names neither a PDF file (.pdf, the Factur-X e-invoice) nor an XML file (.xml, the XRechnung XML).")
                        .arg(path));
}

QString writeEInvoiceFile(int invoiceNumber, const QString& path)
{
    const FileKind kind = fileKindOf(path);
    const BookEInvoice einvoice(invoiceNumber);
    if (kind == FileKind::XRechnung) {
        report::saveFileWhole(path, einvoice.xml(Profile::XRechnung));
        return QStringLiteral("an XRechnung XML");
    }
    // The XML first: it refuses an invoice that cannot be one before any page is made.
    const QByteArray xml = einvoice.xml(Profile::EN16931);
    report::saveFileWhole(path, hybridPdf(invoicePages(invoiceNumber), xml));
    return QStringLiteral("a Factur-X e-invoice");
}

} // namespace zz::einvoice
