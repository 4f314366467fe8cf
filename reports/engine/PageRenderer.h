#pragma once
// One page-drawing interface over the device-independent pages: renderPage() walks a page's
// items in order and hands each to a canvas. PainterCanvas draws on any QPainter (preview,
// printer); the PDF backend is in PdfExport.h.
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>

#include "reports/engine/FontFace.h"
#include "reports/engine/ReportDocument.h"

class QPainter;

namespace zz::report {

class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    virtual void beginPage(const ReportDocument& doc, int index) {}
    virtual void fillRect(const QRectF& rect, QRgb color) = 0;
    // A line one device pixel wide.
    virtual void drawLine(const QPointF& from, const QPointF& to, QRgb color) = 0;
    // One line of text: glyphs from item.tx on the baseline item.ty, clipped to the item's
    // rectangle when ItemClip is set.
    virtual void drawText(const PageItem& item, const DocFont& font) = 0;
    virtual void drawImage(const QRectF& rect, const QImage& image) = 0;
    virtual void endPage() {}
};

void renderPage(const ReportDocument& doc, int index, PageCanvas& canvas);

// Draws on a painter whose coordinates are tenths of a millimetre. Text is drawn as glyph runs
// of the same font files and advances the generator measured with, in fonts the font system
// knows, so that print and PDF engines write real text with the fonts embedded.
class PainterCanvas : public PageCanvas {
public:
    explicit PainterCanvas(QPainter& painter) : m_painter(painter) {}
    void fillRect(const QRectF& rect, QRgb color) override;
    void drawLine(const QPointF& from, const QPointF& to, QRgb color) override;
    void drawText(const PageItem& item, const DocFont& font) override;
    void drawImage(const QRectF& rect, const QImage& image) override;
    void endPage() override { flush(); }

private:
    // Glyphs waiting to be drawn as one run.
    struct PendingRun {
        const FontFile* file = nullptr;
        float em = 0;
        QRgb color = 0;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    void drawRun(const PendingRun& pending);
    void flushLines();
    void flush();

    QPainter& m_painter;
    std::vector<TextRun> m_runs;
    PendingRun m_text;    // the texts waiting to be drawn
    PendingRun m_clipped; // a text clipped to its element, drawn at once
    QList<QLineF> m_lines;
    QRgb m_lineColor = 0;
};

// Draws page `index` scaled into `target` (the painter's own coordinates): white paper, then
// the items.
void paintPage(QPainter& painter, const ReportDocument& doc, int index, const QRectF& target);

} // namespace zz::report
