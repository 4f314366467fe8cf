// The three printed documents over the data module's own queries on a small book: page dumps
// against the files in expected/ (ZZ_REGENERATE=1 rewrites them and fails, for review), amounts
// worked out here independently of the engine, the currency symbol in the masks, the date of a
// statement, the ruled boxes and the logo as drawn on screen and in the PDF, and the plans of the
// invoice's and the statement's queries.
#include "data/Money.h"
#include "data/NumberPattern.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"
#include "reports/documents/RevenueReport.h"
#include "reports/documents/StatementReport.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/PageRenderer.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/reports/DocumentBook.h"
#include "tests/reports/DocumentCheck.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

using namespace zz;
using namespace zz::report;
using namespace zz::test;

namespace {

constexpr float kBandLeft = 127;    // the left margin
constexpr float kBandWidth = 1847;  // the printable width

// Amounts in ten-thousandths, worked out in whole numbers; a VAT share of an amount in
// millionths (amount x percent); printed after rounding half away from zero to cents.
QString cents(qint64 amount, int decimalsBelowCents)
{
    qint64 scale = 1;
    for (int i = 0; i < decimalsBelowCents; ++i)
        scale *= 10;
    const qint64 rounded = (amount + scale / 2) / scale;
    QString digits = QString::number(rounded / 100);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits + QStringLiteral(".%1").arg(rounded % 100, 2, 10, QLatin1Char('0'));
}

struct LineAmount {
    int units;
    qint64 discountedPrice; // ten-thousandths
};

// Sub-total, VAT and total of lines at one VAT percentage, as the totals print them.
QStringList expectedTotals(const QList<LineAmount>& lines, int vatPercent, const QString& prefix = QStringLiteral("R "))
{
    qint64 net = 0;
    for (const LineAmount& l : lines)
        net += l.units * l.discountedPrice;
    const qint64 vat = net * vatPercent; // millionths
    return {prefix + cents(net, 2), prefix + cents(vat, 4), prefix + cents(net * 100 + vat, 4)};
}

QImage renderPage(const ReportDocument& doc, int page, int width)
{
    QImage image(width, qRound(double(width) * doc.pageHeight / doc.pageWidth), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, doc, page, QRectF(0, 0, image.width(), image.height()));
    return image;
}

// Places along the page's frame lines where no dark pixel is drawn on or right beside the line.
int frameHoles(const ReportDocument& doc, int page)
{
    const QImage image = renderPage(doc, page, 1050);
    const QString keep = qEnvironmentVariable("ZZ_KEEP_OUTPUT");
    if (!keep.isEmpty())
        image.save(QStringLiteral("%1/%2 page %3.png").arg(keep, doc.documentName).arg(page + 1));
    const double s = 1050.0 / doc.pageWidth;
    auto dark = [&](int x, int y) {
        return qGray(image.pixel(qBound(0, x, image.width() - 1), qBound(0, y, image.height() - 1))) < 128;
    };
    int holes = 0;
    for (const PageItem& it : doc.pages[page].items) {
        if (it.kind != ItemKind::Line)
            continue;
        const bool vertical = qFuzzyCompare(it.x, it.w);
        const int from = qRound((vertical ? std::min(it.y, it.h) : std::min(it.x, it.w)) * s) + 2;
        const int to = qRound((vertical ? std::max(it.y, it.h) : std::max(it.x, it.w)) * s) - 2;
        const int across = qRound((vertical ? it.x : it.y) * s);
        for (int along = from; along <= to; ++along) {
            bool found = false;
            for (int d = -1; d <= 1 && !found; ++d)
                found = vertical ? dark(across + d, along) : dark(along, across + d);
            if (!found)
                ++holes;
        }
    }
    return holes;
}

// The four corners of the 17.2 mm logo square at 2.1 mm from the margins, sampled at the middle
// of each quarter, in a picture of the page at `pixelsPerMm`.
QList<QRgb> logoQuarters(const QImage& page, double pixelsPerMm)
{
    const double left = 12.7 + 2.1, top = 12.7 + 2.1, quarter = 17.2 / 4;
    QList<QRgb> colours;
    for (const auto& [qx, qy] : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}})
        colours << page.pixel(qRound((left + qx * quarter) * pixelsPerMm), qRound((top + qy * quarter) * pixelsPerMm));
    return colours;
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 40 && qAbs(qGreen(a) - qGreen(b)) < 40 && qAbs(qBlue(a) - qBlue(b)) < 40;
}

QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<TDataModule1> m_dm;
    std::unique_ptr<DataSetAdapter> m_company;
    QList<std::shared_ptr<DataSetAdapter>> m_adapters;
    int m_acme = 0, m_beta = 0, m_cobalt = 0, m_delta = 0;

    DataSetAdapter& adapter(TDataSet* dataSet)
    {
        m_adapters << std::make_shared<DataSetAdapter>(dataSet);
        return *m_adapters.back();
    }

    // The invoice report query reopened for a number, as the print call does.
    std::unique_ptr<Report> invoiceReport(int number)
    {
        TQuery* q = m_dm->qryInvReport;
        q->Close();
        q->Params(0).SetAsInteger(number);
        q->Open();
        auto r = buildInvoiceReport(adapter(q), *m_company);
        for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
            r->setMask(QLatin1String(name), moneyMask(kMoneyPattern));
        r->documentName = invoiceDocumentName(number);
        return r;
    }

    std::unique_ptr<Report> revenueReport(const QDate& start, const QDate& end)
    {
        TQuery* q = m_dm->qryReportRevenue;
        q->Close();
        q->Params(0).SetAsDate(start);
        q->Params(1).SetAsDate(end);
        q->Open();
        auto r = buildRevenueReport(adapter(q), *m_company);
        r->setCaption(QStringLiteral("QRLabel2"), formatShortDate(start) + QStringLiteral(" To ") + formatShortDate(end));
        for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
            r->setMask(QLatin1String(name), moneyMask(kRevenueMoneyPattern));
        r->documentName = revenueDocumentName(start, end);
        return r;
    }

    std::unique_ptr<Report> statementReport(int customer, const QString& dateText = QStringLiteral("2026/03/31"))
    {
        QList<TQuery*> queries = {m_dm->qryStatementDetail, m_dm->qryStatCurrent, m_dm->qryStat30, m_dm->qryStat60,
                                  m_dm->qryStat90, m_dm->qryStat120, m_dm->qryStat120Plus};
        for (TQuery* q : queries) {
            q->Close();
            q->Params(0).SetAsInteger(customer);
            q->Open();
        }
        auto r = buildStatementReport({adapter(queries[0]), *m_company, adapter(queries[1]), adapter(queries[2]),
                                       adapter(queries[3]), adapter(queries[4]), adapter(queries[5]),
                                       adapter(queries[6])});
        r->setMask(QStringLiteral("QRExpr1"), moneyMask(kMoneyPattern));
        r->setCaption(QStringLiteral("QRLabel8"), dateText);
        r->documentName = statementDocumentName(QStringLiteral("Delta Dairy"), QDate(2026, 3, 31));
        return r;
    }

    static ReportDocument generated(Report& r)
    {
        ReportDocument doc;
        generateReport(r, doc);
        return doc;
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        setRegional(southAfricanRegional());
        m_dm = std::make_unique<TDataModule1>();
        m_company = std::make_unique<DataSetAdapter>(m_dm->tblCompany);
        DocumentBook book{*m_dm};
        book.company();
        m_acme = book.customer(QStringLiteral("Acme Holdings"));
        m_beta = book.customer(QStringLiteral("Beta Bakery"), QStringLiteral("Sipho"));
        m_cobalt = book.customer(QStringLiteral("Cobalt Mining"));
        m_delta = book.customer(QStringLiteral("Delta Dairy"), QStringLiteral("Thandi"));
        book.product(QStringLiteral("P1"), QStringLiteral("Widget, blue"), 19.99);
        book.product(QStringLiteral("P2"), QStringLiteral("Gadget"), 850);
        book.product(QStringLiteral("P3"), QStringLiteral("Service hour"), 120);

        // Invoices to print.
        book.invoice({1001, m_acme, QDate(2026, 1, 15), 15, "NO", {}, "NO", "CURRENT", "PO-77"});
        book.line(1001, "P1", 3, 19.99, 15, 16.9915);
        book.line(1001, "P2", 1, 850, 0, 850);
        book.line(1001, "P3", 2, 120, 10, 108);
        book.invoice({1002, m_acme, QDate(2026, 1, 16)});
        book.line(1002, "P1", 3, 19.99, 15, 16.9915);
        book.invoice({1003, m_beta, QDate(2026, 1, 17)}); // no lines
        book.invoice({1004, m_beta, QDate(2026, 1, 18), 14});
        for (int i = 1; i <= 60; ++i)
            book.line(1004, i % 2 ? "P3" : "P1", i, i % 2 ? 120 : 19.99, i % 4 * 5, i % 2 ? 120 * (1 - i % 4 * 0.05) : 19.99 * (1 - i % 4 * 0.05));
        book.invoice({1005, m_beta, QDate(2026, 1, 19)});
        book.line(1005, "P3", 1, 120, 0, 120);
        book.line(1005, "GONE", 5, 10, 0, 10); // its product has been deleted
        book.line(1005, "P1", 2, 19.99, 0, 19.99);

        // Paid, unpaid and cancelled invoices on and around the revenue range February 2026.
        book.invoice({2001, m_acme, QDate(2026, 1, 20), 15, "YES", QDate(2026, 2, 1)});
        book.line(2001, "P2", 1, 850, 0, 850);
        book.invoice({2002, m_beta, QDate(2026, 1, 21), 14, "YES", QDate(2026, 2, 28)});
        book.line(2002, "P3", 2, 120, 10, 108);
        book.invoice({2003, m_acme, QDate(2026, 1, 22), 15, "YES", QDate(2026, 1, 31)});
        book.line(2003, "P3", 1, 120, 0, 120);
        book.invoice({2004, m_beta, QDate(2026, 1, 23), 15, "YES", QDate(2026, 3, 1)});
        book.line(2004, "P3", 1, 120, 0, 120);
        book.invoice({2005, m_acme, QDate(2026, 2, 1), 15, "NO", QDate(2026, 2, 1)});
        book.line(2005, "P3", 1, 120, 0, 120);
        book.invoice({2006, m_beta, QDate(2026, 2, 2), 15, "NO", QDate(2026, 2, 28), "YES"});
        book.line(2006, "P3", 1, 120, 0, 120);
        book.invoice({2007, m_acme, QDate(2026, 2, 3), 15, "YES", QDate(2026, 2, 1), "YES"});
        book.line(2007, "P3", 1, 120, 0, 120);

        // Delta's open invoices in every class and one in a class the program does not know.
        const char* classes[] = {"CURRENT", "30", "60", "90", "120", "120+"};
        for (int i = 0; i < 6; ++i) {
            book.invoice({3001 + i, m_delta, QDate(2025, 12, 1).addDays(-30 * i), 15, "NO", {}, "NO", classes[i]});
            book.line(3001 + i, "P3", i + 1, 120, 0, 120);
        }
        book.invoice({3007, m_delta, QDate(2025, 12, 5), 15, "NO", {}, "NO", "45"});
        book.line(3007, "P2", 1, 850, 0, 850);
        book.invoice({3008, m_delta, QDate(2025, 12, 6), 15, "YES", QDate(2026, 1, 6)});
        book.line(3008, "P2", 1, 850, 0, 850);
        book.invoice({3009, m_delta, QDate(2025, 12, 7), 15, "NO", {}, "YES"});
        book.line(3009, "P2", 1, 850, 0, 850);
        book.refresh();
    }

    void cleanup()
    {
        m_adapters.clear();
        m_company.reset();
        m_dm.reset();
        m_home.reset();
        setRegional(RegionalSettings{});
    }

    void invoiceOfThreeLines()
    {
        auto r = invoiceReport(1001);
        const ReportDocument doc = generated(*r);
        QCOMPARE(doc.pageCount(), 1);
        const QStringList totals = expectedTotals({{3, 169915}, {1, 8500000}, {2, 1080000}}, 15);
        QCOMPARE(totals, (QStringList{"R 1,116.97", "R 167.55", "R 1,284.52"}));
        QCOMPARE(textsOf(doc, "QRExpr1") + textsOf(doc, "QRExpr2") + textsOf(doc, "QRExpr3"), totals);
        // Rows in line order, each field in its display form.
        QCOMPARE(textsOf(doc, elementOf(*r, "Prod_Description")), (QStringList{"Widget, blue", "Gadget", "Service hour"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Line_Units")), (QStringList{"3", "1", "2"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Line_Price")), (QStringList{"R 19.99", "R 850.00", "R 120.00"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Line_Discount")), (QStringList{"15 %", "0 %", "10 %"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Line_Discount_Price")), (QStringList{"R 16.99", "R 850.00", "R 108.00"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Total")), (QStringList{"R 50.97", "R 850.00", "R 216.00"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_VAT")), QStringList{"15.00 %"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Date")), QStringList{"2026/01/15"}); // the short date format
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Number")), QStringList{"1001"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Com_Members")), QStringList{"J. Doe, A. N. Other"});
        QCOMPARE(doc.documentName, QStringLiteral("Invoice 1001"));

        // Centred elements are centred on the band; the amount columns keep their fixed widths.
        for (const QString& tag : {elementOf(*r, "Com_Name"), elementOf(*r, "Com_VAT_No"), elementOf(*r, "Com_Members"),
                                   labelOf(*r, QString(82, QLatin1Char('_'))), labelOf(*r, QString(80, QLatin1Char('_')))}) {
            const PageItem* it = itemsOf(doc, tag).value(0);
            QVERIFY2(it, qPrintable(tag));
            QVERIFY2(qAbs(it->x + it->w / 2 - (kBandLeft + kBandWidth / 2)) < 0.1f, qPrintable(tag));
        }
        for (const QString& tag : {QStringLiteral("QRExpr1"), QStringLiteral("QRExpr2"), QStringLiteral("QRExpr3"),
                                   elementOf(*r, "Total")}) {
            const PageItem* it = itemsOf(doc, tag).value(0);
            QCOMPARE(it->x, kBandLeft + 1609);
            QCOMPARE(it->w, 235.0f);
        }
        // The letterhead's logo fills its 17.2 mm square.
        const PageItem* logo = itemsOf(doc, "QRDBImage1").value(0);
        QVERIFY(logo && logo->kind == ItemKind::Image);
        QCOMPARE(QRectF(logo->x, logo->y, logo->w, logo->h), QRectF(127 + 21, 127 + 21, 172, 172));
        compareWithExpected(doc, QStringLiteral("doc_invoice_three_lines"));
    }

    void totalsOfOneLineAreRoundedSeparately()
    {
        // 19.99 x 3 at 15 % is 50.9745; its VAT 7.646175 and its total 58.620675.
        auto r = invoiceReport(1002);
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 50.97"});
        QCOMPARE(textsOf(doc, "QRExpr2"), QStringList{"R 7.65"});
        QCOMPARE(textsOf(doc, "QRExpr3"), QStringList{"R 58.62"}); // not 50.97 + 7.65 = 58.62 by chance:
        QCOMPARE(expectedTotals({{3, 169915}}, 15), (QStringList{"R 50.97", "R 7.65", "R 58.62"}));
    }

    void invoicesWithoutRowsPrintTheLetterheadAndZeroTotals_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("no invoice has the number") << 4711;
        QTest::newRow("an invoice without lines") << 1003;
    }
    void invoicesWithoutRowsPrintTheLetterheadAndZeroTotals()
    {
        QFETCH(int, number);
        auto r = invoiceReport(number);
        const ReportDocument doc = generated(*r);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(textsOf(doc, "QRExpr1") + textsOf(doc, "QRExpr2") + textsOf(doc, "QRExpr3"),
                 (QStringList{"R 0.00", "R 0.00", "R 0.00"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_VAT")), QStringList()); // the percentage is blank
        QCOMPARE(textsOf(doc, elementOf(*r, "Cus_Name")), QStringList());
        QCOMPARE(textsOf(doc, elementOf(*r, "Prod_Description")), QStringList());
        QCOMPARE(itemsOf(doc, "ColumnHeaderBand1").size(), 0);
        QCOMPARE(textsOf(doc, labelOf(*r, "Product Description")), QStringList());
        QCOMPARE(itemsOf(doc, "DetailBand1").size(), 2); // one empty row between its two lines
        // The company row is a second dataset: it prints in the empty run too.
        QCOMPARE(textsOf(doc, elementOf(*r, "Com_Name")), QStringList{"Zuzevevur Trading"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Com_Tel")), QStringList{"011 555 0100"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Com_Members")), QStringList{"J. Doe, A. N. Other"});
        QCOMPARE(itemsOf(doc, "QRDBImage1").size(), 1);
        // Both cases print the same page; only the document's name differs.
        ReportDocument named = doc;
        named.documentName = invoiceDocumentName(4711);
        compareWithExpected(named, QStringLiteral("doc_invoice_empty"));
    }

    void sixtyLinesRunOverTwoPages()
    {
        auto r = invoiceReport(1004);
        const ReportDocument doc = generated(*r);
        QCOMPARE(doc.pageCount(), 2);
        const QString description = elementOf(*r, "Prod_Description");
        QCOMPARE(textsOf(doc, description, 0).size() + textsOf(doc, description, 1).size(), 60);
        for (int page = 0; page < 2; ++page) {
            QCOMPARE(textsOf(doc, labelOf(*r, "Product Description"), page).size(), 1); // on every page
            QCOMPARE(textsOf(doc, labelOf(*r, "Customer Name:"), page).size(), page == 0 ? 1 : 0);
            QCOMPARE(textsOf(doc, elementOf(*r, "Com_Members"), page), QStringList{"J. Doe, A. N. Other"});
            QCOMPARE(textsOf(doc, labelOf(*r, QString(80, QLatin1Char('_'))), page).size(), 1);
            QCOMPARE(frameHoles(doc, page), 0);
        }
        QCOMPARE(textsOf(doc, "QRExpr1", 1).size(), 1);
        // The sum of the sixty lines, worked out from the stored prices.
        qint64 net = 0;
        for (int i = 1; i <= 60; ++i)
            net += i * Money::fromDouble(i % 2 ? 120 * (1 - i % 4 * 0.05) : 19.99 * (1 - i % 4 * 0.05)).count();
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R " + cents(net, 2)});
        compareWithExpected(doc, QStringLiteral("doc_invoice_60_lines"));
    }

    void aLineWhoseProductWasDeletedIsLeftOut()
    {
        auto r = invoiceReport(1005);
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, elementOf(*r, "Prod_Description")), (QStringList{"Service hour", "Widget, blue"}));
        QCOMPARE(textsOf(doc, "QRExpr1") + textsOf(doc, "QRExpr2") + textsOf(doc, "QRExpr3"),
                 expectedTotals({{1, 1200000}, {2, 199900}}, 15));
        compareWithExpected(doc, QStringLiteral("doc_invoice_deleted_product"));
    }

    void revenueOverARangeCountsThePaidInvoicesOnBothEnds()
    {
        auto r = revenueReport(QDate(2026, 2, 1), QDate(2026, 2, 28));
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, "QRLabel2"), QStringList{"2026/02/01 To 2026/02/28"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Number")), (QStringList{"2001", "2002"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Cus_Name")), (QStringList{"Acme Holdings", "Beta Bakery"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Total")), (QStringList{"R 850.00", "R 216.00"}));
        // Each invoice at its own VAT percentage: 850 at 15 % and 216 at 14 %, summed as floats.
        const qint64 net = 8500000 + 2160000;
        const qint64 vat = 8500000 * 15 + 2160000 * 14;
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R " + cents(net, 2)});
        QCOMPARE(cents(vat, 4), QStringLiteral("157.74"));
        QCOMPARE(textsOf(doc, "QRExpr3"), QStringList{"R " + cents(net * 100 + vat, 4)});
        QCOMPARE(textsOf(doc, "QRExpr2"), QStringList{"R 0,157.74"});
        QCOMPARE(doc.documentName, QStringLiteral("Revenue 2026-02-01 to 2026-02-28"));
        QCOMPARE(frameHoles(doc, 0), 0);
        compareWithExpected(doc, QStringLiteral("doc_revenue_range"));
    }

    void revenueTotalsArePaddedToFourDigits()
    {
        auto r = revenueReport(QDate(2026, 2, 1), QDate(2026, 2, 1));
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, elementOf(*r, "Total")), QStringList{"R 850.00"}); // the row in the currency format
        QCOMPARE(textsOf(doc, "QRExpr1") + textsOf(doc, "QRExpr2") + textsOf(doc, "QRExpr3"),
                 (QStringList{"R 0,850.00", "R 0,127.50", "R 0,977.50"}));
    }

    void emptyRevenueRanges_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("golden");
        QTest::newRow("start after end") << QDate(2026, 2, 28) << QDate(2026, 2, 1) << true;
        QTest::newRow("end unreadable (the zero date)") << QDate(2026, 2, 1) << zeroDate() << false;
    }
    void emptyRevenueRanges()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(bool, golden);
        auto r = revenueReport(start, end);
        const ReportDocument doc = generated(*r);
        QCOMPARE(doc.pageCount(), 1);
        // The totals come from the integer 0 through the padded mask.
        QCOMPARE(textsOf(doc, "QRExpr1") + textsOf(doc, "QRExpr2") + textsOf(doc, "QRExpr3"),
                 (QStringList{"R 0,000.00", "R 0,000.00", "R 0,000.00"}));
        QCOMPARE(itemsOf(doc, "ColumnHeaderBand1").size(), 0);
        QCOMPARE(textsOf(doc, "QRLabel2"), QStringList{formatShortDate(start) + " To " + formatShortDate(end)});
        QCOMPARE(textsOf(doc, "QRLabel1"), QStringList{"Customer Revenue Report"});
        if (golden)
            compareWithExpected(doc, QStringLiteral("doc_revenue_empty"));
    }

    // A VAT percentage that is no number (a foreign program may write one) stops the report,
    // which never prints totals without it, and the message names the field and the invoice.
    void aVatThatIsNoNumberNamesItsInvoice()
    {
        test::runSql(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
        test::runSql(QStringLiteral("UPDATE Invoice SET Inv_VAT = 'abc' WHERE Inv_Number = 2002"));
        test::runSql(QStringLiteral("PRAGMA ignore_check_constraints = OFF"));
        auto r = revenueReport(QDate(2026, 2, 1), QDate(2026, 2, 28));
        QCOMPARE(test::errorOf([&] { generated(*r); }),
                 QStringLiteral("The expression \"SUM(Total * (Inv_VAT / 100))\" of QRExpr2 cannot be evaluated: "
                                "'abc' is not a valid floating point value for field 'Inv_VAT' in invoice 2002"));
    }

    void startUnreadableSetsNoLowerLimit()
    {
        auto r = revenueReport(zeroDate(), QDate(2026, 2, 28));
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Number")), (QStringList{"2001", "2003", "2002", "3008"}));
    }

    void statementInEveryClass()
    {
        auto r = statementReport(m_delta);
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Number")),
                 (QStringList{"3001", "3002", "3003", "3004", "3005", "3006", "3007"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Days")), (QStringList{"CURRENT", "30", "60", "90", "120", "120+", "45"}));
        QCOMPARE(textsOf(doc, elementOf(*r, "Inv_Date")).first(), QStringLiteral("2025/12/01"));
        QCOMPARE(textsOf(doc, elementOf(*r, "Total")).first(), QStringLiteral("R 138.00"));
        // The buckets, oldest first from the left: k hours of 120 with 15 % VAT in class k.
        QStringList buckets;
        for (const char* heading : {"120+ Days", "120 Days", "90 Days", "60 Days", "30 Days", "CURRENT"}) {
            const PageItem* label = itemsOf(doc, labelOf(*r, heading)).value(0);
            QVERIFY(label);
            // The amount right under its heading.
            for (const PageItem& it : doc.pages[0].items)
                if (it.kind == ItemKind::Text && it.x == label->x && it.y > label->y && doc.tags.value(it.tag).startsWith("QRDBText"))
                    buckets << it.text;
        }
        QCOMPARE(buckets, (QStringList{"R 828.00", "R 690.00", "R 552.00", "R 414.00", "R 276.00", "R 138.00"}));
        // The invoice of an unknown class is in the grand total but in no bucket.
        const qint64 grand = (1 + 2 + 3 + 4 + 5 + 6) * 1380000 + 9775000;
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R " + cents(grand, 2)});
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 3,875.50"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Cus_Name")), QStringList{"Delta Dairy"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Cus_Contact")), QStringList{"Thandi"});
        QCOMPARE(textsOf(doc, "QRLabel8"), QStringList{"2026/03/31"});
        QCOMPARE(frameHoles(doc, 0), 0);
        compareWithExpected(doc, QStringLiteral("doc_statement_all_classes"));
    }

    void statementsWithoutOpenInvoices_data()
    {
        QTest::addColumn<bool>("noCustomers");
        QTest::newRow("a customer without open invoices") << false;
        QTest::newRow("an empty customer table (code 0)") << true;
    }
    void statementsWithoutOpenInvoices()
    {
        QFETCH(bool, noCustomers);
        if (noCustomers) {
            // A book made before the store refused deleting a customer with invoices.
            execSql(QStringLiteral("DROP TRIGGER Customer_Delete_Refused"));
            execSql(QStringLiteral("DELETE FROM Customer"));
            m_dm->tblCustomer->Refresh();
        }
        auto r = statementReport(noCustomers ? m_dm->tblCustomerCus_Code->AsInteger() : m_cobalt);
        const ReportDocument doc = generated(*r);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 0.00"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Com_Name")), QStringList{"Zuzevevur Trading"});
        QCOMPARE(textsOf(doc, labelOf(*r, "Statement")), QStringList{"Statement"});
        QCOMPARE(textsOf(doc, "QRLabel8"), QStringList{"2026/03/31"});
        QCOMPARE(textsOf(doc, elementOf(*r, "Cus_Name")), QStringList());
        QCOMPARE(itemsOf(doc, "ColumnHeaderBand1").size(), 0);
        // Buckets without invoices print nothing, not 0.00.
        QCOMPARE(textsOf(doc, labelOf(*r, "120+ Days")).size(), 1);
        for (const PageItem& it : doc.pages[0].items)
            QVERIFY2(it.kind != ItemKind::Text || !it.text.contains(QStringLiteral("0.00")) || doc.tags.value(it.tag) == "QRExpr1",
                     qPrintable(it.text));
        compareWithExpected(doc, QStringLiteral("doc_statement_no_open_invoices"));
    }

    void everyCurrencySymbolPrintsAsItself_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("thousands");
        QTest::addColumn<QString>("revenue");
        QTest::newRow("R") << "R" << "R 1,116.97" << "R 0,850.00";
        QTest::newRow("kr.") << "kr." << "kr. 1,116.97" << "kr. 0,850.00";
        QTest::newRow("S/.") << "S/." << "S/. 1,116.97" << "S/. 0,850.00";
        QTest::newRow("digits, hash, comma") << "0#," << "0#, 1,116.97" << "0#, 0,850.00";
        QTest::newRow("exponent and section") << "E+;" << "E+; 1,116.97" << "E+; 0,850.00";
        QTest::newRow("quotes") << "'\"" << "'\" 1,116.97" << "'\" 0,850.00";
    }
    void everyCurrencySymbolPrintsAsItself()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, thousands);
        QFETCH(QString, revenue);
        RegionalSettings s = southAfricanRegional();
        s.currencySymbol = symbol;
        setRegional(s);
        auto invoice = invoiceReport(1001);
        QCOMPARE(textsOf(generated(*invoice), "QRExpr1"), QStringList{thousands});
        auto rev = revenueReport(QDate(2026, 2, 1), QDate(2026, 2, 1));
        QCOMPARE(textsOf(generated(*rev), "QRExpr1"), QStringList{revenue});
        // A negative amount: the minus before everything, the symbol included.
        QCOMPARE(formatNumberPattern(moneyMask(kMoneyPattern), -5.0), QStringLiteral("-") + symbol + QStringLiteral(" 5.00"));
    }

    void statementDateAndTime()
    {
        QCOMPARE(statementDateText(QDateTime(QDate(2026, 1, 31), QTime(14, 5, 9))), QStringLiteral("2026/01/31 02:05:09 PM"));
        QCOMPARE(statementDateText(QDateTime(QDate(2026, 1, 31), QTime(0, 0))), QStringLiteral("2026/01/31"));
        QCOMPARE(statementDateText(QDateTime(QDate(2026, 1, 31), QTime(0, 0, 1))), QStringLiteral("2026/01/31 12:00:01 AM"));
        QCOMPARE(statementDocumentName(QStringLiteral("Delta Dairy"), QDate(2026, 1, 31)),
                 QStringLiteral("Statement Delta Dairy 2026-01-31"));
        QCOMPARE(statementDocumentName(QString(), QDate(2026, 1, 31)), QStringLiteral("Statement 2026-01-31"));
        QCOMPARE(revenueDocumentName(QDate(2026, 1, 1), QDate(2026, 1, 31)), QStringLiteral("Revenue 2026-01-01 to 2026-01-31"));
        QCOMPARE(invoiceDocumentName(57), QStringLiteral("Invoice 57"));
    }

    void theDateIsCutAtTheLastBlankThatFits_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("printed");
        // In Arial 10 pt a digit is 0.556 em wide, a blank, a slash and a colon 0.278 em: 32.0 mm
        // hold about 9.07 em.
        QTest::newRow("12-hour time too wide: the date alone") << "2026/01/31 02:05:09 PM" << "2026/01/31";
        QTest::newRow("cut before AM/PM") << "1/31/2026 2:05:09 PM" << "1/31/2026 2:05:09";
        QTest::newRow("fits whole") << "1/3/2026 2:05:09" << "1/3/2026 2:05:09";
    }
    void theDateIsCutAtTheLastBlankThatFits()
    {
        QFETCH(QString, caption);
        QFETCH(QString, printed);
        auto r = statementReport(m_delta, caption);
        const ReportDocument doc = generated(*r);
        QCOMPARE(textsOf(doc, "QRLabel8"), QStringList{printed});
        const PageItem* it = itemsOf(doc, "QRLabel8").value(0);
        QCOMPARE(it->w, 320.0f);
        QVERIFY(FontFace::get("Arial", false, false).width(printed) * FontFace::emToTenths(10) <= 320);
    }

    void logoIsStretchedToItsSquareOnScreenAndInThePdf()
    {
        auto r = statementReport(m_delta);
        const ReportDocument doc = generated(*r);
        const QList<QRgb> corners = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)};
        const QImage screen = renderPage(doc, 0, 2100); // 10 pixels per mm
        const QList<QRgb> onScreen = logoQuarters(screen, 10);
        for (int i = 0; i < 4; ++i)
            QVERIFY2(near(onScreen[i], corners[i]), qPrintable(QStringLiteral("quarter %1: %2").arg(i).arg(onScreen[i], 0, 16)));

        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm is not installed (scripts/setup installs it)");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("statement.pdf"));
        savePdf(doc, pdf);
        QProcess p;
        p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-f"), QStringLiteral("1"),
                                             QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"), pdf,
                                             dir.filePath(QStringLiteral("page"))});
        QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
        const QImage printed(dir.filePath(QStringLiteral("page-1.png")));
        QVERIFY(!printed.isNull());
        const QList<QRgb> inPdf = logoQuarters(printed, 10);
        for (int i = 0; i < 4; ++i)
            QVERIFY2(near(inPdf[i], corners[i]), qPrintable(QStringLiteral("quarter %1: %2").arg(i).arg(inPdf[i], 0, 16)));
    }

    void eachDocumentAsPdfCarriesItsAmounts()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed (scripts/setup installs it)");
        QTemporaryDir dir;
        const QString keep = qEnvironmentVariable("ZZ_KEEP_OUTPUT");
        struct Case {
            QString file;
            std::unique_ptr<Report> report;
            QStringList amounts;
        };
        Case cases[] = {
            {QStringLiteral("invoice.pdf"), invoiceReport(1001),
             {"R 19.99", "R 16.99", "R 50.97", "R 1,116.97", "R 167.55", "R 1,284.52", "15.00 %", "Zuzevevur Trading"}},
            {QStringLiteral("revenue.pdf"), revenueReport(QDate(2026, 2, 1), QDate(2026, 2, 28)),
             {"R 850.00", "R 216.00", "R 1,066.00", "R 0,157.74", "R 1,223.74", "2026/02/01 To 2026/02/28"}},
            {QStringLiteral("statement.pdf"), statementReport(m_delta),
             {"R 138.00", "R 828.00", "R 977.50", "R 3,875.50", "120+ Days", "Delta Dairy"}},
        };
        for (Case& c : cases) {
            const ReportDocument doc = generated(*c.report);
            const QString path = (keep.isEmpty() ? dir.path() : keep) + QLatin1Char('/') + c.file;
            savePdf(doc, path);
            const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
            for (const QString& amount : c.amounts)
                QVERIFY2(text.contains(amount), qPrintable(c.file + ": " + amount + "\n" + text));
        }
    }

    void queryPlans_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("searchedOnly");
        QTest::addColumn<bool>("linesFromTheIndex");
        // One invoice and one customer are found through keys and indexes, nothing read whole; the
        // sums over lines read the lines' index alone (a year's revenue reads tens of thousands).
        QTest::newRow("invoice") << "qryInvReport" << true << false;
        QTest::newRow("statement") << "qryStatementDetail" << true << true;
        QTest::newRow("one class") << "qryStat120Plus" << true << true;
        QTest::newRow("revenue") << "qryReportRevenue" << false << true;
    }
    void queryPlans()
    {
        QFETCH(QString, query);
        QFETCH(bool, searchedOnly);
        QFETCH(bool, linesFromTheIndex);
        auto* q = qobject_cast<TQuery*>(m_dm->component(query));
        QVERIFY(q);
        QSqlQuery plan(Engine::database());
        QVERIFY(plan.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + q->sqlText()));
        for (int i = 0; i < q->ParamCount(); ++i)
            plan.addBindValue(q->Params(i).type == ParamType::Date ? QVariant(QStringLiteral("2026-02-01")) : QVariant(1001));
        QVERIFY2(plan.exec(), qPrintable(plan.lastError().text()));
        QStringList steps;
        while (plan.next())
            steps << plan.value(3).toString();
        const QString all = steps.join(QStringLiteral("; "));
        QVERIFY(!steps.isEmpty());
        if (searchedOnly)
            for (const QString& step : steps)
                QVERIFY2(!step.startsWith(QStringLiteral("SCAN")), qPrintable(all));
        if (linesFromTheIndex)
            QVERIFY2(all.contains(QRegularExpression(QStringLiteral("SEARCH \\w+ USING COVERING INDEX Line_Inv_Number"))),
                     qPrintable(all));
    }
};

ZZ_TEST_MAIN(TestDocuments)
#include "test_documents.moc"
