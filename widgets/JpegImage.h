#pragma once
// Decodes a JPEG picture with libjpeg, for the splash window's logo.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace zz {

// An RGB image of the JPEG data; a null image (and the reason in *error) when it cannot be decoded.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);
// Reads a file or a Qt resource (":/splash_logo.jpg") and decodes it.
QImage loadJpeg(const QString& path, QString* error = nullptr);

} // namespace zz
