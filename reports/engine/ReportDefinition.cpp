#include "reports/engine/ReportDefinition.h"

#include "data/Errors.h"

namespace zz::report {

namespace {
Element make(const QString& name, ElementKind kind, int left, int top)
{
    Element e;
    e.name = name;
    e.kind = kind;
    e.left = left;
    e.top = top;
    return e;
}
} // namespace

Element Element::label(const QString& name, const QString& caption, int left, int top)
{
    Element e = make(name, ElementKind::Label, left, top);
    e.caption = caption;
    return e;
}

Element Element::dataText(const QString& name, const QString& field, int left, int top, ReportDataset* dataset)
{
    Element e = make(name, ElementKind::DataText, left, top);
    e.dataField = field;
    e.dataset = dataset;
    return e;
}

Element Element::image(const QString& name, const QString& field, int left, int top, int width, int height,
                       ReportDataset* dataset)
{
    Element e = make(name, ElementKind::DataImage, left, top);
    e.dataField = field;
    e.dataset = dataset;
    e.width = width;
    e.height = height;
    e.autoSize = false;
    return e;
}

Element Element::expr(const QString& name, const QString& expression, int left, int top)
{
    Element e = make(name, ElementKind::Expression, left, top);
    e.expression = expression;
    return e;
}

Element Element::qrCode(const QString& name, int left, int top, int size)
{
    Element e = make(name, ElementKind::QrCode, left, top);
    e.width = size;
    e.height = size;
    e.autoSize = false;
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

void Report::setQrText(const QString& elementName, const QString& text)
{
    Element* e = element(elementName);
    if (!e || e->kind != ElementKind::QrCode)
        throw Exception(QStringLiteral("The report %1 has no QR code %2").arg(name, elementName));
    e->caption = text;
}

} // namespace zz::report
