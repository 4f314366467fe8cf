// The saved-report loader: the input as a whole file, or (first byte odd) as the contents that a
// correct header, checksum and compression are put around, so that the reader's own parsing is
// reached. A report that loads is listed and its first page drawn.
#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include "data/Errors.h"
#include "reports/engine/PageRenderer.h"
#include "reports/engine/ReportDocument.h"
#include "tests/fuzz/FuzzInput.h"

using namespace zz;
using namespace zz::report;

namespace {
QByteArray wrapped(const QByteArray& contents)
{
    const QByteArray body = qCompress(contents, 1);
    QByteArray header("ZZREPORT");
    header.resize(16);
    qToBigEndian(quint32(2), header.data() + 8);
    qToBigEndian(quint32(body.size()), header.data() + 12);
    return header + QCryptographicHash::hash(body, QCryptographicHash::Sha1) + body;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zz::fuzz::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    QByteArray file = (data[0] & 1) ? wrapped(input) : input;
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    try {
        const ReportDocument doc = ReportDocument::load(buffer);
        doc.dump();
        if (doc.pageCount() > 0) {
            QImage page(105, 148, QImage::Format_RGB32);
            QPainter painter(&page);
            paintPage(painter, doc, 0, QRectF(0, 0, 105, 148));
        }
    } catch (const Exception&) {
        // "The file is not a saved report or it is damaged."
    }
    return 0;
}
