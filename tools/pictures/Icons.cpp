#include "Icons.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace pictures {

namespace {

// Palette: each fill colour has a darker outline colour of the same hue.
const QColor kInk(64, 66, 76);
const QColor kPaper(255, 255, 255);
const QColor kPaperShade(222, 228, 236);
const QColor kLine(150, 158, 172);
const QColor kRed(226, 56, 46), kRedDark(146, 20, 18);
const QColor kGreen(70, 176, 74), kGreenDark(26, 108, 36);
const QColor kBlue(74, 134, 214), kBlueDark(30, 72, 142), kBlueLight(196, 222, 250);
const QColor kYellow(248, 200, 86), kYellowDark(172, 122, 22);
const QColor kGold(246, 202, 64), kGoldDark(164, 112, 8), kGoldLight(255, 236, 150);
const QColor kBrown(186, 132, 76), kBrownDark(110, 70, 30);
const QColor kGrey(186, 190, 198), kGreyDark(100, 104, 114);

// The face the antialiased edges are blended onto: between the silver and rose button faces.
const QColor kMatte(232, 228, 230);

void setPen(QPainter& p, const QColor& c, qreal w, Qt::PenCapStyle cap = Qt::SquareCap)
{
    p.setPen(QPen(c, w, Qt::SolidLine, cap, Qt::MiterJoin));
}

// A sheet of paper with a folded top-right corner.
void document(QPainter& p, const QRectF& r, qreal fold, qreal w, const QColor& fill = kPaper)
{
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    setPen(p, kInk, w);
    p.setBrush(fill);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    p.setBrush(kPaperShade);
    p.drawPath(corner);
}

// Lines of text: n lines from top to bottom of the area, the last one shorter.
void textLines(QPainter& p, const QRectF& area, int n, qreal w, const QColor& c = kLine)
{
    setPen(p, c, w, Qt::FlatCap);
    for (int i = 0; i < n; ++i) {
        const qreal y = n == 1 ? area.top() : area.top() + i * area.height() / (n - 1);
        const qreal right = i == n - 1 ? area.left() + area.width() * 0.6 : area.right();
        p.drawLine(QPointF(area.left(), y), QPointF(right, y));
    }
}

// A stroke drawn twice: a dark edge, then the fill colour inside it.
void outlinedStroke(QPainter& p, const QPainterPath& path, qreal w, qreal edge, const QColor& fill,
                    const QColor& dark, Qt::PenCapStyle cap = Qt::SquareCap)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark, w + 2 * edge, Qt::SolidLine, cap, Qt::MiterJoin));
    p.drawPath(path);
    p.setPen(QPen(fill, w, Qt::SolidLine, cap, Qt::MiterJoin));
    p.drawPath(path);
}

void cross(QPainter& p, const QRectF& r, qreal w, qreal edge)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.bottomRight());
    path.moveTo(r.topRight());
    path.lineTo(r.bottomLeft());
    outlinedStroke(p, path, w, edge, kRed, kRedDark, Qt::FlatCap);
}

void tick(QPainter& p, const QPointF& a, const QPointF& b, const QPointF& c, qreal w, qreal edge)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    outlinedStroke(p, path, w, edge, kGreen, kGreenDark, Qt::FlatCap);
}

void plus(QPainter& p, const QPointF& c, qreal half, qreal w, qreal edge, const QColor& fill, const QColor& dark)
{
    QPainterPath path;
    path.moveTo(c.x() - half, c.y());
    path.lineTo(c.x() + half, c.y());
    path.moveTo(c.x(), c.y() - half);
    path.lineTo(c.x(), c.y() + half);
    outlinedStroke(p, path, w, edge, fill, dark, Qt::FlatCap);
}

void minus(QPainter& p, const QPointF& c, qreal half, qreal w, qreal edge)
{
    QPainterPath path;
    path.moveTo(c.x() - half, c.y());
    path.lineTo(c.x() + half, c.y());
    outlinedStroke(p, path, w, edge, kRed, kRedDark, Qt::FlatCap);
}

void magnifier(QPainter& p, const QPointF& c, qreal r, qreal handle, qreal w)
{
    const qreal d = r / qSqrt(2.0);
    QPainterPath grip;
    grip.moveTo(c.x() + d, c.y() + d);
    grip.lineTo(c.x() + d + handle, c.y() + d + handle);
    outlinedStroke(p, grip, w * 2.2, w * 0.6, kBrown, kBrownDark, Qt::RoundCap);
    setPen(p, kInk, w);
    QRadialGradient glass(c - QPointF(r / 3, r / 3), r * 1.4);
    glass.setColorAt(0, QColor(255, 255, 255));
    glass.setColorAt(1, kBlueLight);
    p.setBrush(glass);
    p.drawEllipse(c, r, r);
}

