// Generation and pagination, on the invoice printout over in-memory rows, compared as text dumps
// against the files in expected/ (ZZ_REGENERATE=1 rewrites them and fails, for review); saving and
// loading generated reports; a report over a real SQLite query.
#include "data/Errors.h"
#include "data/Regional.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportGenerator.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"
#include "tests/reports/DocumentCheck.h"
#include "tests/reports/FakeDataset.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace zz;
using namespace zz::report;
using zz::test::FakeDataset;
using zz::test::compareWithExpected;
using zz::test::elementOf;
using zz::test::labelOf;
using zz::test::textsOf;

namespace {

QByteArray storedLogo()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    QByteArray header(8, '\0');
    header[0] = 1;
    header[3] = 1; // type 0x0100
    const quint32 n = quint32(bmp.size());
    for (int i = 0; i < 4; ++i)
        header[4 + i] = char((n >> (8 * i)) & 0xff);
    return header + bmp;
}

FakeDataset companyDataset(bool empty = false)
{
    FakeDataset ds({{"Com_Name", FieldType::Text}, {"Com_Members", FieldType::Text}, {"Com_Logo", FieldType::Graphic}});
    if (!empty)
        ds.rows = {{"Zuzevevur Trading", "J. Doe, A. N. Other", storedLogo()}};
    ds.first();
    return ds;
}

FakeDataset lineDataset(int rows)
{
    FakeDataset ds({{"Cus_Name", FieldType::Text},
                    {"Prod_Description", FieldType::Text},
                    {"Line_Units", FieldType::Integer},
                    {"Line_Discount", FieldType::Integer, "#0 %"},
                    {"Inv_VAT", FieldType::Float, "#0.00 %"},
                    {"Total", FieldType::Money}});
    for (int i = 1; i <= rows; ++i)
        ds.rows.push_back({QStringLiteral("Customer %1").arg(i), QStringLiteral("Product %1").arg(i), i, i % 3 * 5, 15.0, i * 10.2});
    return ds;
}

// The invoice printout over in-memory rows, with its money masks. Its 84.9 mm title leaves room
// on page 1 for exactly 28 rows and the summary.
std::unique_ptr<Report> invoiceOf(FakeDataset& lines, FakeDataset& company)
{
    auto r = buildInvoiceReport(lines, company);
    for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
        r->setMask(QLatin1String(name), moneyMask(kMoneyPattern));
    return r;
}

// The elements the tests look at, by what they show.
struct InvoiceTags {
    explicit InvoiceTags(const Report& r)
        : customerCaption(labelOf(r, "Customer Name:")), columnTitle(labelOf(r, "Product Description")),
          footerRule(labelOf(r, QString(80, QLatin1Char('_')))), companyName(elementOf(r, "Com_Name")),
          members(elementOf(r, "Com_Members")), customer(elementOf(r, "Cus_Name")),
          description(elementOf(r, "Prod_Description")), discount(elementOf(r, "Line_Discount")),
          total(elementOf(r, "Total")), vat(elementOf(r, "Inv_VAT"))
    {
    }
    QString customerCaption, columnTitle, footerRule, companyName, members, customer, description, discount, total, vat;
};

int countOnPage(const ReportDocument& doc, int page, const QString& tag)
{
    int n = 0;
    for (const PageItem& it : doc.pages.at(page).items)
        if (doc.tags.value(it.tag) == tag && it.kind != ItemKind::Fill)
            ++n;
    return n;
}

