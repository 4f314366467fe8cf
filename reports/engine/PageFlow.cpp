#include "reports/engine/Generator.h"

// The page flow: which band goes where, and when a new page starts.

namespace zz::report {

namespace {

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

} // namespace

Generator::Generator(Report& report, ReportDocument& doc, GenerationObserver* observer)
    : m_report(report), m_doc(doc), m_observer(observer)
{
}

GenerationResult Generator::run()
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

void Generator::compile()
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

void Generator::startPage()
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

void Generator::newPage()
{
    if (m_footer)
        drawBand(*m_footer, m_report.pageHeight - m_report.marginBottom - m_footer->band->height, false);
    startPage();
    if (!m_emptyRun && m_columnHeader) {
        drawBand(*m_columnHeader, m_y, false);
        m_y += m_columnHeader->band->height;
    }
}

void Generator::printBand(CompiledBand& cb, bool blankBound)
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

} // namespace zz::report
