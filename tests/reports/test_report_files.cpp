// Damaged report files: a saved report whose counts, sizes, positions or pictures claim more than
// the file holds is refused with one message and nothing else; a PDF that cannot be made is
// reported by its own cause.
#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <limits>

#include "data/Errors.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportDocument.h"
#include "tests/support/AllocationWatch.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::report;

namespace {
using test::largestAllocation;

const QString kNotAReport = QStringLiteral("The file is not a saved report or it is damaged.");

QByteArray bigEndian(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

// A saved report around a body as it is stored (compressed), with a correct header and checksum,
// so that the loader reads what the body claims.
QByteArray fileAround(const QByteArray& body)
{
    return QByteArray("ZZREPORT") + bigEndian(2) + bigEndian(quint32(body.size()))
        + QCryptographicHash::hash(body, QCryptographicHash::Sha1) + body;
}

// The start of a report's contents as the engine writes them: an A4 page, no title, no name.
QByteArray contents(const std::function<void(QDataStream&)>& rest)
{
    QByteArray raw;
    QDataStream out(&raw, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << qint32(2100) << qint32(2970) << QString() << QString();
    rest(out);
    return raw;
}

QString loadError(const QByteArray& file)
{
    QByteArray copy = file;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    try {
        ReportDocument::load(buffer);
    } catch (const Exception& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QStringLiteral("unexpected error: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return QString();
}

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// A small PNG picture whose header claims the given size.
QByteArray png(int width, int height)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    // The header chunk follows the 8-byte signature: length, "IHDR", width, height, ..., CRC.
    qToBigEndian(quint32(width), bytes.data() + 16);
    qToBigEndian(quint32(height), bytes.data() + 20);
    qToBigEndian(crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

// One page with one text item at the given position.
QByteArray onePage(float x)
{
    return contents([x](QDataStream& out) {
        out << quint32(1) << QStringLiteral("Arial") << 10.0f << false << false; // fonts
        out << quint32(0);                                                       // pictures
        out << quint32(1) << QStringLiteral("QRLabel1");                          // tags
        out << quint32(1) << quint32(1);                                         // pages, items
        out << quint8(ItemKind::Text) << quint8(0) << quint16(0) << quint16(0) << quint32(0) << quint32(0xff000000)
            << x << 10.0f << 100.0f << 40.0f << x << 30.0f << QStringLiteral("Total");
    });
}
} // namespace

class TestReportFiles : public QObject {
    Q_OBJECT
private slots:
    void countsAndSizesAreBoundByWhatTheFileHolds()
    {
        // Some 60 bytes that ask for four thousand million tags.
        const QByteArray tags = fileAround(qCompress(contents([](QDataStream& out) {
            out << quint32(0) << quint32(0) << quint32(0xFFFFFFFF);
        }), 9));
        QVERIFY(tags.size() < 64);
        constexpr size_t kMuch = 16 * 1024 * 1024;
        QVERIFY(largestAllocation([&] { QCOMPARE(loadError(tags), kNotAReport); }) < kMuch);

        // A body that claims to unpack to 4 GB.
        QByteArray body = qCompress(onePage(10), 9);
        QCOMPARE(loadError(fileAround(body)), QString());
        qToBigEndian(quint32(0xFFFFFFF0), body.data());
        QVERIFY(largestAllocation([&] { QCOMPARE(loadError(fileAround(body)), kNotAReport); }) < kMuch);

        // Counts of fonts, pictures, pages and items beyond what is left of the file.
        for (const auto& counts : std::vector<std::array<quint32, 4>>{
                 {0x7FFFFFFF, 0, 0, 0}, {0, 0x7FFFFFFF, 0, 0}, {0, 0, 0x7FFFFFFF, 0}, {0, 0, 1, 0x7FFFFFFF}})
            QCOMPARE(loadError(fileAround(qCompress(contents([&](QDataStream& out) {
                         out << counts[0] << counts[1] << quint32(0) << counts[2];
                         if (counts[2] == 1)
                             out << counts[3];
                     })))),
                     kNotAReport);
    }

    void positionsAndPicturesOutOfAnyReportAreRefused()
    {
        QCOMPARE(loadError(fileAround(qCompress(onePage(std::numeric_limits<float>::quiet_NaN())))), kNotAReport);
        QCOMPARE(loadError(fileAround(qCompress(onePage(std::numeric_limits<float>::infinity())))), kNotAReport);
        QCOMPARE(loadError(fileAround(qCompress(onePage(3e9f)))), kNotAReport);
        // A picture larger than any logo, though small as a file.
        const QByteArray huge = png(9000, 9000);
        QCOMPARE(loadError(fileAround(qCompress(contents([&](QDataStream& out) {
                     out << quint32(0) << quint32(1) << huge << quint32(0) << quint32(0);
                 })))),
                 kNotAReport);
        QCOMPARE(loadError(fileAround(qCompress(contents([&](QDataStream& out) {
                     out << quint32(0) << quint32(1) << png(4, 4) << quint32(0) << quint32(0);
                 })))),
                 QString());
    }

    void aFailedPdfNamesItsOwnCause()
    {
        // A page far larger than a PDF page may be (a loaded file can say so): the failure is the
        // page's, not that of the font the first text asks for afterwards.
        QByteArray file = onePage(10);
        QByteArray copy = fileAround(qCompress(file));
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        ReportDocument doc = ReportDocument::load(buffer);
        doc.pageWidth = 60000;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("huge.pdf"));
        QCOMPARE(test::errorOf([&] { savePdf(doc, path); }),
                 QStringLiteral("The PDF file could not be made: its pages are larger than a PDF page may be."));
        QVERIFY(!QFile::exists(path));
        doc.pageWidth = 2100;
        savePdf(doc, path);
        QVERIFY(QFileInfo(path).size() > 0);
    }

    // One node of a PDF's page tree holds at most 32,767 pages; a longer document is written
    // through a deeper tree, every page of it.
    void aPdfOfMorePagesThanOneTreeNodeHolds()
    {
        QByteArray copy = fileAround(qCompress(onePage(10)));
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        ReportDocument doc = ReportDocument::load(buffer);
        doc.pages.resize(40000, doc.pages.front());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.pdf"));
        QCOMPARE(test::errorOf([&] { savePdf(doc, path); }), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        QVERIFY(pdf.contains("/Count 40000"));
    }
};

ZZ_TEST_MAIN(TestReportFiles)
#include "test_report_files.moc"
