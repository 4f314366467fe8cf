#pragma once
// The stored form of the company logo, read and written in this one place: an 8-byte graphic
// header (count 1, type 0x0100, length of the image) followed by a complete bitmap file image.
// Whoever shows or prints the logo (the logo control, the company dialog, the reports) decodes it
// here.
#include <QByteArray>
#include <QImage>

namespace zz {

// The bitmap file image inside a stored value: without the header when it is a valid one,
// otherwise the whole value. Empty for an empty value.
QByteArray logoImageBytes(const QByteArray& stored);
// The stored form of a bitmap file image (header + image); empty for an empty image.
QByteArray logoStoredForm(const QByteArray& bitmapFile);

// The largest logo decoded: a bitmap file of 64 MB, a picture of 16 million pixels. Nothing
// larger is decoded, so that no stored value makes the program allocate without bound.
constexpr qsizetype kMaxLogoFileBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxLogoPixels = 16000000;

// A Windows bitmap file image decoded as one, and only as one: null when the bytes are empty, are
// no readable bitmap (whatever other picture format they may hold) or are beyond the limits.
QImage decodeBitmap(const QByteArray& bitmapFile);
// Whether a bitmap file is beyond the limits, by its size or by the dimensions its header gives.
bool bitmapTooLarge(const QByteArray& bitmapFile);
// The picture of a stored logo value: the header rule, then the bitmap (null for none).
QImage decodeLogo(const QByteArray& stored);
// The stored form of a picture, written as a bitmap file (empty for a null picture).
QByteArray encodeLogo(const QImage& picture);

} // namespace zz
