#pragma once
// The report generator's working state: the report's bands compiled for one run, and the run
// itself, which flows the bands onto pages (PageFlow.cpp) and draws each band into its page
// (BandDrawing.cpp).
#include <QRectF>
#include <memory>
#include <vector>

#include "reports/engine/Expression.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/LineBreaker.h"
#include "reports/engine/ReportGenerator.h"

namespace zz::report {

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

class Generator {
public:
    Generator(Report& report, ReportDocument& doc, GenerationObserver* observer);

    GenerationResult run();

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

    // ---- the page flow ----
    void compile();
    void startPage();
    void newPage();
    void printBand(CompiledBand& cb, bool blankBound = false);

    // ---- drawing into the page ----
    void addInk(const QRectF& r) { m_bandInk.push_back(r); }
    static bool overlaps(const QRectF& a, const QRectF& b);
    void fill(const QRectF& r, QRgb color, quint16 tag);
    void line(float x1, float y1, float x2, float y2, quint16 tag);
    void drawBand(CompiledBand& cb, float top, bool blankBound);
    // Draws again the lines of the band above that a fill of this band touched.
    void redrawCoveredLinesAbove();
    // The element's text; `number` tells whether it shows an amount (a numeric field or a
    // numeric expression value).
    QString elementText(CompiledElement& ce, bool blankBound, bool& number);
    void drawElement(CompiledElement& ce, float bandLeft, float bandTop, float bandWidth, bool blankBound);
};

} // namespace zz::report
