#include "reports/documents/DocumentParts.h"

namespace zz::report {

std::unique_ptr<Report> newDocument(const QString& name, ReportDataset& rows)
{
    auto r = std::make_unique<Report>();
    r->name = name;
    r->dataset = &rows;
    r->printIfEmpty = true;
    r->options.firstPageHeader = true;
    r->options.lastPageFooter = true;
    return r;
}

QString Names::next(const QString& prefix, int& counter)
{
    QString name;
    do
        name = prefix + QString::number(++counter);
    while (m_reserved.contains(name, Qt::CaseInsensitive));
    return name;
}

void addLogo(Band& band, ReportDataset& company)
{
    band.add(Element::image(QStringLiteral("QRDBImage1"), QStringLiteral("Com_Logo"), 21, 21, 172, 172, &company));
}

void addParticulars(Band& band, Names& names, const ParticularsColumns& c, int top, const char* leftCaption,
                    const char* leftField, const char* rightCaption, const char* rightField, ReportDataset* dataset)
{
    band.add(Element::label(names.label(), QLatin1String(leftCaption), c.leftCaption, top).bold());
    band.add(Element::dataText(names.data(), QLatin1String(leftField), c.leftValue, top, dataset).fixedWidth(c.leftWidth));
    if (!rightCaption)
        return;
    band.add(Element::label(names.label(), QLatin1String(rightCaption), c.rightCaption, top).bold());
    if (rightField)
        band.add(Element::dataText(names.data(), QLatin1String(rightField), c.rightValue, top, dataset)
                     .fixedWidth(c.rightWidth));
}

void addColumnTitles(Band& band, Names& names, int top, std::initializer_list<std::pair<int, const char*>> titles)
{
    for (const auto& [left, caption] : titles)
        band.add(Element::label(names.label(), QLatin1String(caption), left, top).bold());
}

Element amount(const QString& name, const QString& expression, int left, int top)
{
    return Element::expr(name, expression, left, top).fixedWidth(235);
}

} // namespace zz::report
