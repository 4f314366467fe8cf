#pragma once
// The program's button pictures, built into the resources: glyph("save") is the 16 x 16
// green tick, glyph("admin") the 50 x 50 administration picture. Every glyph has a magenta
// background, the colour of its top-left pixel, which a button shows as its face.
#include <QImage>
#include <QString>
#include <QStringList>

namespace zz {

// The picture ":/glyphs/<name>.png" (or .bmp); a null image when there is none.
QImage glyph(const QString& name);

// The names of every glyph in the resources, sorted.
QStringList glyphNames();

} // namespace zz