void coin(QPainter& p, const QPointF& c, qreal rx, qreal ry, qreal thick, qreal w)
{
    setPen(p, kGoldDark, w);
    p.setBrush(kGold.darker(115));
    QPainterPath side;
    side.addEllipse(QPointF(c.x(), c.y() + thick), rx, ry);
    side.addRect(QRectF(c.x() - rx, c.y(), 2 * rx, thick));
    p.setPen(Qt::NoPen);
    p.drawPath(side.simplified());
    setPen(p, kGoldDark, w);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(c.x() - rx, c.y()), QPointF(c.x() - rx, c.y() + thick));
    p.drawLine(QPointF(c.x() + rx, c.y()), QPointF(c.x() + rx, c.y() + thick));
    p.drawArc(QRectF(c.x() - rx, c.y() + thick - ry, 2 * rx, 2 * ry), 180 * 16, 180 * 16);
    p.setBrush(kGold);
    p.drawEllipse(c, rx, ry);
    if (rx > 6) {
        setPen(p, kGoldLight, w);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, rx * 0.62, ry * 0.62);
    }
}

void clockFace(QPainter& p, const QPointF& c, qreal r, qreal w, const QColor& fill = kPaper)
{
    setPen(p, kInk, w);
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
    setPen(p, kInk, w, Qt::RoundCap);
    p.drawLine(c, c + QPointF(0, -r * 0.65));
    p.drawLine(c, c + QPointF(r * 0.5, 0));
    if (r > 8) {
        for (int i = 0; i < 12; ++i) {
            const qreal a = i * M_PI / 6;
            const QPointF dir(qSin(a), -qCos(a));
            p.drawLine(c + dir * r * 0.8, c + dir * r * 0.92);
        }
    }
}

// A wall calendar page: a red header with two rings, and a grid of days (or a big number).
void calendar(QPainter& p, const QRectF& r, qreal w, qreal header, const QString& number = QString())
{
    setPen(p, kInk, w);
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kRed);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), header));
    if (number.isEmpty()) {
        const int cols = r.width() > 20 ? 5 : 3, rows = r.width() > 20 ? 4 : 3;
        const qreal cw = (r.width() - 2 * w) / cols, rh = (r.height() - header - 2 * w) / rows;
        p.setPen(Qt::NoPen);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cols; ++x) {
                p.setBrush(x == cols - 1 && y == rows - 1 ? kRed : kLine);
                const qreal cell = qMax<qreal>(1.0, qMin(cw, rh) * 0.55);
                p.drawRect(QRectF(r.left() + w + x * cw + (cw - cell) / 2,
                                  r.top() + header + w + y * rh + (rh - cell) / 2, cell, cell));
            }
    } else {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setBold(true);
        f.setPixelSize(int(r.height() - header - 2));
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(r.left(), r.top() + header, r.width(), r.height() - header), Qt::AlignCenter, number);
    }
    // Rings over the header.
    setPen(p, kGreyDark, w * 1.2, Qt::RoundCap);
    const qreal ringTop = r.top() - header * 0.35;
    p.drawLine(QPointF(r.left() + r.width() * 0.28, ringTop), QPointF(r.left() + r.width() * 0.28, r.top() + header * 0.6));
    p.drawLine(QPointF(r.right() - r.width() * 0.28, ringTop), QPointF(r.right() - r.width() * 0.28, r.top() + header * 0.6));
}

void folder(QPainter& p, const QRectF& r, qreal w, bool back)
{
    setPen(p, kYellowDark, w);
    if (back) {
        QPainterPath path;
        path.moveTo(r.left(), r.bottom());
        path.lineTo(r.left(), r.top());
        path.lineTo(r.left() + r.width() * 0.38, r.top());
        path.lineTo(r.left() + r.width() * 0.48, r.top() + r.height() * 0.14);
        path.lineTo(r.right(), r.top() + r.height() * 0.14);
        path.lineTo(r.right(), r.bottom());
        path.closeSubpath();
        p.setBrush(kYellow.darker(112));
        p.drawPath(path);
    } else {
        QPainterPath flap;
        flap.moveTo(r.left(), r.bottom());
        flap.lineTo(r.left() + r.width() * 0.12, r.top() + r.height() * 0.42);
        flap.lineTo(r.right() + r.width() * 0.06, r.top() + r.height() * 0.42);
        flap.lineTo(r.right(), r.bottom());
        flap.closeSubpath();
        p.setBrush(kYellow);
        p.drawPath(flap);
    }
}

