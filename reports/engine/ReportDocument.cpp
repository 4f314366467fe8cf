#include "reports/engine/ReportDocument.h"

#include "data/Errors.h"
#include "data/Logo.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QImageReader>
#include <QtEndian>
#include <cmath>

namespace zz::report {

namespace {
const QByteArray kMagic("ZZREPORT");
// Version 2 adds the document's name after the title.
constexpr quint32 kVersion = 2;
constexpr int kHashSize = 20;

QString notAReport() { return QStringLiteral("The file is not a saved report or it is damaged."); }

// Unpacked, no saved report comes near this; zlib packs at most about 1032 to 1.
constexpr quint64 kMaxUnpacked = 512ull * 1024 * 1024;
constexpr quint64 kMaxDeflateRatio = 1100;
// The farthest any position of a page item may lie from the paper's corner (10 m).
constexpr float kFarOff = 100000;

// A picture of a saved report: a logo, so no larger than a logo may be.
QImage readPicture(const QByteArray& png)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxLogoPixels)
        throw Exception(notAReport());
    QImage image = reader.read();
    if (image.isNull())
        throw Exception(notAReport());
    return image;
}

QString num(float v) { return QString::number(v, 'f', 1); }
} // namespace

quint16 ReportDocument::fontIndex(const DocFont& font)
{
    for (std::size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == font)
            return static_cast<quint16>(i);
    fonts.push_back(font);
    return static_cast<quint16>(fonts.size() - 1);
}

quint16 ReportDocument::tagIndex(const QString& tag)
{
    const int i = tags.indexOf(tag);
    if (i >= 0)
        return static_cast<quint16>(i);
    tags.push_back(tag);
    return static_cast<quint16>(tags.size() - 1);
}

quint32 ReportDocument::imageIndex(const QImage& image)
{
    for (std::size_t i = 0; i < images.size(); ++i)
        if (images[i].cacheKey() == image.cacheKey())
            return static_cast<quint32>(i);
    images.push_back(image);
    return static_cast<quint32>(images.size() - 1);
}

void ReportDocument::save(QIODevice& device) const
{
    QByteArray raw;
    {
        QDataStream out(&raw, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << qint32(pageWidth) << qint32(pageHeight) << title << documentName;
        out << quint32(fonts.size());
        for (const DocFont& f : fonts)
            out << f.family << f.pointSize << f.bold << f.italic;
        out << quint32(images.size());
        for (const QImage& image : images) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            out << png;
        }
        out << tags;
        out << quint32(pages.size());
        for (const Page& page : pages) {
            out << quint32(page.items.size());
            for (const PageItem& it : page.items) {
                out << quint8(it.kind) << it.flags << it.font << it.tag << it.image << it.color
                    << it.x << it.y << it.w << it.h << it.tx << it.ty << it.text;
            }
        }
    }
    const QByteArray body = qCompress(raw, 6);
    QByteArray header = kMagic;
    {
        QDataStream out(&header, QIODevice::WriteOnly | QIODevice::Append);
        out << kVersion << quint32(body.size());
    }
    header += QCryptographicHash::hash(body, QCryptographicHash::Sha1);
    if (device.write(header) != header.size() || device.write(body) != body.size())
        throw Exception(QStringLiteral("The report could not be written: %1").arg(device.errorString()));
}

ReportDocument ReportDocument::load(QIODevice& device)
{
    const QByteArray all = device.readAll();
    const int headerSize = kMagic.size() + 8 + kHashSize;
    if (all.size() < headerSize || !all.startsWith(kMagic))
        throw Exception(notAReport());
    quint32 version = 0, length = 0;
    {
        QDataStream in(all.mid(kMagic.size(), 8));
        in >> version >> length;
    }
    if (version > kVersion)
        throw Exception(QStringLiteral("The report was saved by a newer version of the program."));
    if (version == 0 || length != quint32(all.size() - headerSize))
        throw Exception(notAReport());
    const QByteArray hash = all.mid(kMagic.size() + 8, kHashSize);
    const QByteArray body = all.mid(headerSize);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha1) != hash)
        throw Exception(notAReport());
    // The body names the size it unpacks to, and the decompressor allocates that much at once:
    // no more than the compressed bytes can unpack to, and no more than any report needs.
    if (body.size() < 4)
        throw Exception(notAReport());
    const quint64 unpacked = qFromBigEndian<quint32>(body.constData());
    if (unpacked > kMaxUnpacked || unpacked > quint64(body.size()) * kMaxDeflateRatio)
        throw Exception(notAReport());
    const QByteArray raw = qUncompress(body);
    if (raw.isEmpty() || quint64(raw.size()) > kMaxUnpacked)
        throw Exception(notAReport());

    ReportDocument doc;
    QDataStream in(raw);
    in.setVersion(QDataStream::Qt_6_0);
    auto check = [&in] {
        if (in.status() != QDataStream::Ok)
            throw Exception(notAReport());
    };
    // A count can never exceed the bytes that are left.
    auto count = [&in, &raw, &check](quint32 perItem) {
        quint32 n = 0;
        in >> n;
        check();
        if (qint64(n) * perItem > raw.size() - in.device()->pos())
            throw Exception(notAReport());
        return n;
    };
    qint32 width = 0, height = 0;
    in >> width >> height >> doc.title;
    if (version >= 2)
        in >> doc.documentName;
    check();
    if (width <= 0 || height <= 0 || width > 100000 || height > 100000)
        throw Exception(notAReport());
    doc.pageWidth = width;
    doc.pageHeight = height;
    for (quint32 n = count(10); n > 0; --n) {
        DocFont f;
        in >> f.family >> f.pointSize >> f.bold >> f.italic;
        check();
        if (!(f.pointSize > 0 && f.pointSize <= 1000))
            throw Exception(notAReport());
        doc.fonts.push_back(f);
    }
    for (quint32 n = count(4); n > 0; --n) {
        QByteArray png;
        in >> png;
        check();
        doc.images.push_back(readPicture(png));
    }
    // Read one by one: the stream's own list reader reserves room for whatever count it reads.
    for (quint32 n = count(4); n > 0; --n) {
        QString tag;
        in >> tag;
        check();
        doc.tags.push_back(tag);
    }
    for (quint32 p = count(4); p > 0; --p) {
        Page page;
        const quint32 items = count(38);
        page.items.reserve(items);
        for (quint32 i = 0; i < items; ++i) {
            PageItem it;
            quint8 kind = 0;
            in >> kind >> it.flags >> it.font >> it.tag >> it.image >> it.color >> it.x >> it.y >> it.w >> it.h
               >> it.tx >> it.ty >> it.text;
            check();
            // Every position lies on or near the paper: no drawing backend meets a number it
            // cannot place.
            const auto near = [&](float v) { return std::isfinite(v) && std::abs(v) <= kFarOff; };
            if (!near(it.x) || !near(it.y) || !near(it.w) || !near(it.h) || !near(it.tx) || !near(it.ty))
                throw Exception(notAReport());
            if (kind > quint8(ItemKind::Image) || it.tag >= doc.tags.size()
                || (kind == quint8(ItemKind::Text) && it.font >= doc.fonts.size())
                || (kind == quint8(ItemKind::Image) && it.image >= doc.images.size()))
                throw Exception(notAReport());
            it.kind = ItemKind(kind);
            page.items.push_back(std::move(it));
        }
        doc.pages.push_back(std::move(page));
    }
    if (!in.atEnd())
        throw Exception(notAReport());
    return doc;
}

