// The report engine on a revenue-shaped report of 100,000 rows (about 1,850 pages): generation
// into the page list, peak memory, saving as PDF, printing (to a PDF file through QPrinter, and
// to a print queue when ZZ_BENCH_QUEUE names one), saving in the engine's own format; and, as
// baselines, the same texts and lines drawn by a bare QPainter on a QPdfWriter and directly
// through libharu. Prints its figures; asserts nothing.
//
//   bench_reports [rows] [generate-only]
//   ZZ_BENCH_PDF=file keeps the saved PDF; ZZ_BENCH_KEEP=folder keeps every PDF made.
#include "data/Regional.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/PrintOutput.h"
#include "reports/engine/ReportGenerator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <hpdf.h>
#include <sys/resource.h>

using namespace zz;
using namespace zz::report;

namespace {

class RowsDataset : public ReportDataset {
public:
    explicit RowsDataset(int rows) : m_rows(rows) {}
    bool isEmpty() const override { return m_rows == 0; }
    void first() override { m_row = 0; m_eof = m_rows == 0; }
    void next() override
    {
        if (m_row + 1 < m_rows)
            ++m_row;
        else
            m_eof = true;
    }
    bool eof() const override { return m_eof; }
    int fieldIndex(const QString& name) const override
    {
        static const QStringList names = {"Inv_Number", "Cus_Name", "Inv_VAT", "Total"};
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    FieldType fieldType(int i) const override
    {
        static const FieldType types[] = {FieldType::Integer, FieldType::Text, FieldType::Float, FieldType::Money};
        return types[i];
    }
    QVariant value(int i) const override
    {
        switch (i) {
        case 0: return 10000 + m_row;
        case 1: return m_names[m_row % 50];
        case 2: return 15.0;
        default: return 100.0 + (m_row % 997) * 13.37;
        }
    }
    QString displayFormat(int) const override { return {}; }
    int recordCount() const override { return m_rows; }

private:
    int m_rows;
    int m_row = 0;
    bool m_eof = true;
    QStringList m_names = [] {
        QStringList n;
        for (int i = 0; i < 50; ++i)
            n << QStringLiteral("Customer number %1 (Pty) Ltd").arg(i);
        // Names the report font has no glyphs for come from a fallback font.
        n[7] = QStringLiteral("Zoë Ødegård-Łukasiewicz 日本");
        n[31] = QStringLiteral("Müller & Søn Trading 株式会社");
        return n;
    }();
};

void buildRevenue(Report& r, ReportDataset& ds)
{
    r.dataset = &ds;
    r.documentName = QStringLiteral("Customer Revenue Report 2026-01-01 to 2026-12-31");
    Band& title = r.addBand(BandKind::Title, 320);
    title.add(Element::label("QRLabel1", "Customer Revenue Report", 0, 63).points(18).bold().onBand());
    title.add(Element::label("QRLabel2", "01/01/2026 To 31/12/2026", 0, 233).onBand());
    Band& header = r.addBand(BandKind::ColumnHeader, 106, FrameAll);
    header.add(Element::label("QRLabel3", "Invoice Number", 42, 29).bold());
    header.add(Element::label("QRLabel4", "Customer Name", 339, 29).bold());
    header.add(Element::label("QRLabel5", "Total", 1609, 29).bold());
    Band& detail = r.addBand(BandKind::Detail, 48, FrameLeft | FrameRight);
    detail.add(Element::dataText("QRDBText1", "Inv_Number", 42, 0).fixedWidth(278));
    detail.add(Element::dataText("QRDBText2", "Cus_Name", 339, 0).fixedWidth(1251));
    detail.add(Element::dataText("QRDBText3", "Total", 1609, 0).fixedWidth(235));
    Band& summary = r.addBand(BandKind::Summary, 254, FrameAll);
    summary.add(Element::label("QRLabel6", "Sub-Total", 1376, 21).bold());
    summary.add(Element::expr("QRExpr1", "SUM(Total)", 1609, 21).fixedWidth(235).color(kBlue));
    summary.add(Element::label("QRLabel7", "VAT", 1376, 85).bold());
    summary.add(Element::expr("QRExpr2", "SUM(Total * (Inv_VAT / 100))", 1609, 85).fixedWidth(235).color(kRed));
    summary.add(Element::label("QRLabel8", "Total", 1376, 169).bold());
    summary.add(Element::expr("QRExpr3", "SUM(Total + (Total * (Inv_VAT / 100)))", 1609, 169).fixedWidth(235).bold().color(kBlue));
    for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
        r.setMask(QLatin1String(name), regional().currencySymbol + QStringLiteral(" #,00#0.00"));
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

qint64 fileSize(const QString& path) { return QFileInfo(path).size(); }

// The same texts and lines through a bare QPainter on a QPdfWriter.
double kbPerPage(const QString& path, int pages) { return QFileInfo(path).size() / 1024.0 / pages; }

// Prints every page through the engine's print path; the seconds until the job is handed over.
double printTo(const ReportDocument& doc, QPrinter& printer)
{
    QElapsedTimer t;
    t.start();
    printReport(doc, printer);
    return t.elapsed() / 1000.0;
}

double qpainterBaseline(const ReportDocument& doc, const QString& path)
{
    QElapsedTimer t;
    t.start();
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    constexpr double kUnitsPerTenth = 3; // device units per tenth of a millimetre
    writer.setResolution(int(254 * kUnitsPerTenth));
    QPainter p(&writer);
    p.scale(kUnitsPerTenth, kUnitsPerTenth);
    std::vector<QFont> fonts;
    for (const DocFont& f : doc.fonts) {
        QFont font(f.family);
        // Point sizes are turned into device units at the writer's resolution and then scaled
        // again by the painter: divide by the painter's scale to draw at the size meant.
        font.setPointSizeF(f.pointSize / kUnitsPerTenth);
        font.setBold(f.bold);
        fonts.push_back(font);
    }
    p.setPen(QPen(Qt::black, 0));
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        for (const PageItem& it : doc.pages[i].items) {
            if (it.kind == ItemKind::Text) {
                p.setFont(fonts[it.font]);
                p.setPen(QColor::fromRgba(it.color));
                p.drawText(QPointF(it.tx, it.ty), it.text);
            } else if (it.kind == ItemKind::Line) {
                p.setPen(QPen(Qt::black, 0));
                p.drawLine(QPointF(it.x, it.y), QPointF(it.w, it.h));
            }
        }
    }
    p.end();
    return t.elapsed() / 1000.0;
}

// The same texts and lines drawn directly through libharu, with the same embedded fonts.
double haruBaseline(const ReportDocument& doc, const QString& path)
{
    QElapsedTimer t;
    t.start();
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(pdf);
    HPDF_SetCurrentEncoder(pdf, "UTF-8");
    std::vector<HPDF_Font> fonts;
    for (const DocFont& f : doc.fonts) {
        const QByteArray file = FontFace::get(f.family, f.bold, f.italic).primary().path().toLocal8Bit();
        const char* name = HPDF_LoadTTFontFromFile(pdf, file.constData(), HPDF_TRUE);
        fonts.push_back(HPDF_GetFont(pdf, name, "UTF-8"));
    }
    const float k = 72.0f / 254.0f;
    const float height = doc.pageHeight * k;
    for (const Page& page : doc.pages) {
        HPDF_Page pg = HPDF_AddPage(pdf);
        HPDF_Page_SetWidth(pg, doc.pageWidth * k);
        HPDF_Page_SetHeight(pg, height);
        HPDF_Page_SetLineWidth(pg, 0);
        HPDF_Page_BeginText(pg);
        for (const PageItem& it : page.items) {
            if (it.kind != ItemKind::Text)
                continue;
            HPDF_Page_SetFontAndSize(pg, fonts[it.font], doc.fonts[it.font].pointSize);
            HPDF_Page_SetRGBFill(pg, qRed(it.color) / 255.0f, qGreen(it.color) / 255.0f, qBlue(it.color) / 255.0f);
            HPDF_Page_TextOut(pg, it.tx * k, height - it.ty * k, it.text.toUtf8().constData());
        }
        HPDF_Page_EndText(pg);
        for (const PageItem& it : page.items) {
            if (it.kind != ItemKind::Line)
                continue;
            HPDF_Page_MoveTo(pg, it.x * k, height - it.y * k);
            HPDF_Page_LineTo(pg, it.w * k, height - it.h * k);
        }
        HPDF_Page_Stroke(pg);
    }
    HPDF_SaveToFile(pdf, path.toLocal8Bit().constData());
    HPDF_Free(pdf);
    return t.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegionalSettings settings;
    settings.currencySymbol = QStringLiteral("R");
    setRegional(settings);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;

    {
        // Loads the fonts and warms the caches on a small run.
        RowsDataset warm(1000);
        Report warmReport;
        buildRevenue(warmReport, warm);
        ReportDocument warmDoc;
        generateReport(warmReport, warmDoc);
    }
    const long baseMemory = peakMegabytes();
    RowsDataset data(rows);
    Report report;
    buildRevenue(report, data);
    ReportDocument doc;

    QElapsedTimer t;
    t.start();
    generateReport(report, doc);
    const double generation = t.elapsed() / 1000.0;
    std::size_t items = 0;
    for (const Page& p : doc.pages)
        items += p.items.size();
    std::printf("rows %d, pages %d, items %zu\n", rows, doc.pageCount(), items);
    std::printf("generation            %8.3f s   %8.0f pages/s   %8.0f rows/s\n", generation, doc.pageCount() / generation,
                rows / generation);
    std::printf("peak memory after generation  %ld MB (before: %ld MB)\n", peakMegabytes(), baseMemory);
    if (argc > 2 && QByteArray(argv[2]) == "generate-only") {
        for (int i = 0; i < 5; ++i)
            generateReport(report, doc);
        return 0;
    }

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    t.restart();
    savePdf(doc, pdf);
    const double pdfTime = t.elapsed() / 1000.0;
    const int pages = doc.pageCount();
    std::printf("save as PDF (engine)  %8.3f s   %8.0f pages/s   %8lld KB   %6.1f KB/page\n", pdfTime, pages / pdfTime,
                fileSize(pdf) / 1024, kbPerPage(pdf, pages));

    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        const double printTime = printTo(doc, printer);
        std::printf("print to PDF file     %8.3f s   %8.0f pages/s   %8lld KB   %6.1f KB/page   (print/save %.2fx)\n",
                    printTime, pages / printTime, fileSize(printed) / 1024, kbPerPage(printed, pages), printTime / pdfTime);
    }
    const QString queue = qEnvironmentVariable("ZZ_BENCH_QUEUE");
    if (!queue.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
        if (info.isNull()) {
            std::printf("print queue %s       not found\n", qPrintable(queue));
        } else {
            QPrinter printer(info, QPrinter::HighResolution);
            const double queueTime = printTo(doc, printer);
            std::printf("print to queue %-6s %8.3f s   %8.0f pages/s   (handed over; print/save %.2fx)\n", qPrintable(queue),
                        queueTime, pages / queueTime, queueTime / pdfTime);
        }
    }