void person(QPainter& p, const QRectF& r, qreal w, const QColor& fill, const QColor& dark)
{
    const qreal headR = r.width() * 0.22;
    const QPointF head(r.center().x(), r.top() + headR + w);
    QPainterPath body;
    const QRectF shoulders(r.left(), r.top() + r.height() * 0.52, r.width(), r.height() * 0.96);
    body.moveTo(shoulders.left(), r.bottom());
    body.arcTo(shoulders, 180, -180);
    body.lineTo(shoulders.right(), r.bottom());
    body.closeSubpath();
    setPen(p, dark, w);
    p.setBrush(fill);
    p.drawPath(body);
    p.setBrush(QColor(250, 214, 178));
    p.drawEllipse(head, headR, headR * 1.08);
}

void gear(QPainter& p, const QPointF& c, qreal outer, qreal inner, int teeth, qreal w,
          const QColor& fill, const QColor& dark)
{
    QPainterPath path;
    const int points = teeth * 4;
    for (int i = 0; i < points; ++i) {
        const qreal a = (i - 0.5) * 2 * M_PI / points;
        const qreal r = (i % 4 < 2) ? outer : inner;
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, inner * 0.42, inner * 0.42);
    setPen(p, dark, w);
    p.setBrush(fill);
    p.drawPath(path.subtracted(hole));
}

void printer(QPainter& p, const QRectF& r, qreal w)
{
    const qreal u = r.width() / 14.0;
    setPen(p, kInk, w);
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + 3 * u, r.top(), 8 * u, 5 * u));
    p.setBrush(kGrey);
    p.drawRect(QRectF(r.left(), r.top() + 5 * u, 14 * u, 6.5 * u));
    p.setBrush(kGreyDark);
    p.drawRect(QRectF(r.left() + 2 * u, r.top() + 9 * u, 10 * u, 1 * u));
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + 3 * u, r.top() + 9.5 * u, 8 * u, 4.5 * u));
    textLines(p, QRectF(r.left() + 4.5 * u, r.top() + 11.3 * u, 5 * u, 1.4 * u), 2, qMax<qreal>(1.0, u * 0.6));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(r.left() + 11 * u, r.top() + 6.5 * u, 1.5 * u, 1.2 * u));
}

void mapSheet(QPainter& p, const QRectF& r, qreal w)
{
    const qreal third = r.width() / 3;
    const qreal skew = r.height() * 0.12;
    const QColor panels[3] = {QColor(214, 236, 190), QColor(236, 230, 190), QColor(214, 236, 190)};
    for (int i = 0; i < 3; ++i) {
        QPolygonF poly;
        const qreal x0 = r.left() + i * third, x1 = x0 + third;
        const qreal t0 = (i % 2 == 0) ? r.top() + skew : r.top();
        const qreal t1 = (i % 2 == 0) ? r.top() : r.top() + skew;
        poly << QPointF(x0, t0) << QPointF(x1, t1) << QPointF(x1, r.bottom() - skew + (t1 - r.top()))
             << QPointF(x0, r.bottom() - skew + (t0 - r.top()));
        setPen(p, kInk, w);
        p.setBrush(panels[i]);
        p.drawPolygon(poly);
    }
    QPainterPath route;
    route.moveTo(r.left() + third * 0.4, r.bottom() - skew * 2.2);
    route.cubicTo(r.left() + third * 1.2, r.top() + r.height() * 0.35, r.left() + third * 1.8,
                  r.bottom() - skew * 1.5, r.right() - third * 0.45, r.top() + skew * 2.2);
    p.setBrush(Qt::NoBrush);
    setPen(p, kRed, qMax<qreal>(1.0, w * 1.2), Qt::RoundCap);
    p.drawPath(route);
}

void exitDoor(QPainter& p, const QRectF& r, qreal w)
{
    const qreal u = r.width() / 16.0;
    setPen(p, kInk, w);
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(r.left() + 1.5 * u, r.top() + 1.5 * u, 8 * u, 13 * u));
    QPolygonF door;
    door << QPointF(r.left() + 1.5 * u, r.top() + 1.5 * u) << QPointF(r.left() + 6.5 * u, r.top() + 3 * u)
         << QPointF(r.left() + 6.5 * u, r.top() + 15.5 * u) << QPointF(r.left() + 1.5 * u, r.top() + 14.5 * u);
    setPen(p, kBrownDark, w);
    p.setBrush(kBrown);
    p.drawPolygon(door);
    p.setPen(Qt::NoPen);
    p.setBrush(kGoldLight);
    p.drawEllipse(QPointF(r.left() + 5.4 * u, r.top() + 9 * u), 0.8 * u, 0.8 * u);
    // Arrow out of the door.
    QPainterPath arrow;
    arrow.moveTo(r.left() + 8.5 * u, r.top() + 7.5 * u);
    arrow.lineTo(r.left() + 11.5 * u, r.top() + 7.5 * u);
    arrow.lineTo(r.left() + 11.5 * u, r.top() + 5 * u);
    arrow.lineTo(r.left() + 15.5 * u, r.top() + 8.5 * u);
    arrow.lineTo(r.left() + 11.5 * u, r.top() + 12 * u);
    arrow.lineTo(r.left() + 11.5 * u, r.top() + 9.5 * u);
    arrow.lineTo(r.left() + 8.5 * u, r.top() + 9.5 * u);
    arrow.closeSubpath();
    setPen(p, kGreenDark, w);
    p.setBrush(kGreen);
    p.drawPath(arrow);
}

