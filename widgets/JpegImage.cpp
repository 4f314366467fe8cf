#include "widgets/JpegImage.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace zz {

namespace {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr) {} // warnings are not shown
} // namespace

QImage decodeJpeg(const QByteArray& data, QString* error)
{
    if (data.isEmpty()) {
        if (error) *error = QStringLiteral("empty JPEG data");
        return {};
    }
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.output_message = onMessage;
    // Everything that must survive a longjmp lives outside the protected part.
    QImage* volatile result = new QImage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        if (error) *error = QString::fromLocal8Bit(err.message);
        delete result;
        return {};
    }
    jpeg_create_decompress(&info);
    // The decoder's own buffers (a progressive picture keeps all of it) stay within bounds too.
    info.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    // The header's dimensions are checked before the decoder allocates anything for them.
    if (info.image_width > unsigned(kMaxJpegSide) || info.image_height > unsigned(kMaxJpegSide)
        || qint64(info.image_width) * info.image_height > kMaxJpegPixels) {
        if (error)
            *error = QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(info.image_width).arg(info.image_height);
        jpeg_destroy_decompress(&info);
        delete result;
        return {};
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *result = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (result->isNull() || info.output_components != 3) {
        if (error)
            *error = result->isNull()
                ? QStringLiteral("There is not enough memory for the picture (%1 x %2 pixels).").arg(info.output_width).arg(info.output_height)
                : QStringLiteral("The picture's colours cannot be read.");
        jpeg_destroy_decompress(&info);
        delete result;
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result->scanLine(int(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            if (error)
                *error = QStringLiteral("The picture ends early.");
            jpeg_destroy_decompress(&info);
            delete result;
            return {};
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage out = result->convertToFormat(QImage::Format_RGB32);
    delete result;
    return out;
}

QImage loadJpeg(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Cannot open file %1").arg(path);
        return {};
    }
    return decodeJpeg(f.readAll(), error);
}

} // namespace zz
