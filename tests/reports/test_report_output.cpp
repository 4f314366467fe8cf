// What reaches paper and PDF files, checked with independent readers (poppler, qpdf, mupdf,
// ghostscript): printed pages carry real text in embedded fonts; characters the report font
// lacks come from a fallback font in every backend; saved PDFs extract the right text without
// warnings; print jobs and PDFs carry the document's name. Tools that are not installed skip
// their checks with the reason; a check of a real print queue runs only where CUPS offers a
// PDF queue (cups-pdf).
#include "data/Regional.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/PageRenderer.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/PrintOutput.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/reports/FakeDataset.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QBuffer>
#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

using namespace zz;
using namespace zz::report;
using zz::test::FakeDataset;

namespace {

// A customer name with accents, a Polish letter, two CJK characters and an emoji.
const QString kCustomer = QStringLiteral("Zoë Ødegård-Łukasiewicz 日本 😀");
// What every reader must find: the emoji prints as one replacement mark.
const QString kCustomerPrinted = QStringLiteral("Zoë Ødegård-Łukasiewicz 日本 \uFFFD");
const QString kDocumentName = QStringLiteral("Statement Zoë Ødegård-Łukasiewicz");

struct Tool {
    int exitCode = -1;
    QString out, err;
};

// Runs a tool; an empty program path means it is not installed.
Tool run(const QString& program, const QStringList& args)
{
    Tool t;
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return t;
    QProcess p;
    p.start(path, args);
    if (!p.waitForFinished(120000))
        return t;
    t.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    t.out = QString::fromUtf8(p.readAllStandardOutput());
    t.err = QString::fromUtf8(p.readAllStandardError());
    return t;
}

bool installed(const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

// The readers every output check uses; scripts/setup installs them.
#define REQUIRE_READERS()                                                                        \
    for (const char* tool : {"pdftotext", "pdffonts", "pdfinfo", "qpdf", "mutool", "gs"})        \
        if (!installed(QString::fromLatin1(tool)))                                               \
            QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(QLatin1String(tool))))

FakeDataset customerDataset()
{
    FakeDataset ds({{"Cus_Name", FieldType::Text}});
    ds.rows = {{kCustomer}};
    ds.first();
    return ds;
}

FakeDataset invoiceRows(int rows)
{
    FakeDataset ds({{"Inv_Number", FieldType::Integer}, {"Inv_Date", FieldType::Date}, {"Total", FieldType::Money}});
    for (int i = 0; i < rows; ++i)
        ds.rows.push_back({1000 + i, QDate(2026, 1, 1).addDays(i % 28), 1234.5 + i * 17.25});
    return ds;
}

// Shaped like the customer statement: the customer's name in the title, one row per invoice.
void buildStatement(Report& r, FakeDataset& rows, FakeDataset& customer)
{
    r.dataset = &rows;
    r.documentName = kDocumentName;
    Band& title = r.addBand(BandKind::Title, 320);
    title.add(Element::label("QRLabel1", "Customer Statement", 0, 63).points(18).bold().onBand());
    title.add(Element::dataText("QRDBText1", "Cus_Name", 0, 233, &customer).onBand());
    Band& header = r.addBand(BandKind::ColumnHeader, 106, FrameAll);
    header.add(Element::label("QRLabel2", "Invoice Number", 42, 29).bold());
    header.add(Element::label("QRLabel3", "Total", 1609, 29).bold());
    Band& detail = r.addBand(BandKind::Detail, 48, FrameLeft | FrameRight);
    detail.add(Element::dataText("QRDBText2", "Inv_Number", 42, 0).fixedWidth(278));
    detail.add(Element::dataText("QRDBText3", "Inv_Date", 339, 0).fixedWidth(300));
    detail.add(Element::dataText("QRDBText4", "Total", 1609, 0).fixedWidth(235));
    Band& summary = r.addBand(BandKind::Summary, 254, FrameAll);
    summary.add(Element::expr("QRExpr1", "SUM(Total)", 1609, 21).fixedWidth(235).bold());
    r.setMask(QStringLiteral("QRExpr1"), QStringLiteral("R #,#0.00"));
}

ReportDocument statementDocument(int rows)
{
    FakeDataset data = invoiceRows(rows);
    FakeDataset customer = customerDataset();
    Report r;
    buildStatement(r, data, customer);
    ReportDocument doc;
    generateReport(r, doc);
    return doc;
}