void pictureFrame(QPainter& p, const QRectF& r, qreal w)
{
    setPen(p, kInk, w);
    p.setBrush(QColor(186, 220, 250));
    p.drawRect(r);
    const QRectF in = r.adjusted(w, w, -w, -w);
    QPolygonF hills;
    hills << QPointF(in.left(), in.bottom()) << QPointF(in.left() + in.width() * 0.35, in.top() + in.height() * 0.45)
          << QPointF(in.left() + in.width() * 0.6, in.top() + in.height() * 0.75)
          << QPointF(in.left() + in.width() * 0.78, in.top() + in.height() * 0.55) << QPointF(in.right(), in.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(hills);
    p.setBrush(kGold);
    const qreal sun = qMax<qreal>(1.2, in.height() * 0.16);
    p.drawEllipse(QPointF(in.right() - in.width() * 0.25, in.top() + in.height() * 0.28), sun, sun);
}

void box(QPainter& p, const QRectF& r, qreal w)
{
    // A cardboard box seen slightly from above: front, side and top faces.
    const qreal d = r.width() * 0.28;
    const QRectF front(r.left(), r.top() + d * 0.6, r.width() - d, r.height() - d * 0.6);
    QPolygonF top, side;
    top << front.topLeft() << QPointF(front.left() + d, r.top()) << QPointF(r.right(), r.top()) << front.topRight();
    side << front.topRight() << QPointF(r.right(), r.top()) << QPointF(r.right(), r.bottom() - d * 0.6) << front.bottomRight();
    setPen(p, kBrownDark, w);
    p.setBrush(QColor(222, 178, 112));
    p.drawPolygon(top);
    p.setBrush(QColor(176, 126, 70));
    p.drawPolygon(side);
    p.setBrush(QColor(204, 152, 90));
    p.drawRect(front);
    // Tape and label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 220, 170));
    p.drawRect(QRectF(front.center().x() - front.width() * 0.08, front.top() + w / 2, front.width() * 0.16, front.height() * 0.45));
    setPen(p, kInk, w * 0.8);
    p.setBrush(kPaper);
    p.drawRect(QRectF(front.left() + front.width() * 0.12, front.bottom() - front.height() * 0.38, front.width() * 0.34, front.height() * 0.24));
}

void building(QPainter& p, const QRectF& r, qreal w)
{
    setPen(p, kBlueDark, w);
    p.setBrush(QColor(150, 178, 214));
    const QRectF tower(r.left() + r.width() * 0.08, r.top(), r.width() * 0.58, r.height());
    p.drawRect(tower);
    p.setBrush(QColor(120, 150, 192));
    const QRectF wing(tower.right(), r.top() + r.height() * 0.38, r.right() - tower.right(), r.height() * 0.62);
    p.drawRect(wing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 244, 255));
    const int cols = 3, rows = 5;
    const qreal cw = tower.width() / cols, rh = (tower.height() * 0.78) / rows;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            p.drawRect(QRectF(tower.left() + x * cw + cw * 0.25, tower.top() + r.height() * 0.06 + y * rh + rh * 0.22,
                              cw * 0.5, rh * 0.5));
    for (int y = 0; y < 3; ++y)
        p.drawRect(QRectF(wing.left() + wing.width() * 0.3, wing.top() + wing.height() * 0.12 + y * wing.height() * 0.24,
                          wing.width() * 0.4, wing.height() * 0.12));
    setPen(p, kBlueDark, w);
    p.setBrush(kBrown);
    p.drawRect(QRectF(tower.center().x() - cw * 0.45, tower.bottom() - rh * 1.1, cw * 0.9, rh * 1.1));
}

