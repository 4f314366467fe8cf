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

// Texts and lines are ink laid on the paper. Consecutive texts in the same font, size and colour
// are drawn as one glyph run (texts stay in their order, which readers of a PDF follow), and the
// lines between two fills or pictures as one path per colour. Print engines write every run and
// path with its own state, so a page drawn this way makes a smaller print job, and faster. Only
// the colour of a pixel where a text crosses a line can differ from drawing them one by one.
void PainterCanvas::fillRect(const QRectF& rect, QRgb color)
{
    flush();
    m_painter.fillRect(rect, QColor::fromRgba(color));
}

void PainterCanvas::drawLine(const QPointF& from, const QPointF& to, QRgb color)
{
    if (!m_lines.isEmpty() && m_lineColor != color)
        flushLines();
    m_lineColor = color;
    m_lines.push_back(QLineF(from, to));
}

void PainterCanvas::drawText(const PageItem& item, const DocFont& font)
{
    const FontFace& face = FontFace::get(font.family, font.bold, font.italic);
    const float em = FontFace::emToTenths(font.pointSize);
    face.shape(item.text, m_runs);
    const bool clip = item.flags & ItemClip;
    for (const TextRun& r : m_runs) {
        if (clip) {
            m_clipped = PendingRun{r.file, em, item.color, {}, {}};
        } else if (m_text.file != r.file || m_text.em != em || m_text.color != item.color) {
            drawRun(m_text);
            m_text = PendingRun{r.file, em, item.color, {}, {}};
        }
        PendingRun& pending = clip ? m_clipped : m_text;
        for (std::size_t i = 0; i < r.glyphs.size(); ++i) {
            pending.glyphs.push_back(r.glyphs[i]);
            pending.positions.push_back(QPointF(item.tx + r.offsets[i] * em, item.ty));
        }
        if (clip) {
            drawRun(m_text);
            m_text = PendingRun{};
            m_painter.save();
            m_painter.setClipRect(QRectF(item.x, item.y, item.w, item.h), Qt::IntersectClip);
            drawRun(m_clipped);
            m_painter.restore();
        }
    }
}

void PainterCanvas::drawRun(const PendingRun& pending)
{
    if (!pending.file || pending.glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(pending.file->drawingFont(pending.em));
    run.setGlyphIndexes(pending.glyphs);
    run.setPositions(pending.positions);
    m_painter.setPen(QColor::fromRgba(pending.color));
    m_painter.drawGlyphRun(QPointF(0, 0), run);
}

void PainterCanvas::flushLines()
{
    if (m_lines.isEmpty())
        return;
    const bool aa = m_painter.testRenderHint(QPainter::Antialiasing);
    if (aa)
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(QPen(QColor::fromRgba(m_lineColor), 0)); // cosmetic: one device pixel
    m_painter.drawLines(m_lines);
    if (aa)
        m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_lines.clear();
}

void PainterCanvas::flush()
{
    drawRun(m_text);
    m_text = PendingRun{};
    flushLines();
}

void PainterCanvas::drawImage(const QRectF& rect, const QImage& image)
{
    flush();
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
