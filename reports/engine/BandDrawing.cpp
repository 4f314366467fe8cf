#include "reports/engine/Generator.h"
#include "reports/engine/QrCode.h"

#include <cmath>

#include "data/Errors.h"
#include "data/Schema.h"

// Drawing a band into its page: its fills, frame lines, texts and pictures.

namespace zz::report {

bool Generator::overlaps(const QRectF& a, const QRectF& b)
{
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
}

void Generator::fill(const QRectF& r, QRgb color, quint16 tag)
{
    if (color == kWhite) {
        // White on untouched paper changes nothing.
        bool needed = r.top() < m_inkBottomBeforeBand;
        for (std::size_t i = 0; !needed && i < m_bandInk.size(); ++i)
            needed = overlaps(r, m_bandInk[i]);
        if (!needed)
            return;
    } else {
        addInk(r);
    }
    m_bandFills.push_back(r);
    PageItem it;
    it.kind = ItemKind::Fill;
    it.tag = tag;
    it.color = color;
    it.x = r.x();
    it.y = r.y();
    it.w = r.width();
    it.h = r.height();
    page().items.push_back(std::move(it));
}

void Generator::line(float x1, float y1, float x2, float y2, quint16 tag)
{
    PageItem it;
    it.kind = ItemKind::Line;
    it.tag = tag;
    it.color = kBlack;
    it.x = x1;
    it.y = y1;
    it.w = x2;
    it.h = y2;
    page().items.push_back(std::move(it));
    m_bandLines.push_back({x1, y1, x2, y2, tag});
    // A line covers no area: it only meets a fill that it crosses or runs inside.
    addInk(QRectF(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2))));
}

void Generator::drawBand(CompiledBand& cb, float top, bool blankBound)
{
    const Band& band = *cb.band;
    const float left = m_report.marginLeft;
    const float width = m_report.printableWidth();
    m_bandInk.clear();
    fill(QRectF(left, top, width, band.height), band.background, cb.tag);
    for (CompiledElement& ce : cb.elements)
        drawElement(ce, left, top, width, blankBound);
    if (band.frame & FrameTop)
        line(left, top, left + width, top, cb.tag);
    if (band.frame & FrameBottom)
        line(left, top + band.height, left + width, top + band.height, cb.tag);
    if (band.frame & FrameLeft)
        line(left, top, left, top + band.height, cb.tag);
    if (band.frame & FrameRight)
        line(left + width, top, left + width, top + band.height, cb.tag);
    float inkBottom = m_inkBottomBeforeBand;
    for (const QRectF& r : m_bandInk)
        inkBottom = std::max(inkBottom, float(r.bottom()));
    m_inkBottomBeforeBand = inkBottom;
    m_bandInk.clear();
    redrawCoveredLinesAbove();
    m_linesAbove = std::move(m_bandLines);
    m_bandLines.clear();
    m_bandFills.clear();
}

void Generator::redrawCoveredLinesAbove()
{
    constexpr float kTouch = 0.01f;
    for (const DrawnLine& l : m_linesAbove) {
        const QRectF span(QPointF(std::min(l.x1, l.x2), std::min(l.y1, l.y2)),
                          QPointF(std::max(l.x1, l.x2), std::max(l.y1, l.y2)));
        for (const QRectF& f : m_bandFills) {
            if (f.left() <= span.right() + kTouch && span.left() <= f.right() + kTouch
                && f.top() <= span.bottom() + kTouch && span.top() <= f.bottom() + kTouch) {
                line(l.x1, l.y1, l.x2, l.y2, l.tag);
                break;
            }
        }
    }
}

QString Generator::elementText(CompiledElement& ce, bool blankBound, bool& number)
{
    const Element& e = *ce.element;
    number = false;
    switch (e.kind) {
    case ElementKind::Label: return e.caption;
    case ElementKind::DataText:
        if ((blankBound && ce.bound) || !ce.dataset || ce.field < 0 || ce.dataset->isEmpty())
            return {};
        try {
            const FieldType type = ce.dataset->fieldType(ce.field);
            number = isNumericType(type);
            return fieldDisplayText(*ce.dataset, ce.field);
        } catch (...) {
            return {}; // a value that cannot be read prints empty
        }
    case ElementKind::Expression: {
        const Value v = ce.expression->evaluate(m_context);
        if (v.kind == ValueKind::Error)
            throw Exception(QStringLiteral("The expression \"%1\" of %2 cannot be evaluated: %3")
                                .arg(e.expression, e.name, v.s));
        number = v.isNumber();
        QString text = valueText(v, e.mask);
        if (e.resetAfterPrint)
            ce.expression->resetAggregates();
        return text;
    }
    case ElementKind::DataImage:
    case ElementKind::QrCode: break;
    }
    return {};
}