void priceTag(QPainter& p, const QRectF& r, qreal w)
{
    QPainterPath tag;
    const qreal nose = r.width() * 0.3;
    tag.moveTo(r.left(), r.center().y());
    tag.lineTo(r.left() + nose, r.top());
    tag.lineTo(r.right(), r.top());
    tag.lineTo(r.right(), r.bottom());
    tag.lineTo(r.left() + nose, r.bottom());
    tag.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(r.left() + nose * 0.65, r.center().y()), r.height() * 0.08, r.height() * 0.08);
    setPen(p, kGoldDark, w);
    p.setBrush(kGold);
    p.drawPath(tag.subtracted(hole));
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.72));
    p.setFont(f);
    p.setPen(kRedDark);
    p.drawText(QRectF(r.left() + nose * 0.9, r.top(), r.width() - nose * 0.9, r.height()), Qt::AlignCenter,
               QStringLiteral("%"));
}

void barChart(QPainter& p, const QRectF& r, qreal w)
{
    const qreal heights[4] = {0.35, 0.55, 0.45, 0.85};
    const QColor colors[4] = {kBlue, kGreen, kGold, kRed};
    const QColor darks[4] = {kBlueDark, kGreenDark, kGoldDark, kRedDark};
    const qreal bw = r.width() / 4;
    for (int i = 0; i < 4; ++i) {
        setPen(p, darks[i], w);
        p.setBrush(colors[i]);
        const qreal h = r.height() * heights[i];
        p.drawRect(QRectF(r.left() + i * bw + bw * 0.15, r.bottom() - h, bw * 0.7, h));
    }
    setPen(p, kInk, w, Qt::FlatCap);
    p.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.right(), r.bottom()));
}

void upArrow(QPainter& p, const QPointF& from, const QPointF& to, qreal w)
{
    QPainterPath path;
    path.moveTo(from);
    path.lineTo(to);
    outlinedStroke(p, path, w, w * 0.35, kGreen, kGreenDark, Qt::FlatCap);
    const QPointF dir = (to - from) / qSqrt(QPointF::dotProduct(to - from, to - from));
    const QPointF normal(-dir.y(), dir.x());
    QPolygonF head;
    head << to + dir * w * 1.6 << to + normal * w * 1.6 << to - normal * w * 1.6;
    setPen(p, kGreenDark, w * 0.35);
    p.setBrush(kGreen);
    p.drawPolygon(head);
}

// ---------------------------------------------------------------------------------------------
// 16 x 16 glyphs

void drawNew(QPainter& p) { document(p, QRectF(3.5, 1.5, 10, 13), 3.5, 1); }

void drawEdit(QPainter& p)
{
    folder(p, QRectF(0.5, 3.5, 14, 11), 1, true);
    document(p, QRectF(4.5, 1.5, 8, 9), 2.5, 1);
    textLines(p, QRectF(6, 5.5, 4.5, 3), 2, 1);
    folder(p, QRectF(0.5, 3.5, 14, 11), 1, false);
}

void drawSearch(QPainter& p) { magnifier(p, QPointF(6.5, 6.5), 4.6, 5.2, 1.2); }

void drawDelete(QPainter& p)
{
    cross(p, QRectF(2.5, 2.5, 8, 8), 2.6, 1);
    setPen(p, kRedDark, 1);
    p.setBrush(kGold);
    p.drawRect(QRectF(11.5, 4.5, 3, 7));
    p.drawRect(QRectF(11.5, 12.5, 3, 2.5));
}

void drawCross(QPainter& p) { cross(p, QRectF(3.5, 3.5, 9, 9), 2.6, 1); }

void drawTick(QPainter& p) { tick(p, QPointF(2.5, 8.5), QPointF(6.2, 12.2), QPointF(13.5, 3.5), 2.6, 1); }

void drawPrint(QPainter& p) { printer(p, QRectF(1, 1.5, 14, 14), 1); }

void drawMap(QPainter& p) { mapSheet(p, QRectF(0.5, 2.5, 15, 12), 1); }

void drawExit(QPainter& p) { exitDoor(p, QRectF(0, 0, 16, 16), 1); }

void drawDate(QPainter& p) { calendar(p, QRectF(1.5, 2.5, 13, 12), 1, 4); }

void drawPay(QPainter& p)
{
    coin(p, QPointF(9.5, 10.5), 5.5, 2.6, 2.5, 1);
    coin(p, QPointF(9.5, 7.0), 5.5, 2.6, 2.5, 1);
    coin(p, QPointF(5.5, 4.5), 4.5, 2.2, 2.0, 1);
}

void drawCreate(QPainter& p)
{
    document(p, QRectF(2.5, 1.5, 10, 13), 3, 1);
    textLines(p, QRectF(4.5, 6.5, 6, 5), 3, 1);
    plus(p, QPointF(12, 12), 3, 2, 1, kGreen, kGreenDark);
}

