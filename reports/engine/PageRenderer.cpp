#include "reports/engine/PageRenderer.h"

#include "reports/engine/FontFace.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>

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
    const float em = FontFace::emToTenths(font.pointSize);
    face.shape(item.text, m_runs);
    const bool clip = item.flags & ItemClip;
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(QRectF(item.x, item.y, item.w, item.h), Qt::IntersectClip);
    }
    m_painter.setPen(QColor::fromRgba(item.color));
    for (const TextRun& r : m_runs) {
        QList<quint32> glyphs(r.glyphs.begin(), r.glyphs.end());
        QList<QPointF> positions;
        positions.reserve(glyphs.size());
        for (const float offset : r.offsets)
            positions.push_back(QPointF(item.tx + offset * em, item.ty));
        QGlyphRun run;
        run.setRawFont(r.file->drawingFont(em));
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    }
    if (clip)
        m_painter.restore();
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
