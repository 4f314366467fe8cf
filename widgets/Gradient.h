#pragma once
// The gradient fill shared by the gradient panel and the gradient button.
#include <QVector>

#include "widgets/Colors.h"

class QPainter;

namespace zz {

enum class FillDirection { fdHorizontal, fdVertical, fdDiagonal };

// Colours of the n + 1 lines of a gradient of n steps. Each channel starts at the start colour
// and grows by (end - start) / n in double precision after every line; a line shows the running
// values rounded to the nearest integer, halves to even. Line n lies outside the filled
// rectangle, so the last visible line stops one step short of the end colour.
// Zero (or negative) steps have no increment: the result is empty.
QVector<QRgb> gradientLineColors(TColor start, TColor end, int steps);

// The number of steps of a fill of width x height in the given direction.
int gradientSteps(int width, int height, FillDirection direction);

// Fills the rectangle (0, 0)-(width, height), in the painter's logical pixels, with one-pixel
// lines of the gradient: rows for a vertical fill, columns for a horizontal one, and for a
// diagonal fill lines from (i, 0) towards (0, i) that stop short of their end point (so the
// left column keeps what was there). A zero-step gradient draws nothing.
void paintGradient(QPainter& painter, int width, int height, TColor start, TColor end,
                   FillDirection direction);

} // namespace zz