void listRows(QPainter& p, const QRectF& r)
{
    setPen(p, kInk, 1);
    p.setBrush(kPaper);
    p.drawRect(r);
    setPen(p, kLine, 1, Qt::FlatCap);
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 3)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void drawSubmit(QPainter& p)
{
    listRows(p, QRectF(0.5, 1.5, 11, 10));
    plus(p, QPointF(11.5, 11.5), 3.5, 2, 1, kGreen, kGreenDark);
}

void drawDeleteLine(QPainter& p)
{
    listRows(p, QRectF(0.5, 1.5, 11, 10));
    minus(p, QPointF(11.5, 12), 3.5, 2, 1);
}

void drawAdvance(QPainter& p)
{
    // A clock with a green arrow pointing on to the next period.
    clockFace(p, QPointF(6.5, 7.5), 5.8, 1);
    QPainterPath arrow;
    arrow.moveTo(9.5, 10.5);
    arrow.lineTo(12.5, 10.5);
    arrow.lineTo(12.5, 8.5);
    arrow.lineTo(15.5, 12);
    arrow.lineTo(12.5, 15.5);
    arrow.lineTo(12.5, 13.5);
    arrow.lineTo(9.5, 13.5);
    arrow.closeSubpath();
    setPen(p, kGreenDark, 1);
    p.setBrush(kGreen);
    p.drawPath(arrow);
}

void drawLogo(QPainter& p) { pictureFrame(p, QRectF(1.5, 2.5, 13, 11), 1); }

void drawDetail(QPainter& p)
{
    document(p, QRectF(1.5, 0.5, 10, 13), 3, 1);
    textLines(p, QRectF(3.5, 5.5, 6, 4), 3, 1);
    magnifier(p, QPointF(10.5, 10.5), 3.2, 2.5, 1);
}

void drawCancelInvoice(QPainter& p)
{
    document(p, QRectF(1.5, 0.5, 10, 13), 3, 1);
    textLines(p, QRectF(3.5, 5.5, 6, 4), 3, 1);
    cross(p, QRectF(8.5, 8.5, 6, 6), 2, 1);
}

void drawInvoice(QPainter& p)
{
    document(p, QRectF(2.5, 0.5, 11, 15), 3, 1);
    textLines(p, QRectF(4.5, 5.5, 7, 6), 4, 1);
}

// ---------------------------------------------------------------------------------------------
// 50 x 50 pictures

void invoiceSheet(QPainter& p, const QRectF& r, qreal w = 2)
{
    document(p, r, r.width() * 0.28, w);
    // A heading block and lines of items with amounts.
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(r.left() + r.width() * 0.14, r.top() + r.height() * 0.12, r.width() * 0.36, r.height() * 0.08));
    textLines(p, QRectF(r.left() + r.width() * 0.14, r.top() + r.height() * 0.36, r.width() * 0.72, r.height() * 0.36), 4, 2);
}

void drawAdmin(QPainter& p)
{
    gear(p, QPointF(31, 19), 15, 11, 9, 2, kGrey, kGreyDark);
    gear(p, QPointF(15, 35), 11, 8, 7, 2, kBlue, kBlueDark);
    // Wrench across the small gear.
    QPainterPath handle;
    handle.moveTo(30, 33);
    handle.lineTo(45, 47);
    outlinedStroke(p, handle, 5, 1.5, QColor(210, 214, 222), kGreyDark, Qt::RoundCap);
    // Open jaw of the wrench at the upper end.
    QPainterPath head;
    head.addEllipse(QPointF(29, 32), 6.5, 6.5);
    QPainterPath jaw;
    jaw.addRect(QRectF(-2.2, -8, 4.4, 8));
    QTransform t;
    t.translate(29, 32);
    t.rotate(-45 - 90);
    head = head.subtracted(t.map(jaw));
    setPen(p, kGreyDark, 1.5);
    p.setBrush(QColor(210, 214, 222));
    p.drawPath(head);
}

void drawInvoicing(QPainter& p)
{
    invoiceSheet(p, QRectF(6, 2, 30, 40));
    coin(p, QPointF(36, 42), 11, 5, 4, 2);
    coin(p, QPointF(36, 35), 11, 5, 4, 2);
}

void drawReports(QPainter& p)
{
    document(p, QRectF(5, 2, 34, 44), 9, 2);
    barChart(p, QRectF(10, 16, 24, 24), 1.5);
    upArrow(p, QPointF(14, 34), QPointF(40, 12), 3);
}

