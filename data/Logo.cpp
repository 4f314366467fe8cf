#include "data/Logo.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <climits>

namespace zz {

QByteArray logoImageBytes(const QByteArray& stored)
{
    if (stored.size() > 7) {
        const auto* p = reinterpret_cast<const uchar*>(stored.constData());
        const quint16 count = qFromLittleEndian<quint16>(p);
        const quint16 type = qFromLittleEndian<quint16>(p + 2);
        const quint32 length = qFromLittleEndian<quint32>(p + 4);
        if (count == 1 && type == 0x0100 && qint64(length) == qint64(stored.size()) - 8)
            return stored.mid(8);
    }
    return stored;
}

QByteArray logoStoredForm(const QByteArray& bitmapFile)
{
    if (bitmapFile.isEmpty())
        return {};
    QByteArray out(8, '\0');
    auto* p = reinterpret_cast<uchar*>(out.data());
    qToLittleEndian<quint16>(1, p);
    qToLittleEndian<quint16>(0x0100, p + 2);
    qToLittleEndian<quint32>(quint32(bitmapFile.size()), p + 4);
    return out + bitmapFile;
}

namespace {
// Reads a bitmap: the picture when `read`, else only the dimensions its header gives.
QImage readBitmap(const QByteArray& bitmapFile, bool read, QSize* size)
{
    QBuffer buffer;
    buffer.setData(bitmapFile);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    // A bitmap stored top-down gives its height as a negative number.
    const QSize claimed = reader.size();
    const QSize s(claimed.width(), claimed.height() < 0 && claimed.height() > INT_MIN ? -claimed.height() : claimed.height());
    if (size)
        *size = s;
    if (!read || !s.isValid() || qint64(s.width()) * s.height() > kMaxLogoPixels)
        return {};
    return reader.read();
}
} // namespace

QImage decodeBitmap(const QByteArray& bitmapFile)
{
    if (!bitmapFile.startsWith("BM") || bitmapFile.size() > kMaxLogoFileBytes)
        return {};
    return readBitmap(bitmapFile, true, nullptr);
}

bool bitmapTooLarge(const QByteArray& bitmapFile)
{
    if (bitmapFile.size() > kMaxLogoFileBytes)
        return true;
    QSize size;
    readBitmap(bitmapFile, false, &size);
    return size.isValid() && qint64(size.width()) * size.height() > kMaxLogoPixels;
}

QImage decodeLogo(const QByteArray& stored) { return decodeBitmap(logoImageBytes(stored)); }

QByteArray encodeLogo(const QImage& picture)
{
    if (picture.isNull())
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    if (!writer.write(picture))
        return {};
    return logoStoredForm(buffer.data());
}

} // namespace zz
