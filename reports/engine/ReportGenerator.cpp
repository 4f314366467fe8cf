#include "reports/engine/ReportGenerator.h"

#include "data/Errors.h"
#include "data/FieldText.h"
#include "data/Logo.h"
#include "data/Schema.h"
#include "reports/engine/Expression.h"
#include "reports/engine/FontFace.h"

#include <QRectF>
#include <cmath>
#include <memory>

namespace zz::report {

class GeneratingGuard {
public:
    explicit GeneratingGuard(Report& r) : m_report(r) { m_report.m_generating = true; }
    ~GeneratingGuard() { m_report.m_generating = false; }

private:
    Report& m_report;
};

QString fieldDisplayText(const ReportDataset& dataset, int field)
{
    return fieldText(dataset.fieldType(field), dataset.value(field), dataset.displayFormat(field));
}

QImage decodeStoredPicture(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QImage)
        return value.value<QImage>();
    const QByteArray bytes = value.toByteArray();
    QImage image = decodeLogo(bytes);
    // A dataset of another kind may hold a picture in another format.
    if (image.isNull() && !bytes.isEmpty())
        image.loadFromData(logoImageBytes(bytes));
    return image;
}

namespace {

struct CompiledElement {
    const Element* element = nullptr;
    quint16 tag = 0;
    quint16 font = 0;
    const FontFace* face = nullptr;
    float em = 0;        // tenths of a millimetre per em
    float lineHeight = 0;
    float ascent = 0;
    QRgb color = kBlack;
    ReportDataset* dataset = nullptr;
    bool bound = false;
    int field = -1;
    std::unique_ptr<Expression> expression;
};

struct CompiledBand {
    const Band* band = nullptr;
    quint16 tag = 0;
    std::vector<CompiledElement> elements;
};

struct TextLine {
    int start = 0;
    int length = 0;
    float width = 0;
};

QString bandTag(const Band& b)
{
    if (!b.name.isEmpty())
        return b.name;
    switch (b.kind) {
    case BandKind::Title: return QStringLiteral("Title");
    case BandKind::PageHeader: return QStringLiteral("PageHeader");
    case BandKind::ColumnHeader: return QStringLiteral("ColumnHeader");
    case BandKind::Detail: return QStringLiteral("Detail");
    case BandKind::Summary: return QStringLiteral("Summary");
    case BandKind::PageFooter: return QStringLiteral("PageFooter");
    }
    return {};
}

bool isLineBreak(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

class Generator {
public:
    Generator(Report& report, ReportDocument& doc, GenerationObserver* observer)
        : m_report(report), m_doc(doc), m_observer(observer)
    {
    }

    GenerationResult run()
    {
        m_doc.clear();
        m_doc.pageWidth = m_report.pageWidth;
        m_doc.pageHeight = m_report.pageHeight;
        m_doc.title = m_report.title;
        m_doc.documentName = m_report.documentName;
        compile();
        m_context.dataset = m_report.dataset;
        m_context.reportTitle = m_report.title;
        for (Expression* e : m_aggregates)
            e->resetAggregates();

        ReportDataset* data = m_report.dataset;
        const bool empty = !data || data->isEmpty();
        if (empty && !m_report.printIfEmpty)
            return GenerationResult::Completed;
        if (data)
            data->first();
        m_limit = m_report.pageHeight - m_report.marginBottom - (m_footer ? m_footer->band->height : 0);
        startPage();
        if (m_title)
            printBand(*m_title);
        if (empty) {
            m_emptyRun = true;
            if (m_detail)
                printBand(*m_detail, true);
        } else {
            if (m_columnHeader)
                printBand(*m_columnHeader);
            const int total = data->recordCount();
            int done = 0;
            int lastStep = 0;
            if (m_observer && total > 0)
                m_observer->progress(0);
            while (!data->eof()) {
                for (Expression* e : m_aggregates)
                    e->updateAggregates(m_context);
                if (m_detail)
                    printBand(*m_detail);
                data->next();
                ++done;
                if (m_observer) {
                    if (total > 0) {
                        const int step = int(qint64(done) * 100 / total) / 5 * 5;
                        if (step != lastStep) {
                            lastStep = step;
                            m_observer->progress(qMin(step, 100));
                        }
                    }
                    if (!m_observer->keepGoing())
                        return GenerationResult::Stopped;
                }
            }
            if (m_observer && total > 0 && lastStep != 100)
                m_observer->progress(100);
        }
        if (m_summary)
            printBand(*m_summary);
        if (m_footer && m_report.options.lastPageFooter)
            drawBand(*m_footer, m_report.pageHeight - m_report.marginBottom - m_footer->band->height, false);
        return GenerationResult::Completed;
    }

private:
    Report& m_report;
    ReportDocument& m_doc;
    GenerationObserver* m_observer;
    std::vector<std::unique_ptr<CompiledBand>> m_bands;
    CompiledBand* m_title = nullptr;
    CompiledBand* m_pageHeader = nullptr;
    CompiledBand* m_columnHeader = nullptr;
    CompiledBand* m_detail = nullptr;
    CompiledBand* m_summary = nullptr;
    CompiledBand* m_footer = nullptr;
    std::vector<Expression*> m_aggregates;
    EvalContext m_context;
    float m_y = 0;
    float m_limit = 0;
    int m_pageNumber = 0;
    bool m_pageHasBody = false;
    bool m_emptyRun = false;
    // What has been painted in other colours than white, to tell which white fills matter.
    float m_inkBottomBeforeBand = 0;
    std::vector<QRectF> m_bandInk;
    // The frame lines of the band drawn last on this page and of the band being drawn, and the
    // fills the band being drawn has painted: a fill that reaches the edge it shares with the band
    // above would paint over that band's bottom line, which is then drawn again.
    struct DrawnLine {
        float x1, y1, x2, y2;
        quint16 tag;
    };
    std::vector<DrawnLine> m_linesAbove;
    std::vector<DrawnLine> m_bandLines;
    std::vector<QRectF> m_bandFills;
    std::vector<TextLine> m_lines;

    Page& page() { return m_doc.pages.back(); }

    void compile()
    {
        for (const Band& band : m_report.bands) {
            auto cb = std::make_unique<CompiledBand>();
            cb->band = &band;
            cb->tag = m_doc.tagIndex(bandTag(band));
            for (const Element& e : band.elements) {
                CompiledElement ce;
                ce.element = &e;
                ce.tag = m_doc.tagIndex(e.name);
                const FontSpec& spec = e.font ? *e.font : m_report.defaultFont;
                ce.font = m_doc.fontIndex(DocFont{spec.family, float(spec.pointSize), spec.bold, spec.italic});
                ce.face = &FontFace::get(spec.family, spec.bold, spec.italic);
                ce.em = FontFace::emToTenths(spec.pointSize);
                ce.lineHeight = ce.face->lineSpacing() * ce.em;
                ce.ascent = ce.face->ascent() * ce.em;
                ce.color = spec.color;
                ce.dataset = e.dataset ? e.dataset : m_report.dataset;
                ce.bound = ce.dataset && ce.dataset == m_report.dataset;
                if ((e.kind == ElementKind::DataText || e.kind == ElementKind::DataImage) && ce.dataset)
                    ce.field = ce.dataset->fieldIndex(e.dataField);
                if (e.kind == ElementKind::Expression) {
                    ce.expression = Expression::compile(e.expression, m_report.dataset);
                    if (ce.expression->hasAggregates())
                        m_aggregates.push_back(ce.expression.get());
                }
                cb->elements.push_back(std::move(ce));
            }
            switch (band.kind) {
            case BandKind::Title: m_title = cb.get(); break;
            case BandKind::PageHeader: m_pageHeader = cb.get(); break;
            case BandKind::ColumnHeader: m_columnHeader = cb.get(); break;
            case BandKind::Detail: m_detail = cb.get(); break;
            case BandKind::Summary: m_summary = cb.get(); break;
            case BandKind::PageFooter: m_footer = cb.get(); break;
            }
            m_bands.push_back(std::move(cb));
        }
    }

    void startPage()
    {
        m_doc.pages.emplace_back();
        ++m_pageNumber;
        m_context.pageNumber = m_pageNumber;
        m_y = m_report.marginTop;
        m_inkBottomBeforeBand = 0;
        m_linesAbove.clear();
        m_pageHasBody = false;
        if (m_observer)
            m_observer->pageStarted(m_doc.pageCount());
        if (m_pageHeader && (m_pageNumber > 1 || m_report.options.firstPageHeader)) {
            drawBand(*m_pageHeader, m_y, false);
            m_y += m_pageHeader->band->height;
        }
    }

    void newPage()
    {
        if (m_footer)
            drawBand(*m_footer, m_report.pageHeight - m_report.marginBottom - m_footer->band->height, false);
        startPage();
        if (!m_emptyRun && m_columnHeader) {
            drawBand(*m_columnHeader, m_y, false);
            m_y += m_columnHeader->band->height;
        }
    }

    void printBand(CompiledBand& cb, bool blankBound = false)
    {
        const int height = cb.band->height;
        if (m_y + height > m_limit + 0.01f && m_pageHasBody) {
            const bool isHeader = &cb == m_columnHeader;
            if (isHeader && m_footer)
                drawBand(*m_footer, m_report.pageHeight - m_report.marginBottom - m_footer->band->height, false);
            if (isHeader)
                startPage(); // the header itself is the band that did not fit
            else
                newPage();
        }
        drawBand(cb, m_y, blankBound);
        m_y += height;
        m_pageHasBody = true;
    }

    // ---- drawing into the page ----

    void addInk(const QRectF& r) { m_bandInk.push_back(r); }

    static bool overlaps(const QRectF& a, const QRectF& b)
    {
        return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
    }

    void fill(const QRectF& r, QRgb color, quint16 tag)
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

    void line(float x1, float y1, float x2, float y2, quint16 tag)
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

    void drawBand(CompiledBand& cb, float top, bool blankBound)
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

    // Draws again the lines of the band above that a fill of this band touched.
    void redrawCoveredLinesAbove()
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

    // The element's text; `number` tells whether it shows an amount (a numeric field or a
    // numeric expression value).
    QString elementText(CompiledElement& ce, bool blankBound, bool& number)
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
        case ElementKind::DataImage: break;
        }
        return {};
    }

