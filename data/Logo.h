#pragma once
// The stored form of the company logo: an 8-byte graphic header (count 1, type 0x0100, length of
// the image) followed by a complete bitmap file image.
#include <QByteArray>

namespace zz {

// The bitmap file image inside a stored value: without the header when it is a valid one,
// otherwise the whole value. Empty for an empty value.
QByteArray logoImageBytes(const QByteArray& stored);
// The stored form of a bitmap file image (header + image); empty for an empty image.
QByteArray logoStoredForm(const QByteArray& bitmapFile);

} // namespace zz
