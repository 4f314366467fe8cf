#include "reports/ReportDefinition.h"

#include "data/Errors.h"

namespace zz::report {

Element Element::label(const QString& name, const QString& caption, int left, int top)
{
    Element e;
    e.name = name;
    e.kind = ElementKind::Label;
    e.caption = caption;
    e.left = left;
    e.top = top;
    return e;
}

Element Element::dataText(const QString& name, const QString& field, int left, int top, ReportDataset* dataset)
{
    Element e;
    e.name = name;
    e.kind = ElementKind::DataText;
    e.dataField = field;
    e.dataset = dataset;
    e.left = left;
    e.top = top;
    return e;
}

Element Element::image(const QString& name, const QString& field, int left, int top, int width, int height,
                       ReportDataset* dataset)
{
    Element e;
    e.name = name;
    e.kind = ElementKind::DataImage;
    e.dataField = field;
    e.dataset = dataset;
    e.left = left;
    e.top = top;
    e.width = width;
    e.height = height;
    e.autoSize = false;
    return e;
}

Element Element::expr(const QString& name, const QString& expression, int left, int top)
{
    Element e;
    e.name = name;
    e.kind = ElementKind::Expression;
    e.expression = expression;
    e.left = left;
    e.top = top;
    return e;
}

Band& Report::addBand(BandKind kind, int height, int frame, const QString& name)
{
    Band band;
    band.kind = kind;
    band.name = name;
    band.height = height;
    band.frame = frame;
    for (Band& b : bands) {
        if (b.kind == kind) {
            b = std::move(band);
            return b;
        }
    }
    bands.push_back(std::move(band));
    return bands.back();
}

Band* Report::band(BandKind kind)
{
    for (Band& b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

const Band* Report::band(BandKind kind) const
{
    for (const Band& b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

Element* Report::element(const QString& name)
{
    for (Band& b : bands)
        for (Element& e : b.elements)
            if (e.name.compare(name, Qt::CaseInsensitive) == 0)
                return &e;
    return nullptr;
}

void Report::setMask(const QString& elementName, const QString& mask)
{
    Element* e = element(elementName);
    if (!e || e->kind != ElementKind::Expression)
        throw Exception(QStringLiteral("The report %1 has no expression %2").arg(name, elementName));
    e->mask = mask;
}

void Report::setCaption(const QString& elementName, const QString& caption)
{
    Element* e = element(elementName);
    if (!e || e->kind != ElementKind::Label)
        throw Exception(QStringLiteral("The report %1 has no label %2").arg(name, elementName));
    e->caption = caption;
}

} // namespace zz::report