// A named query over SQLite, read through the report's dataset boundary.
class SqlDataset : public ReportDataset {
public:
    SqlDataset(const QSqlDatabase& db, const QString& sql, QHash<QString, FieldType> types) : m_query(db), m_types(std::move(types))
    {
        m_query.setForwardOnly(false);
        if (!m_query.exec(sql))
            throw Exception(m_query.lastError().text());
        m_count = m_query.last() ? m_query.at() + 1 : 0;
        m_query.first();
        m_eof = m_count == 0;
    }
    bool isEmpty() const override { return m_count == 0; }
    void first() override
    {
        m_eof = !m_query.first();
    }
    void next() override
    {
        if (!m_query.next()) {
            m_eof = true;
            m_query.last(); // stays on the last row
        }
    }
    bool eof() const override { return m_eof; }
    int fieldIndex(const QString& name) const override
    {
        const QSqlRecord rec = m_query.record();
        for (int i = 0; i < rec.count(); ++i)
            if (rec.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    FieldType fieldType(int i) const override { return m_types.value(m_query.record().fieldName(i), FieldType::Text); }
    QVariant value(int i) const override { return m_query.value(i); }
    QString displayFormat(int) const override { return {}; }
    int recordCount() const override { return m_count; }
    int at() const { return m_query.at(); }

private:
    mutable QSqlQuery m_query;
    QHash<QString, FieldType> m_types;
    int m_count = 0;
    bool m_eof = true;
};

} // namespace

class TestReportGeneration : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        RegionalSettings s;
        s.currencySymbol = QStringLiteral("R");
        s.shortDateFormat = QStringLiteral("dd/MM/yyyy");
        setRegional(s);
    }

    void emptyDatasetPrintsTitleBlankRowAndZeroTotals()
    {
        FakeDataset lines = lineDataset(0);
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        QCOMPARE(generateReport(r, doc), GenerationResult::Completed);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(countOnPage(doc, 0, "ColumnHeaderBand1"), 0);
        QCOMPARE(countOnPage(doc, 0, t.columnTitle), 0);
        QCOMPARE(countOnPage(doc, 0, "DetailBand1"), 2); // the blank row between its two lines
        QCOMPARE(textsOf(doc, t.description), QStringList());
        QCOMPARE(textsOf(doc, t.customer), QStringList());
        QCOMPARE(textsOf(doc, t.vat), QStringList()); // the VAT percentage is blank
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 0.00"});
        QCOMPARE(textsOf(doc, "QRExpr3"), QStringList{"R 0.00"});
        QCOMPARE(textsOf(doc, t.companyName), QStringList{"Zuzevevur Trading"});
        QCOMPARE(countOnPage(doc, 0, t.footerRule), 1);
        compareWithExpected(doc, QStringLiteral("invoice_empty"));
    }

    void shortListPrintsOnOnePage()
    {
        FakeDataset lines = lineDataset(3);
        lines.rows[1][1] = QStringLiteral("A very long product description that cannot fit into the column of descriptions at all");
        lines.rows[2][5] = QVariant(); // a null amount prints nothing
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(textsOf(doc, t.total), (QStringList{"R10.20", "R20.40"}));
        // Only the first line of a long text, cut at a space.
        const QString cut = textsOf(doc, t.description).at(1);
        QVERIFY(cut.startsWith(QStringLiteral("A very long product description")));
        QVERIFY(!cut.endsWith(QLatin1Char(' ')));
        QVERIFY(QStringLiteral("A very long product description that cannot fit into the column of descriptions at all").startsWith(cut + QLatin1Char(' ')));
        QCOMPARE(textsOf(doc, t.discount), (QStringList{"5 %", "10 %", "0 %"}));
        // Title on the first row, summary on the last.
        QCOMPARE(textsOf(doc, t.customer), QStringList{"Customer 1"});
        QCOMPARE(textsOf(doc, t.vat), QStringList{"15.00 %"});
        // Sums of unrounded values, each rounded only when printed.
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 30.60"});
        QCOMPARE(textsOf(doc, "QRExpr2"), QStringList{"R 4.59"});
        QCOMPARE(textsOf(doc, "QRExpr3"), QStringList{"R 35.19"});
        // The bound dataset is left on its last row; the other dataset never moves.
        QVERIFY(lines.eof());
        QCOMPARE(lines.row, 2);
        QCOMPARE(company.moves, 1);
        compareWithExpected(doc, QStringLiteral("invoice_one_page"));
    }

    void amountsWiderThanTheirColumnPrintWhole()
    {
        FakeDataset lines = lineDataset(2);
        lines.rows[0][1] = QStringLiteral("Averyveryverylongproductdescriptionwithoutanyblankswhatsoeverinitatall");
        lines.rows[0][5] = 12345678.9;
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        QCOMPARE(textsOf(doc, "QRExpr1").value(0), QStringLiteral("R 12,345,699.30"));
        QCOMPARE(textsOf(doc, "QRExpr3").value(0), QStringLiteral("R 14,197,554.20"));
        QCOMPARE(textsOf(doc, t.total).value(0), QStringLiteral("R12,345,678.90"));
        // A word wider than its column is clipped to it; an amount is not.
        for (const PageItem& it : doc.pages[0].items) {
            const QString tag = doc.tags.value(it.tag);
            if (it.kind == ItemKind::Text && (tag == t.description || tag == "QRExpr3") && it.text.size() > 20)
                QCOMPARE(bool(it.flags & ItemClip), tag == t.description);
        }
    }

    void amountsWiderThanTheirColumnGrowToTheLeft()
    {
        FakeDataset lines = lineDataset(2);
        lines.rows[0][5] = 586459275.22;
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        // The 23.5 mm total column ends just inside the band's right frame line.
        const float columnRight = r.marginLeft + 1609 + 235;
        QVERIFY(columnRight <= r.marginLeft + r.printableWidth());
        int grown = 0;
        for (const PageItem& it : doc.pages[0].items) {
            const QString tag = doc.tags.value(it.tag);
            if (it.kind != ItemKind::Text || (tag != "QRExpr1" && tag != "QRExpr3" && tag != t.total))
                continue;
            const DocFont& f = doc.fonts[it.font];
            const float width = FontFace::get(f.family, f.bold, f.italic).width(it.text) * FontFace::emToTenths(f.pointSize);
            if (width <= 235)
                continue; // the second row's amount fits and stays where the column starts
            ++grown;
            QVERIFY2(it.text.startsWith(QStringLiteral("R")), qPrintable(it.text));
            QVERIFY(!(it.flags & ItemClip));
            // Whole, with its right edge where the column ends, its box grown to the left.
            QVERIFY2(qAbs(it.tx + width - columnRight) < 0.05f, qPrintable(QStringLiteral("%1: %2").arg(it.text).arg(it.tx + width)));
            QVERIFY(qAbs(it.x + it.w - columnRight) < 0.05f);
            QVERIFY(it.x < r.marginLeft + 1609);
        }
        QCOMPARE(textsOf(doc, "QRExpr3").value(0), QStringLiteral("R 674,428,189.96"));
        QCOMPARE(grown, 3); // the row's amount, the sub-total and the total
        // The white box behind a grown amount covers it all.
        for (const PageItem& it : doc.pages[0].items)
            if (it.kind == ItemKind::Fill && doc.tags.value(it.tag) == "QRExpr3")
                QVERIFY(qAbs(it.x + it.w - columnRight) < 0.05f && it.x < r.marginLeft + 1609);
    }

    void pageBreaks_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("rowsOnFirstPage");
        QTest::addColumn<int>("summaryPage");
        QTest::newRow("exactly full page") << 28 << 1 << 28 << 0;
        QTest::newRow("summary pushed onto a new page") << 29 << 2 << 29 << 1;
        QTest::newRow("detail spills onto page 2") << 34 << 2 << 33 << 1;
        QTest::newRow("three pages") << 120 << 3 << 33 << 2;
    }
    void pageBreaks()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        QFETCH(int, rowsOnFirstPage);
        QFETCH(int, summaryPage);
        FakeDataset lines = lineDataset(rows);
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        QCOMPARE(doc.pageCount(), pages);
        QCOMPARE(countOnPage(doc, 0, t.description), rowsOnFirstPage);
        int printedRows = 0;
        for (int p = 0; p < pages; ++p) {
            QCOMPARE(countOnPage(doc, p, t.customerCaption), p == 0 ? 1 : 0);   // title on page 1 only
            QCOMPARE(countOnPage(doc, p, t.columnTitle), 1);               // column header on every page
            QCOMPARE(countOnPage(doc, p, t.footerRule), 1);               // footer on every page
            QCOMPARE(countOnPage(doc, p, "QRExpr1"), p == summaryPage ? 1 : 0);
            printedRows += countOnPage(doc, p, t.description);
            // Nothing but the footer reaches into the footer area.
            for (const PageItem& it : doc.pages[p].items) {
                const QString tag = doc.tags.value(it.tag);
                if (tag != "PageFooterBand1" && tag != t.footerRule && tag != t.members) {
                    const float bottom = it.kind == ItemKind::Line ? std::max(it.y, it.h) : it.y + it.h;
                    QVERIFY2(bottom <= 2970 - 127 - 106 + 0.01, qPrintable(tag));
                }
            }
            // The footer's bottom edge sits on the bottom margin.
            for (const PageItem& it : doc.pages[p].items)
                if (doc.tags.value(it.tag) == t.footerRule)
                    QCOMPARE(qRound(it.y), 2970 - 127 - 106);
        }
        QCOMPARE(printedRows, rows);
        if (rows < 100)
            compareWithExpected(doc, QStringLiteral("invoice_%1_rows").arg(rows));
    }

    void pageHeaderPrintsAtTheTopOfItsPages_data()
    {
        QTest::addColumn<bool>("firstPageHeader");
        QTest::newRow("on every page") << true;
        QTest::newRow("not on the first page") << false;
    }
    void pageHeaderPrintsAtTheTopOfItsPages()
    {
        QFETCH(bool, firstPageHeader);
        FakeDataset lines = lineDataset(80);
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        r.addBand(BandKind::PageHeader, 80, FrameBottom, QStringLiteral("PageHeaderBand1"))
            .add(Element::label("RunningHead", "Running head", 0, 10).onBand());
        r.options.firstPageHeader = firstPageHeader;
        ReportDocument doc;
        generateReport(r, doc);
        QVERIFY(doc.pageCount() >= 3);
        auto topOf = [&](int page, const QString& tag) {
            for (const PageItem& it : doc.pages.at(page).items)
                if (it.kind == ItemKind::Text && doc.tags.value(it.tag) == tag)
                    return qRound(it.y);
            return -1;
        };
        for (int p = 0; p < doc.pageCount(); ++p) {
            const bool withHeader = p > 0 || firstPageHeader;
            QCOMPARE(countOnPage(doc, p, "RunningHead"), withHeader ? 1 : 0);
            if (withHeader)
                QCOMPARE(topOf(p, "RunningHead"), 127 + 10);
            // The column header follows right below it (on page 1 below the title).
            if (p > 0)
                QCOMPARE(topOf(p, t.columnTitle), 127 + 80 + 29);
        }
        // The title prints below the page header, not over it.
        QCOMPARE(topOf(0, t.customerCaption), 127 + (firstPageHeader ? 80 : 0) + 508);
        QCOMPARE(topOf(0, t.columnTitle), 127 + (firstPageHeader ? 80 : 0) + 849 + 29);
    }

    void aTallTitlePushesTheColumnHeaderOntoTheNextPage()
    {
        FakeDataset lines = lineDataset(3);
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        // The page holds 2970 - 2 * 127 - 106 = 2610 above its footer: the title leaves too little
        // room for the column header.
        r.band(BandKind::Title)->height = 2550;
        ReportDocument doc;
        generateReport(r, doc);
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(countOnPage(doc, 0, t.customerCaption), 1);
        QCOMPARE(countOnPage(doc, 0, t.columnTitle), 0);
        QCOMPARE(countOnPage(doc, 0, t.description), 0);
        QCOMPARE(countOnPage(doc, 0, t.footerRule), 1); // the page it leaves keeps its footer
        QCOMPARE(countOnPage(doc, 1, t.columnTitle), 1);
        QCOMPARE(countOnPage(doc, 1, t.description), 3);
        QCOMPARE(countOnPage(doc, 1, "QRExpr1"), 1);
        QCOMPARE(countOnPage(doc, 1, t.footerRule), 1);
        for (const PageItem& it : doc.pages[1].items)
            if (doc.tags.value(it.tag) == t.columnTitle)
                QCOMPARE(qRound(it.y), 127 + 29);
    }

    void anExpressionFailingInALaterRowStopsTheReport()
    {
        FakeDataset lines = lineDataset(5);
        lines.rows[2][4] = 0.0; // no VAT on the third row
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        r.element("QRExpr2")->expression = QStringLiteral("SUM(Total / Inv_VAT)");
        ReportDocument doc;
        try {
            generateReport(r, doc);
            QFAIL("a sum over a division by zero must not print");
        } catch (const Exception& e) {
            QVERIFY2(e.message().contains(QStringLiteral("QRExpr2")), qPrintable(e.message()));
        }
        QVERIFY(!r.isGenerating());
        QCOMPARE(textsOf(doc, "QRExpr2"), QStringList());
    }

    void unreadableValuePrintsEmptyButBadExpressionFails()
    {
        FakeDataset lines = lineDataset(3);
        lines.failOnRow = 1;
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        // Rows whose values cannot be read print empty; the SUM of the row fails loudly.
        r.element("QRExpr1")->expression = QStringLiteral("SUM(Line_Units)");
        r.element("QRExpr2")->expression = QStringLiteral("SUM(Line_Units)");
        r.element("QRExpr3")->expression = QStringLiteral("SUM(Line_Units)");
        ReportDocument doc;
        QVERIFY_THROWS_EXCEPTION(std::exception, generateReport(r, doc));
        QVERIFY(!r.isGenerating());

        lines.failOnRow = -1;
        r.element("QRExpr1")->expression = QStringLiteral("SUM(Cus_Name)");
        try {
            generateReport(r, doc);
            QFAIL("a SUM of text must not print");
        } catch (const Exception& e) {
            QVERIFY(e.message().contains(QStringLiteral("QRExpr1")));
        }
        QVERIFY(!r.isGenerating());

        r.element("QRExpr1")->expression = QStringLiteral("SUM(Line_Units)");
        r.element(t.description)->dataField = QStringLiteral("No_Such_Field");
        lines.failOnRow = -1;
        generateReport(r, doc);
        QCOMPARE(textsOf(doc, t.description), QStringList());
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 6.00"}); // an integer sum through the mask
    }

    void emptyCompanyLeavesLetterheadBlank()
    {
        FakeDataset lines = lineDataset(1);
        FakeDataset company = companyDataset(true);
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        QCOMPARE(textsOf(doc, t.companyName), QStringList());
        QCOMPARE(textsOf(doc, t.members), QStringList());
        QCOMPARE(countOnPage(doc, 0, "QRDBImage1"), 0);
        QVERIFY(doc.images.empty());
    }

    void captionAndMaskChangesLastUntilReplaced()
    {
        FakeDataset lines = lineDataset(2);
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        r.setCaption(t.customerCaption.toLower(), "Client:");
        r.setMask("QRExpr1", "0.0");
        ReportDocument doc;
        generateReport(r, doc);
        generateReport(r, doc); // totals start again on every run
        QCOMPARE(textsOf(doc, t.customerCaption), QStringList{"Client:"});
        QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"30.6"});
        QVERIFY_THROWS_EXCEPTION(Exception, r.setMask(t.customerCaption, "0"));
        QVERIFY_THROWS_EXCEPTION(Exception, r.setCaption("Nothing", "x"));
    }

    void pdfHoldsEveryPage()
    {
        FakeDataset lines = lineDataset(36);
        lines.rows[1][1] = QStringLiteral("A very long product description that cannot fit into the column of descriptions at all");
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        QTemporaryDir dir;
        const QString path = qEnvironmentVariableIsSet("ZZ_PDF_OUT") ? qEnvironmentVariable("ZZ_PDF_OUT")
                                                                      : dir.filePath(QStringLiteral("invoice.pdf"));
        savePdf(doc, path);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 2);
        QVERIFY_THROWS_EXCEPTION(Exception, savePdf(doc, dir.filePath(QStringLiteral("no/such/folder/x.pdf"))));
    }

    void savedReportLoadsBackIdentical()
    {
        FakeDataset lines = lineDataset(40);
        FakeDataset company = companyDataset();
        auto owned = invoiceOf(lines, company);
        Report& r = *owned;
        const InvoiceTags t(r);
        ReportDocument doc;
        generateReport(r, doc);
        QCOMPARE(doc.images.size(), std::size_t(1));
        QByteArray bytes;
        {
            QBuffer out(&bytes);
            out.open(QIODevice::WriteOnly);
            doc.save(out);
        }
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        const ReportDocument loaded = ReportDocument::load(in);
        QVERIFY(loaded == doc);
        QCOMPARE(loaded.dump(), doc.dump());

        auto refused = [](const QByteArray& data) {
            QByteArray copy = data;
            QBuffer b(&copy);
            b.open(QIODevice::ReadOnly);
            try {
                ReportDocument::load(b);
            } catch (const Exception&) {
                return true;
            }
            return false;
        };
        QByteArray damaged = bytes;
        damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x40);
        QVERIFY(refused(damaged));
        QVERIFY(refused(bytes.left(bytes.size() - 10)));
        QVERIFY(refused(QByteArray("%PDF-1.4 not a report at all")));
        QVERIFY(refused(QByteArray()));
        QByteArray newer = bytes;
        newer[11] = 9; // version
        QVERIFY(refused(newer));
    }

    void revenueShapedReportOverSqlite()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reports"));
            db.setDatabaseName(QStringLiteral(":memory:"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE Invoice (Inv_Number INTEGER, Cus_Name TEXT, Inv_VAT REAL, Total REAL)"));
            QVERIFY(q.exec("INSERT INTO Invoice VALUES (1002, 'Beta', 15, 850), (1001, 'Alpha', 15, 0.13), (1003, 'Alpha', 14, 12345.6)"));
            SqlDataset revenue(db, "SELECT Inv_Number, Cus_Name, Inv_VAT, Total FROM Invoice ORDER BY Cus_Name, Inv_Number",
                               {{"Inv_Number", FieldType::Integer}, {"Cus_Name", FieldType::Text},
                                {"Inv_VAT", FieldType::Float}, {"Total", FieldType::Money}});
            Report r;
            r.dataset = &revenue;
            r.addBand(BandKind::Title, 320).add(Element::label("QRLabel2", "", 0, 233).onBand());
            r.addBand(BandKind::ColumnHeader, 106, FrameAll).add(Element::label("QRLabel3", "Invoice Number", 42, 29).bold());
            Band& detail = r.addBand(BandKind::Detail, 48, FrameLeft | FrameRight);
            detail.add(Element::dataText("QRDBText1", "inv_number", 42, 0).fixedWidth(278));
            detail.add(Element::dataText("QRDBText2", "CUS_NAME", 339, 0).fixedWidth(1251));
            detail.add(Element::dataText("QRDBText3", "Total", 1609, 0).fixedWidth(235));
            Band& summary = r.addBand(BandKind::Summary, 254, FrameAll);
            summary.add(Element::expr("QRExpr1", "SUM(Total)", 1609, 21).fixedWidth(235));
            summary.add(Element::expr("QRExpr2", "SUM(Total * (Inv_VAT / 100))", 1609, 85).fixedWidth(235));
            summary.add(Element::expr("QRExpr3", "SUM(Total + (Total * (Inv_VAT / 100)))", 1609, 169).fixedWidth(235));
            r.setCaption("QRLabel2", "01/03/2026 To 31/03/2026");
            for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
                r.setMask(QLatin1String(name), QStringLiteral("R #,00#0.00"));
            ReportDocument doc;
            generateReport(r, doc);
            QCOMPARE(textsOf(doc, "QRLabel2"), QStringList{"01/03/2026 To 31/03/2026"});
            QCOMPARE(textsOf(doc, "QRDBText1"), (QStringList{"1001", "1003", "1002"}));
            QCOMPARE(textsOf(doc, "QRDBText3"), (QStringList{"R0.13", "R12,345.60", "R850.00"}));
            QCOMPARE(textsOf(doc, "QRExpr1"), QStringList{"R 13,195.73"});
            // 0.13*0.15 + 12345.6*0.14 + 850*0.15 = 1855.9035
            QCOMPARE(textsOf(doc, "QRExpr2"), QStringList{"R 1,855.90"});
            QCOMPARE(textsOf(doc, "QRExpr3"), QStringList{"R 15,051.63"});
            QVERIFY(revenue.eof());
            QCOMPARE(revenue.at(), 2); // left on the last row
        }
        QSqlDatabase::removeDatabase(QStringLiteral("reports"));
    }
};

ZZ_TEST_MAIN(TestReportGeneration)
#include "test_report_generation.moc"
