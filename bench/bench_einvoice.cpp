// The Factur-X hybrid against the plain PDF of the same invoice printout, in one process: the
// pages made once, then each file written to disk several times; medians in milliseconds. Aims:
// an invoice of 20 lines within 50 ms of the plain PDF, one of 2,000 lines within 1 s.
//   bench_einvoice [runs]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "data/Money.h"
#include "einvoice/FacturX.h"
#include "einvoice/InvoiceRows.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/reports/FakeDataset.h"

using namespace zz;

namespace {

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The rows of an invoice of n lines as the e-invoice reads them, with complete details.
einvoice::InvoiceRows invoiceRows(int n)
{
    einvoice::InvoiceRows r;
    r.number = 57;
    r.invoiceFound = r.customerFound = true;
    r.cusCode = 3;
    r.date = QDate(2026, 1, 15);
    r.vatRate = 15;
    r.orderNo = QStringLiteral("PO-77");
    r.cusName = QStringLiteral("Acme Holdings");
    r.cusAddress1 = QStringLiteral("1 Main Road");
    r.cusAddress2 = QStringLiteral("Pretoria");
    r.cusAddress3 = QStringLiteral("0002");
    r.cusEmail = QStringLiteral("accounts@acme.example");
    r.company = {QStringLiteral("Zuzevevur Trading"), QStringLiteral("VAT 4100200300"), QStringLiteral("2001/012345/07"),
                 QStringLiteral("011 555 0100"), QStringLiteral("12 Long Street"), QStringLiteral("Johannesburg"),
                 QStringLiteral("2001"), QStringLiteral("J. Doe")};
    for (int i = 1; i <= n; ++i) {
        einvoice::LineRow l;
        l.lineNumber = i;
        l.productCode = QStringLiteral("P-%1").arg(i);
        l.description = QStringLiteral("Product number %1 of the price list").arg(i);
        l.units = 1 + i % 7;
        l.discount = i % 4 * 5;
        l.price = Money::fromCount(199900 + 100 * i);
        l.discountPrice = discountedPrice(l.price, l.discount);
        r.lines.push_back(l);
    }
    CompanyEInvoiceDetails c;
    c.country = QStringLiteral("ZA");
    c.vatId = QStringLiteral("ZA4100200300");
    c.email = QStringLiteral("invoices@zuzevevur.example");
    c.paymentTermsDays = 30;
    c.paymentTermsText = QStringLiteral("Net 30 days");
    c.currency = QStringLiteral("ZAR");
    r.companyDetails = c;
    CustomerEInvoiceDetails b;
    b.cusCode = 3;
    b.country = QStringLiteral("ZA");
    r.customerDetails = b;
    return r;
}

struct Printout {
    test::FakeDataset lines{{{"Cus_Name", report::FieldType::Text},
                             {"Inv_Number", report::FieldType::Integer},
                             {"Prod_Description", report::FieldType::Text},
                             {"Line_Units", report::FieldType::Integer},
                             {"Line_Price", report::FieldType::Money},
                             {"Line_Discount", report::FieldType::Integer, "#0 %"},
                             {"Line_Discount_Price", report::FieldType::Money},
                             {"Inv_VAT", report::FieldType::Float, "#0.00 %"},
                             {"Total", report::FieldType::Money}}};
    test::FakeDataset company{{{"Com_Name", report::FieldType::Text}, {"Com_Members", report::FieldType::Text}}};
    report::ReportDocument doc;

    explicit Printout(const einvoice::InvoiceRows& rows)
    {
        for (const einvoice::LineRow& l : rows.lines)
            lines.rows.push_back({rows.cusName, rows.number, l.description, l.units, l.price.toDouble(), l.discount,
                                  l.discountPrice.toDouble(), rows.vatRate, l.discountPrice.toDouble() * double(l.units)});
        company.rows = {{rows.company.name, rows.company.members}};
        company.first();
        auto report = report::buildInvoiceReport(lines, company);
        for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
            report->setMask(QLatin1String(name), report::moneyMask(report::kMoneyPattern));
        report->documentName = report::invoiceDocumentName(rows.number);
        report::generateReport(*report, doc);
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTemporaryDir dir;
    std::printf("Factur-X hybrid against the plain PDF, median of %d runs each, written to disk\n", runs);
    std::printf("%7s %6s %10s %10s %10s %10s %10s %9s %9s\n", "lines", "pages", "plain ms", "XML ms", "wrap ms",
                "hybrid ms", "extra ms", "plain KB", "hybrid KB");
    bool met = true;
    for (const int n : {20, 200, 2000}) {
        const einvoice::InvoiceRows rows = invoiceRows(n);
        const einvoice::Invoice invoice = einvoice::buildInvoice(rows);
        Printout printout(rows);
        const QString plainPath = dir.filePath(QStringLiteral("plain.pdf"));
        const QString hybridPath = dir.filePath(QStringLiteral("hybrid.pdf"));
        QByteArray xml, plain, hybrid;
        // One run of each first, outside the figures: fonts and the profile are read once a process.
        report::savePdf(printout.doc, plainPath);
        einvoice::hybridPdf(printout.doc, einvoice::writeCii(invoice, einvoice::Profile::EN16931));

        const double plainMs = medianMs(runs, [&] {
            plain = report::pdfData(printout.doc);
            report::saveFileWhole(plainPath, plain);
        });
        const double xmlMs = medianMs(runs, [&] { xml = einvoice::writeCii(invoice, einvoice::Profile::EN16931); });
        QByteArray pdfa;
        report::PdfOptions options;
        options.outputProfile = einvoice::srgbProfilePath();
        options.outputCondition = QString::fromLatin1(einvoice::kSrgbCondition);
        pdfa = report::pdfData(printout.doc, options);
        const double wrapMs = medianMs(runs, [&] { einvoice::facturX(pdfa, xml, QDateTime::currentDateTime()); });
        const double hybridMs = medianMs(runs, [&] {
            hybrid = einvoice::hybridPdf(printout.doc, einvoice::writeCii(invoice, einvoice::Profile::EN16931));
            report::saveFileWhole(hybridPath, hybrid);
        });
        std::printf("%7d %6d %10.1f %10.1f %10.1f %10.1f %10.1f %9lld %9lld\n", n, printout.doc.pageCount(), plainMs, xmlMs,
                    wrapMs, hybridMs, hybridMs - plainMs, qint64(plain.size() / 1024), qint64(hybrid.size() / 1024));
        if ((n == 20 && hybridMs - plainMs > 50) || (n == 2000 && hybridMs > 1000))
            met = false;
    }
    std::printf("%s\n", met ? "Aims met: 20 lines within 50 ms of the plain PDF, 2,000 lines within 1 s."
                            : "AIMS MISSED: 20 lines within 50 ms of the plain PDF, 2,000 lines within 1 s.");
    return met ? 0 : 1;
}