    const QString haru = dir.filePath(QStringLiteral("haru.pdf"));
    const double haruTime = haruBaseline(doc, haru);
    std::printf("direct libharu        %8.3f s   %8.0f pages/s   %8lld KB   %6.1f KB/page   (engine/direct %.2fx)\n",
                haruTime, pages / haruTime, fileSize(haru) / 1024, kbPerPage(haru, pages), pdfTime / haruTime);

    const QString qt = dir.filePath(QStringLiteral("qpainter.pdf"));
    const double qtTime = qpainterBaseline(doc, qt);
    std::printf("QPainter/QPdfWriter   %8.3f s   %8.0f pages/s   %8lld KB   %6.1f KB/page   (engine/QPdfWriter %.2fx)\n",
                qtTime, pages / qtTime, fileSize(qt) / 1024, kbPerPage(qt, pages), pdfTime / qtTime);

    const QString saved = dir.filePath(QStringLiteral("report.zzr"));
    t.restart();
    {
        QFile file(saved);
        file.open(QIODevice::WriteOnly);
        doc.save(file);
    }
    const double saveTime = t.elapsed() / 1000.0;
    t.restart();
    {
        QFile file(saved);
        file.open(QIODevice::ReadOnly);
        const ReportDocument loaded = ReportDocument::load(file);
        if (loaded.pageCount() != doc.pageCount())
            std::printf("LOAD MISMATCH\n");
    }
    std::printf("save report           %8.3f s   load %.3f s   %lld KB\n", saveTime, t.elapsed() / 1000.0,
                fileSize(saved) / 1024);
    std::printf("peak memory overall   %ld MB\n", peakMegabytes());
    if (qEnvironmentVariableIsSet("ZZ_BENCH_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("ZZ_BENCH_PDF"));
    const QString keep = qEnvironmentVariable("ZZ_BENCH_KEEP");
    if (!keep.isEmpty()) {
        for (const QString& made : {pdf, printed, haru, qt}) {
            const QString target = QDir(keep).filePath(QFileInfo(made).fileName());
            QFile::remove(target);
            QFile::copy(made, target);
        }
    }
    return 0;
}
