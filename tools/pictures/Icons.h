#pragma once
// The button pictures: flat icons with dark outlines, drawn by code on a transparent canvas and
// then flattened onto the magenta background that the buttons treat as transparent.
#include <QImage>
#include <QList>
#include <QString>
#include <functional>

class QPainter;

namespace pictures {

struct Icon {
    QString name;
    int size;                              // 16 or 50
    std::function<void(QPainter&)> draw;   // draws in a size x size coordinate space
};

// The 16 x 16 glyphs of the windows' buttons.
QList<Icon> smallIcons();
// The 50 x 50 pictures of the main window's section buttons and the menus' task buttons.
QList<Icon> largeIcons();

// Renders the icon with antialiasing, then flattens it: pixels that are mostly transparent
// become magenta (255, 0, 255); the others are blended over a light button face and made
// opaque, so that no pink fringe shows on the button.
QImage renderIcon(const Icon& icon);

// The rendered icon of that name (a null image when there is none).
QImage iconNamed(const QString& name);

// The 121 x 61 logo of the splash window.
QImage splashLogo();

// The program's icon for the desktop's menus and the windows' frames, size x size with a
// transparent ground: an invoice sheet with the Z of the splash logo and a gold coin on a blue
// tile. Small sizes leave the fine lines out.
QImage programIcon(int size);
// The sizes the icon theme gets.
QList<int> programIconSizes();

} // namespace pictures
