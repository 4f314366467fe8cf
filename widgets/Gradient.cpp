#include "widgets/Gradient.h"

#include <QImage>
#include <QPainter>
#include <cmath>

namespace zz {

QVector<QRgb> gradientLineColors(TColor start, TColor end, int steps)
{
    QVector<QRgb> lines;
    if (steps <= 0)
        return lines;
    double value[3] = {double(redOf(start)), double(greenOf(start)), double(blueOf(start))};
    const double target[3] = {double(redOf(end)), double(greenOf(end)), double(blueOf(end))};
    double increment[3];
    for (int c = 0; c < 3; ++c)
        increment[c] = (target[c] - value[c]) / double(steps);

    // std::nearbyint rounds in the default mode, to nearest with halves to even.
    auto channel = [](double v) { return qBound(0, int(std::nearbyint(v)), 255); };
    lines.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        lines.push_back(qRgb(channel(value[0]), channel(value[1]), channel(value[2])));
        for (int c = 0; c < 3; ++c)
            value[c] += increment[c];
    }
    return lines;
}

int gradientSteps(int width, int height, FillDirection direction)
{
    switch (direction) {
    case FillDirection::fdHorizontal: return width;
    case FillDirection::fdVertical: return height;
    case FillDirection::fdDiagonal: return width + height;
    }
    return 0;
}

void paintGradient(QPainter& painter, int width, int height, TColor start, TColor end,
                   FillDirection direction)
{
    if (width <= 0 || height <= 0)
        return;
    const QVector<QRgb> lines = gradientLineColors(start, end, gradientSteps(width, height, direction));
    if (lines.isEmpty())
        return;

    switch (direction) {
    case FillDirection::fdVertical:
        // Line i runs from (0, i) to (width, i), end point excluded; line n lies below the rectangle.
        for (int i = 0; i < height; ++i)
            painter.fillRect(QRect(0, i, width, 1), QColor(lines[i]));
        break;
    case FillDirection::fdHorizontal:
        for (int i = 0; i < width; ++i)
            painter.fillRect(QRect(i, 0, 1, height), QColor(lines[i]));
        break;
    case FillDirection::fdDiagonal: {
        // Line i covers the pixels (i - j, j) for j = 0 .. i - 1: every pixel (x, y) with x >= 1
        // takes the colour of line x + y. Build the rows at logical resolution and draw them
        // in one step (at a higher device pixel ratio the painter scales them up).
        if (width < 2)
            return;
        QImage rows(width - 1, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(rows.scanLine(y));
            const QRgb* from = lines.constData() + y + 1;
            std::copy(from, from + (width - 1), line);
        }
        painter.drawImage(QRect(1, 0, width - 1, height), rows);
        break;
    }
    }
}

} // namespace zz
