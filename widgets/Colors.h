#pragma once
// Colours as the windows store them: a 24-bit number with red in the lowest byte, green in the
// middle byte and blue in the highest byte, written in decimal (white 16777215, grey 8421504).
#include <QColor>
#include <QRgb>
#include <QtGlobal>

namespace zz {

using TColor = quint32;

constexpr TColor clWhite = 16777215;
constexpr TColor clBlack = 0;
constexpr TColor clGray = 8421504;

constexpr int redOf(TColor c) { return int(c & 0xFF); }
constexpr int greenOf(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(TColor c) { return int((c >> 16) & 0xFF); }

// The colour from its three channels (each 0 to 255).
constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red & 0xFF) | (TColor(green & 0xFF) << 8) | (TColor(blue & 0xFF) << 16);
}

inline QColor toQColor(TColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
constexpr QRgb toQRgb(TColor c) { return qRgb(redOf(c), greenOf(c), blueOf(c)); }
inline TColor fromQColor(const QColor& c) { return rgbColor(c.red(), c.green(), c.blue()); }
constexpr TColor fromQRgb(QRgb c) { return rgbColor(qRed(c), qGreen(c), qBlue(c)); }

} // namespace zz
