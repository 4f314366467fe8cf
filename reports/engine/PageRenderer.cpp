#include "reports/engine/PageRenderer.h"

#include "reports/engine/FontFace.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <map>
#include <tuple>

namespace zz::report {

void renderPage(const ReportDocument& doc, int index, PageCanvas& canvas)
{
    if (index < 0 || index >= doc.pageCount())
        return;
    canvas.beginPage(doc, index);
    for (const PageItem& it : doc.pages[index].items) {
        switch (it.kind) {
        case ItemKind::Fill: canvas.fillRect(QRectF(it.x, it.y, it.w, it.h), it.color); break;
        case ItemKind::Line: canvas.drawLine(QPointF(it.x, it.y), QPointF(it.w, it.h), it.color); break;
        case ItemKind::Text:
            if (it.font < doc.fonts.size())
                canvas.drawText(it, doc.fonts[it.font]);
            break;
        case ItemKind::Image:
            if (it.image < doc.images.size())
                canvas.drawImage(QRectF(it.x, it.y, it.w, it.h), doc.images[it.image]);
            break;
        }
    }
    canvas.endPage();
}

void PainterCanvas::fillRect(const QRectF& rect, QRgb color) { m_painter.fillRect(rect, QColor::fromRgba(color)); }

void PainterCanvas::drawLine(const QPointF& from, const QPointF& to, QRgb color)
{
    QPen pen(QColor::fromRgba(color), 0); // cosmetic: one device pixel
    const bool aa = m_painter.testRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(pen);
    m_painter.drawLine(from, to);
    m_painter.setRenderHint(QPainter::Antialiasing, aa);
}

void PainterCanvas::drawText(const PageItem& item, const DocFont& font)
{
    const FontFace& face = FontFace::get(font.family, font.bold, font.italic);
    static std::map<std::tuple<const FontFace*, float>, QRawFont> sized;
    auto key = std::make_tuple(&face, font.pointSize);
    auto it = sized.find(key);
    if (it == sized.end()) {
        QRawFont raw = face.rawFont();
        raw.setPixelSize(FontFace::emToTenths(font.pointSize));
        it = sized.emplace(key, raw).first;
    }
    const float em = FontFace::emToTenths(font.pointSize);
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(item.text.size());
    positions.reserve(item.text.size());
    float x = item.tx;
    for (const QChar c : item.text) {
        glyphs.push_back(face.glyph(c));
        positions.push_back(QPointF(x, item.ty));
        x += face.advance(c) * em;
    }
    QGlyphRun run;
    run.setRawFont(it->second);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    m_painter.setPen(QColor::fromRgba(item.color));
    if (item.flags & ItemClip) {
        m_painter.save();
        m_painter.setClipRect(QRectF(item.x, item.y, item.w, item.h), Qt::IntersectClip);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
        m_painter.restore();
    } else {
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    }
}

void PainterCanvas::drawImage(const QRectF& rect, const QImage& image)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter.drawImage(rect, image);
    m_painter.restore();
}

void paintPage(QPainter& painter, const ReportDocument& doc, int index, const QRectF& target)
{
    painter.save();
    painter.fillRect(target, Qt::white);
    painter.translate(target.topLeft());
    painter.scale(target.width() / doc.pageWidth, target.height() / doc.pageHeight);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PainterCanvas canvas(painter);
    renderPage(doc, index, canvas);
    painter.restore();
}

} // namespace zz::report
