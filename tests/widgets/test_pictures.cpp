// Pictures read from files and from the books: a JPEG or a bitmap whose header claims a huge size
// is refused before anything is allocated for it, with a reason; ordinary pictures, and bitmaps
// stored top-down, still decode.
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>
#include <cstring>

#include "data/Logo.h"
#include "tests/support/AllocationWatch.h"
#include "tests/support/TestSupport.h"
#include "widgets/JpegImage.h"

using namespace zz;
using test::largestAllocation;

namespace {
constexpr std::size_t kMuch = 64 * 1024 * 1024;

QByteArray splashJpeg()
{
    QFile f(QStringLiteral(ZZ_RESOURCES_DIR "/splash_logo.jpg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The JPEG with its frame header (baseline or progressive) claiming another size.
QByteArray claimingSize(QByteArray jpeg, int width, int height)
{
    for (int i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = quint8(jpeg[i + 1]);
        if (quint8(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            qToBigEndian(quint16(height), jpeg.data() + i + 5);
            qToBigEndian(quint16(width), jpeg.data() + i + 7);
            return jpeg;
        }
    }
    return {};
}

// A bitmap file header and information header claiming a 24-bit picture of the given size,
// followed by a few bytes of pixels.
QByteArray bitmapClaiming(int width, int height)
{
    QByteArray b(54 + 16, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(b.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    return b;
}

QByteArray bitmapFile(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(image);
    return bytes;
}
// The same bitmap stored top-down: a negative height in its header and the rows from the top.
QByteArray topDown(const QByteArray& bottomUp)
{
    QByteArray b = bottomUp;
    auto* p = reinterpret_cast<uchar*>(b.data());
    const auto offset = qFromLittleEndian<quint32>(p + 10);
    const auto width = qFromLittleEndian<qint32>(p + 18);
    const auto height = qFromLittleEndian<qint32>(p + 22);
    const auto bits = qFromLittleEndian<quint16>(p + 28);
    const int stride = (width * bits / 8 + 3) & ~3;
    qToLittleEndian<qint32>(-height, p + 22);
    for (int row = 0; row < height; ++row)
        std::memcpy(p + offset + row * stride, bottomUp.constData() + offset + (height - 1 - row) * stride, stride);
    return b;
}
} // namespace

class TestPictures : public QObject {
    Q_OBJECT
private slots:
    void aJpegClaimingAHugeSizeIsRefusedBeforeAnythingIsAllocated()
    {
        const QByteArray jpeg = splashJpeg();
        QString error;
        const QImage logo = decodeJpeg(jpeg, &error);
        QVERIFY2(!logo.isNull(), qPrintable(error));

        QByteArray progressive;
        {
            QBuffer buffer(&progressive);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setProgressiveScanWrite(true);
            QVERIFY(writer.write(logo));
        }
        QCOMPARE(decodeJpeg(progressive).size(), logo.size());

        for (const QByteArray& source : {jpeg, progressive}) {
            const QByteArray huge = claimingSize(source, 65000, 65000);
            QVERIFY(!huge.isEmpty());
            QImage image;
            QVERIFY(largestAllocation([&] { image = decodeJpeg(huge, &error); }) < kMuch);
            QVERIFY(image.isNull());
            QCOMPARE(error, QStringLiteral("The picture is too large (65000 x 65000 pixels)."));
        }
        // Within the limits a damaged picture is refused with the decoder's own reason.
        QVERIFY(decodeJpeg(jpeg.left(200), &error).isNull() || !error.isEmpty());
        QVERIFY(decodeJpeg(QByteArray("not a picture"), &error).isNull());
        QVERIFY(!error.isEmpty());
    }

    void aLogoBeyondTheLimitIsNotDecoded()
    {
        const QByteArray small = bitmapFile(QSize(64, 32));
        QCOMPARE(decodeLogo(logoStoredForm(small)).size(), QSize(64, 32));
        QVERIFY(!bitmapTooLarge(small));

        // 25 million pixels, claimed by a file of 70 bytes.
        const QByteArray claimed = bitmapClaiming(5000, 5000);
        QImage image;
        QVERIFY(largestAllocation([&] { image = decodeLogo(logoStoredForm(claimed)); }) < kMuch);
        QVERIFY(image.isNull());
        QVERIFY(bitmapTooLarge(claimed));
        QVERIFY(!bitmapTooLarge(bitmapClaiming(4000, 4000)));

        // A bitmap stored top-down (a negative height) is read as such, and its limit is its size.
        QImage drawn(5, 3, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        drawn.setPixel(0, 0, qRgb(255, 0, 0));
        drawn.setPixel(4, 2, qRgb(0, 0, 255));
        QByteArray file;
        QBuffer out(&file);
        out.open(QIODevice::WriteOnly);
        QVERIFY(QImageWriter(&out, "bmp").write(drawn));
        const QByteArray flipped = topDown(file);
        QVERIFY(flipped != file);
        QVERIFY(!bitmapTooLarge(flipped));
        const QImage read = decodeLogo(logoStoredForm(flipped));
        QCOMPARE(read.size(), QSize(5, 3));
        QCOMPARE(read.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(read.pixel(4, 2), qRgb(0, 0, 255));
        QVERIFY(bitmapTooLarge(bitmapClaiming(5000, -5000)));
        QVERIFY(decodeBitmap(bitmapClaiming(5000, -5000)).isNull());
        QVERIFY(!bitmapTooLarge(bitmapClaiming(4000, -4000)));

        // A file larger than any logo is not read at all.
        QByteArray padded = small;
        padded.resize(kMaxLogoFileBytes + 1);
        QVERIFY(decodeBitmap(padded).isNull());
        QVERIFY(bitmapTooLarge(padded));
    }
};

ZZ_TEST_MAIN(TestPictures)
#include "test_pictures.moc"