QString ReportDocument::jobName() const
{
    if (!documentName.isEmpty())
        return documentName;
    return title.isEmpty() ? QStringLiteral("Report") : title;
}

bool ReportDocument::operator==(const ReportDocument& o) const
{
    if (pageWidth != o.pageWidth || pageHeight != o.pageHeight || title != o.title || documentName != o.documentName
        || !(fonts == o.fonts)
        || tags != o.tags || pages.size() != o.pages.size() || images.size() != o.images.size())
        return false;
    for (std::size_t i = 0; i < images.size(); ++i)
        if (images[i].convertToFormat(QImage::Format_ARGB32) != o.images[i].convertToFormat(QImage::Format_ARGB32))
            return false;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& a = pages[p].items;
        const auto& b = o.pages[p].items;
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const PageItem& x = a[i];
            const PageItem& y = b[i];
            if (x.kind != y.kind || x.flags != y.flags || x.font != y.font || x.tag != y.tag || x.image != y.image
                || x.color != y.color || x.x != y.x || x.y != y.y || x.w != y.w || x.h != y.h || x.tx != y.tx
                || x.ty != y.ty || x.text != y.text)
                return false;
        }
    }
    return true;
}

QString ReportDocument::dump() const
{
    QString out;
    out += QStringLiteral("document %1x%2 pages=%3\n").arg(pageWidth).arg(pageHeight).arg(pages.size());
    if (!documentName.isEmpty())
        out += QStringLiteral("name \"%1\"\n").arg(documentName);
    for (std::size_t f = 0; f < fonts.size(); ++f)
        out += QStringLiteral("font %1: %2 %3%4%5\n")
                   .arg(f)
                   .arg(fonts[f].family)
                   .arg(fonts[f].pointSize)
                   .arg(fonts[f].bold ? QStringLiteral(" bold") : QString())
                   .arg(fonts[f].italic ? QStringLiteral(" italic") : QString());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        out += QStringLiteral("page %1\n").arg(p + 1);
        for (const PageItem& it : pages[p].items) {
            const QString tag = tags.value(it.tag);
            const QString rect = QStringLiteral("%1,%2 %3x%4").arg(num(it.x), num(it.y), num(it.w), num(it.h));
            const QString colour = QStringLiteral("#%1").arg(it.color & 0xffffff, 6, 16, QLatin1Char('0'));
            switch (it.kind) {
            case ItemKind::Text:
                out += QStringLiteral("  text %1 %2 at %3,%4 font %5 %6%7 \"%8\"\n")
                           .arg(tag, rect, num(it.tx), num(it.ty))
                           .arg(it.font)
                           .arg(colour, (it.flags & ItemClip) ? QStringLiteral(" clip") : QString(), it.text);
                break;
            case ItemKind::Line:
                out += QStringLiteral("  line %1 %2,%3-%4,%5 %6\n").arg(tag, num(it.x), num(it.y), num(it.w), num(it.h), colour);
                break;
            case ItemKind::Fill:
                out += QStringLiteral("  fill %1 %2 %3\n").arg(tag, rect, colour);
                break;
            case ItemKind::Image:
                out += QStringLiteral("  image %1 %2 #%3 %4x%5\n")
                           .arg(tag, rect)
                           .arg(it.image)
                           .arg(images[it.image].width())
                           .arg(images[it.image].height());
                break;
            }
        }
    }
    return out;
}

} // namespace zz::report
