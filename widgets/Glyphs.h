#pragma once
// The program's button pictures, built into the resources: glyph("save") is the 16 x 16
// green tick, glyph("admin") the 50 x 50 administration picture. Every glyph has a magenta
// background, the colour of its top-left pixel, which a button shows as its face.
//
// 16 x 16: search (magnifying glass), new (blank page), edit and open (folder and document),
// delete (red cross with an exclamation mark), cancel and close (red cross), save and ok (green
// tick), print, map, exit (door), date (calendar), pay (coins), create (new invoice), submit
// (add a line), delete_line, advance (clock moving on), logo (picture), detail (invoice with a
// magnifier), cancel_invoice, invoice.
// 50 x 50: admin, invoicing, reports (main window sections); customer, product, company, vat;
// invoices, unpaid, cancelled, view_invoice; date_revenue, month_end (menu tasks).
// The section previews are ":/preview_admin.png", ":/preview_invoicing.png" and
// ":/preview_reports.png" (473 x 377), the splash logo ":/splash_logo.jpg".
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

namespace zz {

// The pictures live in a static library: registers them once (the application object does it
// at start; the look-ups below do it too, for tools without one).
void registerPictures();

// The picture ":/glyphs/<name>.png" (or .bmp); a null image when there is none.
QImage glyph(const QString& name);

// The names of every glyph in the resources, sorted.
QStringList glyphNames();

// The program's icon (":/icons/program_<size>.png", 16 to 256 pixels): the windows' frames show
// it, and the desktop's menus show the same pictures installed in the icon theme.
QIcon programIcon();

} // namespace zz
