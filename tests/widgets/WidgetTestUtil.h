#pragma once
// Pixel helpers shared by the widget tests.
#include <QImage>
#include <QRect>
#include <QWidget>

#include "widgets/Colors.h"
#include "widgets/Gradient.h"

namespace zz::test {

// The widget as it paints itself on screen.
inline QImage rendered(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline TColor at(const QImage& image, int x, int y) { return fromQRgb(image.pixel(x, y)); }

// The bounding box of the pixels where two pictures differ (an empty rectangle when none do).
inline QRect differenceBox(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & RGB_MASK) != (b.pixel(x, y) & RGB_MASK))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The colour a gradient of n steps shows on line i, worked out channel by channel from the
// start: start + i * (end - start) / n, rounded.
inline TColor expectedLine(TColor start, TColor end, int n, int i)
{
    auto channel = [&](int s, int e) { return int(std::lround(s + double(i) * (e - s) / n)); };
    return rgbColor(channel(redOf(start), redOf(end)), channel(greenOf(start), greenOf(end)),
                    channel(blueOf(start), blueOf(end)));
}

} // namespace zz::test
