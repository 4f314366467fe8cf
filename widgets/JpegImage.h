#pragma once
// Decodes a JPEG picture with libjpeg, for the splash window's logo.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace zz {

// The largest picture decoded: a header claiming more is refused before anything is allocated.
constexpr int kMaxJpegSide = 16384;
constexpr qint64 kMaxJpegPixels = 32 * 1024 * 1024;

// An RGB image of the JPEG data; a null image (and the reason in *error) when it cannot be decoded:
// damaged data, a picture larger than the limits above, or too little memory for it.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);
// Reads a file or a Qt resource (":/splash_logo.jpg") and decodes it.
QImage loadJpeg(const QString& path, QString* error = nullptr);

} // namespace zz