// ZZ_KEEP_OUTPUT names a folder to keep the PDFs in for review.
void keep(const QString& pdf)
{
    const QString folder = qEnvironmentVariable("ZZ_KEEP_OUTPUT");
    if (!folder.isEmpty()) {
        const QString target = QDir(folder).filePath(QFileInfo(pdf).fileName());
        QFile::remove(target);
        QFile::copy(pdf, target);
    }
}

void printToFile(const ReportDocument& doc, const QString& path, QPrinter& printer)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printReport(doc, printer);
}

// The fonts pdffonts lists: name, then whether embedded and whether it has a Unicode map.
struct ListedFont {
    QString name;
    bool embedded = false;
    bool unicode = false;
};

QList<ListedFont> fontsOf(const QString& pdf)
{
    QList<ListedFont> fonts;
    const Tool t = run(QStringLiteral("pdffonts"), {pdf});
    const QStringList lines = t.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList cols = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (cols.size() < 6)
            continue;
        // name type... encoding emb sub uni object ID: the flags are the 5th to 3rd last.
        fonts.push_back({cols.first(), cols[cols.size() - 5] == QLatin1String("yes"),
                         cols[cols.size() - 3] == QLatin1String("yes")});
    }
    return fonts;
}

QString pdfInfo(const QString& pdf, const QString& key)
{
    const Tool t = run(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf});
    for (const QString& line : t.out.split(QLatin1Char('\n')))
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

// Checks a PDF with every reader: no warning or error from any of them, and the customer's
// name in the text each extracts. Ghostscript reads only the low byte of characters listed in
// array form in a ToUnicode map, the form Qt's PDF writer uses for printed pages; there it must
// find the name's Latin-1 start (`ghostscriptText`), and may read blanks as tabs (fonts that
// map the tab to the blank's glyph).
void checkReaders(const QString& pdf, const QString& ghostscriptText = kCustomerPrinted)
{
    const Tool poppler = run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QCOMPARE(poppler.exitCode, 0);
    QCOMPARE(poppler.err, QString());
    QVERIFY2(poppler.out.contains(kCustomerPrinted), qPrintable(poppler.out.left(300)));
    QVERIFY(!poppler.out.contains(QStringLiteral("\uFFFD\uFFFD")));
    QVERIFY(poppler.out.contains(QStringLiteral("Customer Statement")));

    const Tool qpdf = run(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    QVERIFY2(qpdf.exitCode == 0 && !qpdf.out.contains(QStringLiteral("WARNING")) && qpdf.err.isEmpty(),
             qPrintable(qpdf.out + qpdf.err));

    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("mupdf.txt"));
    const Tool mupdf = run(QStringLiteral("mutool"), {QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-N"), QStringLiteral("-F"),
                                                      QStringLiteral("txt"), QStringLiteral("-o"), text, pdf});
    QVERIFY2(mupdf.exitCode == 0 && mupdf.err.isEmpty(), qPrintable(mupdf.err));
    QFile f(text);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(f.readAll()).contains(kCustomerPrinted));

    const Tool gs = run(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                                               QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=txtwrite"),
                                               QStringLiteral("-sOutputFile=-"), pdf});
    QCOMPARE(gs.exitCode, 0);
    QVERIFY2(!gs.out.contains(QStringLiteral("****")) && gs.err.isEmpty(), qPrintable(gs.out.left(500) + gs.err));
    const QString gsText = QString(gs.out).replace(QLatin1Char('\t'), QLatin1Char(' '));
    QVERIFY2(gsText.contains(ghostscriptText), qPrintable(gs.out.left(300)));

    // The fallback fonts are embedded beside the report's own, every font with its map; the
    // document carries its name.
    const QList<ListedFont> fonts = fontsOf(pdf);
    QVERIFY(fonts.size() >= 3);
    for (const ListedFont& font : fonts)
        QVERIFY2(font.embedded && font.unicode, qPrintable(font.name));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), kDocumentName);
}