void drawCustomer(QPainter& p)
{
    person(p, QRectF(20, 10, 26, 36), 2, QColor(120, 160, 220), kBlueDark);
    person(p, QRectF(4, 4, 26, 42), 2, kBlue, kBlueDark);
}

void drawProduct(QPainter& p) { box(p, QRectF(4, 8, 42, 36), 2); }

void drawCompany(QPainter& p) { building(p, QRectF(4, 3, 42, 44), 2); }

void drawVat(QPainter& p)
{
    priceTag(p, QRectF(3, 12, 44, 26), 2);
}

void drawInvoices(QPainter& p)
{
    invoiceSheet(p, QRectF(16, 3, 28, 36));
    invoiceSheet(p, QRectF(11, 7, 28, 36));
    invoiceSheet(p, QRectF(6, 11, 28, 36));
}

void drawUnpaid(QPainter& p)
{
    invoiceSheet(p, QRectF(5, 2, 30, 40));
    clockFace(p, QPointF(34, 34), 13, 2, QColor(255, 236, 200));
}

void drawCancelled(QPainter& p)
{
    invoiceSheet(p, QRectF(8, 2, 30, 40));
    cross(p, QRectF(24, 24, 20, 20), 6, 1.5);
}

void drawViewInvoice(QPainter& p)
{
    invoiceSheet(p, QRectF(4, 2, 30, 40));
    magnifier(p, QPointF(31, 30), 10, 8, 2);
}

void drawDateRevenue(QPainter& p)
{
    calendar(p, QRectF(3, 7, 30, 30), 2, 9);
    coin(p, QPointF(35, 41), 11, 5, 4, 2);
    coin(p, QPointF(35, 34), 11, 5, 4, 2);
    upArrow(p, QPointF(33, 26), QPointF(44, 8), 3);
}

void drawMonthEnd(QPainter& p)
{
    document(p, QRectF(4, 2, 30, 42), 8, 2);
    textLines(p, QRectF(9, 14, 20, 20), 5, 2);
    calendar(p, QRectF(24, 24, 22, 22), 2, 6, QStringLiteral("31"));
}

} // namespace

QList<Icon> smallIcons()
{
    return {
        {QStringLiteral("search"), 16, drawSearch},
        {QStringLiteral("new"), 16, drawNew},
        {QStringLiteral("edit"), 16, drawEdit},
        {QStringLiteral("open"), 16, drawEdit},
        {QStringLiteral("delete"), 16, drawDelete},
        {QStringLiteral("cancel"), 16, drawCross},
        {QStringLiteral("close"), 16, drawCross},
        {QStringLiteral("save"), 16, drawTick},
        {QStringLiteral("ok"), 16, drawTick},
        {QStringLiteral("print"), 16, drawPrint},
        {QStringLiteral("map"), 16, drawMap},
        {QStringLiteral("exit"), 16, drawExit},
        {QStringLiteral("date"), 16, drawDate},
        {QStringLiteral("pay"), 16, drawPay},
        {QStringLiteral("create"), 16, drawCreate},
        {QStringLiteral("submit"), 16, drawSubmit},
        {QStringLiteral("delete_line"), 16, drawDeleteLine},
        {QStringLiteral("advance"), 16, drawAdvance},
        {QStringLiteral("logo"), 16, drawLogo},
        {QStringLiteral("detail"), 16, drawDetail},
        {QStringLiteral("cancel_invoice"), 16, drawCancelInvoice},
        {QStringLiteral("invoice"), 16, drawInvoice},
    };
}

QList<Icon> largeIcons()
{
    return {
        {QStringLiteral("admin"), 50, drawAdmin},
        {QStringLiteral("invoicing"), 50, drawInvoicing},
        {QStringLiteral("reports"), 50, drawReports},
        {QStringLiteral("customer"), 50, drawCustomer},
        {QStringLiteral("product"), 50, drawProduct},
        {QStringLiteral("company"), 50, drawCompany},
        {QStringLiteral("vat"), 50, drawVat},
        {QStringLiteral("invoices"), 50, drawInvoices},
        {QStringLiteral("unpaid"), 50, drawUnpaid},
        {QStringLiteral("cancelled"), 50, drawCancelled},
        {QStringLiteral("view_invoice"), 50, drawViewInvoice},
        {QStringLiteral("date_revenue"), 50, drawDateRevenue},
        {QStringLiteral("month_end"), 50, drawMonthEnd},
    };
}

