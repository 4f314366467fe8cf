#pragma once
// Small layout helpers the windows share.
#include <QLabel>
#include <QWidget>

namespace zz {

// Moves a window to the middle of the desktop.
void centreOnDesktop(QWidget* window);

// Arial in a size given in pixels, bold or regular.
QFont arialFont(int pixelSize, bool bold);

// A transparent label in the given Arial size (pixels) at a position, sized to its text.
QLabel* arialLabel(QWidget* parent, const QString& text, int left, int top, int pixelSize, bool bold);

} // namespace zz