// A page with one line of text in Arial, drawn by the screen backend.
QImage drawnOnScreen(const QString& text)
{
    ReportDocument doc;
    doc.pageWidth = 400;
    doc.pageHeight = 100;
    doc.tags = {QStringLiteral("t")};
    doc.fonts.push_back(DocFont{QStringLiteral("Arial"), 20});
    doc.pages.emplace_back();
    PageItem it;
    it.text = text;
    it.x = it.tx = 10;
    it.y = 10;
    it.w = 380;
    it.h = 80;
    it.ty = 70;
    doc.pages[0].items.push_back(it);
    QImage image(400, 100, QImage::Format_RGB32);
    QPainter p(&image);
    paintPage(p, doc, 0, QRectF(0, 0, 400, 100));
    p.end();
    return image;
}

int inkOf(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// The home directory of the user running the tests (cups-pdf writes under it).
QString userHome()
{
    const passwd* pw = getpwuid(getuid());
    return pw ? QString::fromLocal8Bit(pw->pw_dir) : QDir::homePath();
}

} // namespace

class TestReportOutput : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        RegionalSettings s;
        s.currencySymbol = QStringLiteral("R");
        s.shortDateFormat = QStringLiteral("dd/MM/yyyy");
        setRegional(s);
    }

    void missingCharactersComeFromAFallbackFont()
    {
        const FontFace& face = FontFace::get(QStringLiteral("Arial"), false, false);
        std::vector<TextRun> runs;
        face.shape(QStringLiteral("Ab日本"), runs);
        QCOMPARE(runs.size(), std::size_t(2));
        QCOMPARE(runs[0].file, &face.primary());
        const FontFile& fallback = *runs[1].file;
        QVERIFY2(&fallback != &face.primary(), "the report font has no CJK glyphs; install a CJK fallback font");
        QCOMPARE(runs[1].text, QStringLiteral("日本"));
        QVERIFY(runs[1].glyphs[0] != 0 && runs[1].glyphs[1] != 0);
        // Measured with the font that draws it.
        const float cjk = fallback.advance(runs[1].glyphs[0]) + fallback.advance(runs[1].glyphs[1]);
        QCOMPARE(face.width(QStringLiteral("日本")), cjk);
        QCOMPARE(runs[1].offsets[0], face.width(QStringLiteral("Ab")));

        // An emoji (outside the BMP) and a control character are one replacement mark each.
        face.shape(QStringLiteral("A😀\tB"), runs);
        QString drawn;
        int glyphs = 0;
        for (const TextRun& r : runs) {
            drawn += r.text;
            glyphs += int(r.glyphs.size());
        }
        QCOMPARE(drawn, QStringLiteral("A\uFFFD\uFFFDB"));
        QCOMPARE(glyphs, 4);
        const float mark = face.width(QStringLiteral("\uFFFD"));
        QVERIFY(mark > 0);
        QCOMPARE(face.width(QStringLiteral("A😀B")), face.width(QStringLiteral("AB")) + mark);
        const QString pair = QStringLiteral("😀");
        QCOMPARE(face.advanceAt(pair, 0) + face.advanceAt(pair, 1), mark);

        // On screen the two characters are drawn, not two alike boxes.
        const QImage ri = drawnOnScreen(QStringLiteral("日"));
        const QImage ben = drawnOnScreen(QStringLiteral("本"));
        QVERIFY(inkOf(ri) > 20 && inkOf(ben) > 20);
        QVERIFY(ri != ben);
    }


    // A saved report may name any number of families; the ones fontconfig resolves alike share
    // one face, so reading such files does not hold a face (and a copy of the fallback order) each.
    void familiesResolvedAlikeShareOneFace()
    {
        const FontFace& a = FontFace::get(QStringLiteral("No Such Family 1"), false, false);
        const FontFace& b = FontFace::get(QStringLiteral("No Such Family 2"), false, false);
        QCOMPARE(&a, &b);
        QCOMPARE(&FontFace::get(QStringLiteral("no such family 1"), false, false), &a);
        QVERIFY(&FontFace::get(QStringLiteral("No Such Family 1"), true, false) != &a);
        const FontFace& arial = FontFace::get(QStringLiteral("Arial"), false, false);
        const FontFace& mono = FontFace::get(QStringLiteral("Courier New"), false, false);
        QVERIFY(&arial != &mono);
        QVERIFY(&arial.primary() != &mono.primary());
    }
    void savedPdfExtractsCleanlyInEveryReader()
    {
        const ReportDocument doc = statementDocument(150);
        QVERIFY(doc.pageCount() >= 3);
        REQUIRE_READERS();
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
        savePdf(doc, pdf);
        keep(pdf);
        checkReaders(pdf);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Producer")), QStringLiteral("Zuzevevur Creator"));
        const QString created = pdfInfo(pdf, QStringLiteral("CreationDate"));
        QVERIFY2(created.contains(QString::number(QDate::currentDate().year())), qPrintable(created));
    }

    void printedPagesCarryTextNotOutlines()
    {
        REQUIRE_READERS();
        const ReportDocument doc = statementDocument(150);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printToFile(doc, pdf, printer);
        keep(pdf);
        QCOMPARE(printer.docName(), kDocumentName);
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")).toInt(), doc.pageCount());
        // Text in embedded fonts is a few kilobytes a page; outlines were over 500.
        const double kbPerPage = QFileInfo(pdf).size() / 1024.0 / doc.pageCount();
        QVERIFY2(kbPerPage < 30, qPrintable(QString::number(kbPerPage)));
        checkReaders(pdf, QStringLiteral("Zoë Ødegård-"));
        if (QTest::currentTestFailed())
            return;

        // A page range prints only those pages.
        QPrinter some(QPrinter::HighResolution);
        some.setPrintRange(QPrinter::PageRange);
        some.setFromTo(2, 3);
        const QString part = dir.filePath(QStringLiteral("part.pdf"));
        printToFile(doc, part, some);
        QCOMPARE(pdfInfo(part, QStringLiteral("Pages")).toInt(), 2);
    }

    void documentNameFallsBackAndIsKept()
    {
        ReportDocument doc = statementDocument(2);
        QCOMPARE(doc.documentName, kDocumentName);
        QCOMPARE(doc.jobName(), kDocumentName);
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        doc.save(buffer);
        buffer.seek(0);
        QCOMPARE(ReportDocument::load(buffer).documentName, kDocumentName);
        doc.documentName.clear();
        QCOMPARE(doc.jobName(), QStringLiteral("Report"));
        doc.title = QStringLiteral("Revenue");
        QCOMPARE(doc.jobName(), QStringLiteral("Revenue"));
    }

    void printingToACupsPdfQueue()
    {
        QPrinterInfo queue;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
            if (info.makeAndModel().contains(QStringLiteral("CUPS-PDF"), Qt::CaseInsensitive))
                queue = info;
        REQUIRE_READERS();
        if (queue.isNull())
            QSKIP("No CUPS PDF queue: start cupsd and add a cups-pdf queue (lpadmin -p PDF -v cups-pdf:/ ...) to print to one");
        const QString out = userHome() + QStringLiteral("/PDF");
        ReportDocument doc = statementDocument(150);
        const QString stamp = QString::number(QDateTime::currentMSecsSinceEpoch());
        doc.documentName = QStringLiteral("Statement ") + stamp;
        QPrinter printer(queue, QPrinter::HighResolution);
        printReport(doc, printer);
        // cups-pdf names its file after the job.
        QString found;
        auto lookForJob = [&] {
            QDirIterator it(out, {QStringLiteral("Statement_") + stamp + QStringLiteral("*.pdf")}, QDir::Files);
            if (it.hasNext())
                found = it.next();
            // Complete once it reads without errors.
            return !found.isEmpty() && run(QStringLiteral("qpdf"), {QStringLiteral("--check"), found}).exitCode == 0;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(lookForJob(), qPrintable(QStringLiteral("no job file in ") + out), 60000);
        // The queue turns the job into PostScript and back, which keeps the glyphs as fonts but
        // not always what characters they are; so the text itself is checked on the PDF the
        // printer is given (printedPagesCarryTextNotOutlines), and here the job as printed.
        QCOMPARE(pdfInfo(found, QStringLiteral("Pages")).toInt(), doc.pageCount());
        const Tool poppler = run(QStringLiteral("pdftotext"), {found, QStringLiteral("-")});
        QCOMPARE(poppler.exitCode, 0);
        QCOMPARE(poppler.err, QString());
        QVERIFY(!fontsOf(found).isEmpty());
        const double kbPerPage = QFileInfo(found).size() / 1024.0 / doc.pageCount();
        QVERIFY2(kbPerPage < 30, qPrintable(QString::number(kbPerPage)));
        QFile::remove(found);
    }
};

ZZ_TEST_MAIN(TestReportOutput)
#include "test_report_output.moc"