void Generator::drawElement(CompiledElement& ce, float bandLeft, float bandTop, float bandWidth, bool blankBound)
{
    const Element& e = *ce.element;
    if (e.kind == ElementKind::DataImage) {
        const QRectF r(bandLeft + e.left, bandTop + e.top, e.width, e.height);
        fill(r, kWhite, ce.tag);
        if ((blankBound && ce.bound) || !ce.dataset || ce.field < 0 || ce.dataset->isEmpty())
            return;
        QImage image;
        try {
            image = decodeStoredPicture(ce.dataset->value(ce.field));
        } catch (...) {
            return;
        }
        if (image.isNull())
            return;
        PageItem it;
        it.kind = ItemKind::Image;
        it.tag = ce.tag;
        it.image = m_doc.imageIndex(image);
        it.x = r.x();
        it.y = r.y();
        it.w = r.width();
        it.h = r.height();
        page().items.push_back(std::move(it));
        addInk(r);
        return;
    }

    if (e.kind == ElementKind::QrCode) {
        if (e.caption.isEmpty())
            return;
        const QRectF square(bandLeft + e.left, bandTop + e.top, e.width, e.width);
        fill(square, kWhite, ce.tag);
        for (const QRectF& r : qrRectangles(encodeQr(e.caption.toUtf8()), square))
            fill(r, kBlack, ce.tag);
        addInk(square);
        return;
    }

    bool number = false;
    const QString text = elementText(ce, blankBound, number);
    const float height = e.height > 0 ? float(e.height) : std::ceil(ce.lineHeight);
    const int maxLines = std::max(1, int(std::floor(height / ce.lineHeight + 0.05f)));
    // An amount wider than its column is printed whole rather than cut at the blank after
    // the currency symbol (which would leave the symbol alone) or clipped.
    const bool wrap = e.wordWrap && !e.autoSize && !number;
    breakLines(text, *ce.face, ce.em, wrap ? float(e.width) : -1.0f, maxLines, m_lines);

    float width = e.width;
    if (e.autoSize) {
        width = 0;
        for (const TextLine& l : m_lines)
            width = std::max(width, l.width);
    }
    float x = e.left;
    if (e.alignToBand) {
        if (e.alignment == Alignment::Center)
            x = (bandWidth - width) / 2;
        else if (e.alignment == Alignment::Right)
            x = bandWidth - width;
        else
            x = 0;
    } else if (e.autoSize) {
        if (e.alignment == Alignment::Center)
            x = e.left + (e.width - width) / 2;
        else if (e.alignment == Alignment::Right)
            x = e.left + e.width - width;
    }
    if (number && !e.autoSize) {
        // An amount wider than its column grows to the left: its right edge stays where
        // the column ends, inside the frame line that follows it.
        float widest = 0;
        for (const TextLine& l : m_lines)
            widest = std::max(widest, l.width);
        if (widest > width) {
            x += width - widest;
            width = widest;
        }
    }
    const QRectF rect(bandLeft + x, bandTop + e.top, width, height);
    if (!e.transparent)
        fill(rect, kWhite, ce.tag);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const TextLine& l = m_lines[i];
        if (l.length == 0)
            continue;
        PageItem it;
        it.kind = ItemKind::Text;
        it.tag = ce.tag;
        it.font = ce.font;
        it.color = ce.color;
        it.x = rect.x();
        it.w = rect.width();
        it.y = rect.y() + i * ce.lineHeight;
        it.h = ce.lineHeight;
        float tx = it.x;
        if (e.alignment == Alignment::Center)
            tx += (width - l.width) / 2;
        else if (e.alignment == Alignment::Right)
            tx += width - l.width;
        it.tx = tx;
        it.ty = it.y + ce.ascent;
        if (!e.autoSize && !number && l.width > width + 0.05f)
            it.flags |= ItemClip;
        it.text = (l.start == 0 && l.length == text.size()) ? text : text.mid(l.start, l.length);
        addInk(QRectF(std::min(tx, it.x), it.y, std::max(l.width, it.w), it.h));
        page().items.push_back(std::move(it));
    }
}

} // namespace zz::report