    // Breaks the text into the lines that fit the element's height: at line breaks, and where
    // the width is fixed also at spaces.
    void layout(const CompiledElement& ce, const QString& text, float maxWidth, int maxLines)
    {
        m_lines.clear();
        const int n = text.size();
        const FontFace& face = *ce.face;
        const float em = ce.em;
        auto measure = [&](int start, int end) {
            while (end > start && text.at(end - 1) == QLatin1Char(' '))
                --end;
            return TextLine{start, end - start, face.width(QStringView(text).mid(start, end - start)) * em};
        };
        int pos = 0;
        while (int(m_lines.size()) < maxLines) {
            int paragraphEnd = pos;
            while (paragraphEnd < n && !isLineBreak(text.at(paragraphEnd)))
                ++paragraphEnd;
            int start = pos;
            if (maxWidth >= 0) {
                float w = 0;
                int breakAt = -1;
                for (int i = start; i < paragraphEnd; ++i) {
                    const QChar c = text.at(i);
                    w += face.advanceAt(text, i) * em;
                    if (c == QLatin1Char(' ')) {
                        if (i > start)
                            breakAt = i;
                        continue;
                    }
                    if (w > maxWidth + 0.01f && breakAt > start) {
                        m_lines.push_back(measure(start, breakAt));
                        if (int(m_lines.size()) >= maxLines)
                            return;
                        start = breakAt;
                        while (start < paragraphEnd && text.at(start) == QLatin1Char(' '))
                            ++start;
                        i = start - 1;
                        w = 0;
                        breakAt = -1;
                    }
                }
            }
            m_lines.push_back(measure(start, paragraphEnd));
            if (paragraphEnd >= n)
                return;
            pos = paragraphEnd + 1;
            if (text.at(paragraphEnd) == QLatin1Char('\r') && pos < n && text.at(pos) == QLatin1Char('\n'))
                ++pos;
        }
    }

    void drawElement(CompiledElement& ce, float bandLeft, float bandTop, float bandWidth, bool blankBound)
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

        bool number = false;
        const QString text = elementText(ce, blankBound, number);
        const float height = e.height > 0 ? float(e.height) : std::ceil(ce.lineHeight);
        const int maxLines = std::max(1, int(std::floor(height / ce.lineHeight + 0.05f)));
        // An amount wider than its column is printed whole rather than cut at the blank after
        // the currency symbol (which would leave the symbol alone) or clipped.
        const bool wrap = e.wordWrap && !e.autoSize && !number;
        layout(ce, text, wrap ? float(e.width) : -1.0f, maxLines);

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
};

} // namespace

GenerationResult generateReport(Report& report, ReportDocument& document, GenerationObserver* observer)
{
    GeneratingGuard guard(report);
    Generator generator(report, document, observer);
    return generator.run();
}

} // namespace zz::report