QImage renderIcon(const Icon& icon)
{
    QImage canvas(icon.size, icon.size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        icon.draw(p);
    }
    const QRgb magenta = qRgb(255, 0, 255);
    QImage out(icon.size, icon.size, QImage::Format_RGB32);
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const QRgb c = canvas.pixel(x, y);
            const int a = qAlpha(c);
            if (a < 100) {
                out.setPixel(x, y, magenta);
                continue;
            }
            auto blend = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
            QRgb v = qRgb(blend(qRed(c), kMatte.red()), blend(qGreen(c), kMatte.green()), blend(qBlue(c), kMatte.blue()));
            if (v == magenta)
                v = qRgb(254, 0, 254); // never the transparent colour by accident
            out.setPixel(x, y, v);
        }
    }
    // The top-left pixel decides the transparent colour: keep it magenta.
    out.setPixel(0, 0, magenta);
    return out;
}

QImage iconNamed(const QString& name)
{
    for (const auto& icons : {smallIcons(), largeIcons()})
        for (const Icon& icon : icons)
            if (icon.name == name)
                return renderIcon(icon);
    return QImage();
}

QImage splashLogo()
{
    QImage image(121, 61, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, 0, 61);
    sky.setColorAt(0, QColor(255, 255, 255));
    sky.setColorAt(1, QColor(193, 225, 255));
    p.fillRect(image.rect(), sky);

    // An invoice sheet with a large Z.
    document(p, QRectF(5.5, 6.5, 33, 48), 9, 1.5);
    QFont z(QStringLiteral("Liberation Sans"));
    z.setBold(true);
    z.setPixelSize(30);
    p.setFont(z);
    p.setPen(QColor(0, 88, 179));
    p.drawText(QRectF(5.5, 12, 33, 30), Qt::AlignCenter, QStringLiteral("Z"));
    textLines(p, QRectF(11, 44, 20, 5), 2, 1.5);
    coin(p, QPointF(38, 48), 7.5, 3.3, 3, 1.2);

    QFont name(QStringLiteral("Liberation Sans"));
    name.setBold(true);
    // The largest size at which the name fits beside the sheet.
    const QString title = QStringLiteral("Zuzevevur");
    for (int px = 16; px > 8; --px) {
        name.setPixelSize(px);
        if (QFontMetrics(name).horizontalAdvance(title) <= 68)
            break;
    }
    p.setFont(name);
    p.setPen(QColor(0, 70, 150));
    p.drawText(QRectF(49, 12, 70, 20), Qt::AlignLeft | Qt::AlignVCenter, title);
    QFont sub(QStringLiteral("Liberation Sans"));
    sub.setItalic(true);
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(40, 40, 60));
    p.drawText(QRectF(50, 31, 70, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Creator"));
    setPen(p, QColor(0, 88, 179), 1.2, Qt::FlatCap);
    p.drawLine(QPointF(50, 31.5), QPointF(116, 31.5));

    // A thin frame.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0, 88, 179));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 120, 60);
    return image;
}

QList<int> programIconSizes() { return {16, 22, 24, 32, 48, 64, 128, 256}; }

QImage programIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Drawn on a 256-unit grid; below 32 pixels the outlines grow so that they stay a pixel wide.
    const bool small = size < 32;
    const qreal unit = 256.0 / size;
    const qreal line = qMax<qreal>(small ? 1.2 * unit : 0.9 * unit, 5);
    p.scale(size / 256.0, size / 256.0);

    const QRectF tile = small ? QRectF(6, 6, 244, 244) : QRectF(12, 12, 232, 232);
    QLinearGradient sky(0, tile.top(), 0, tile.bottom());
    sky.setColorAt(0, QColor(122, 178, 240));
    sky.setColorAt(1, QColor(30, 88, 168));
    setPen(p, kBlueDark, line);
    p.setBrush(sky);
    p.drawRoundedRect(tile, 40, 40);

    const QRectF sheet = small ? QRectF(44, 28, 140, 192) : QRectF(60, 38, 122, 170);
    document(p, sheet, small ? 44 : 36, line);
    QFont z(QStringLiteral("Liberation Sans"));
    z.setBold(true);
    z.setPixelSize(small ? 150 : 118);
    p.setFont(z);
    p.setPen(QColor(0, 88, 179));
    const QRectF letter = small ? QRectF(sheet.left(), sheet.top() + 6, sheet.width() - 14, 150)
                                : QRectF(sheet.left(), sheet.top() + 10, sheet.width() - 8, 112);
    p.drawText(letter, Qt::AlignCenter, QStringLiteral("Z"));
    if (!small)
        textLines(p, QRectF(sheet.left() + 20, sheet.top() + 134, 68, 18), 2, line);

    const QPointF centre = small ? QPointF(190, 200) : QPointF(184, 190);
    const qreal rx = small ? 50 : 44;
    coin(p, centre, rx, rx * 0.46, small ? 20 : 16, line);
    return image;
}

} // namespace pictures
