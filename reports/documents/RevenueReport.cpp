#include "reports/documents/RevenueReport.h"

#include "reports/documents/DocumentParts.h"

namespace zz::report {

std::unique_ptr<Report> buildRevenueReport(ReportDataset& revenue, ReportDataset& company)
{
    auto r = newDocument(QStringLiteral("Customer Revenue Report"), revenue);
    // Each row is an invoice: a value the totals cannot use is reported with its invoice.
    revenue.nameRows(QStringLiteral("invoice %1"), QStringLiteral("Inv_Number"));
    Names names({QStringLiteral("QRLabel2")});

    Band& title = r->addBand(BandKind::Title, 320, FrameNone, QStringLiteral("TitleBand1"));
    addLogo(title, company);
    title.add(Element::label(names.label(), QStringLiteral("Customer Revenue Report"), 0, 63).points(18).bold().onBand());
    // The date range, set by the date picker before each preview.
    title.add(Element::label(QStringLiteral("QRLabel2"), QString(), 0, 233).points(10).onBand());

    Band& header = r->addBand(BandKind::ColumnHeader, 106, FrameAll, QStringLiteral("ColumnHeaderBand1"));
    addColumnTitles(header, names, 29, {{42, "Invoice Number"}, {339, "Customer Name"}, {1609, "Total"}});

    Band& detail = r->addBand(BandKind::Detail, 48, FrameLeft | FrameRight, QStringLiteral("DetailBand1"));
    detail.add(Element::dataText(names.data(), QStringLiteral("Inv_Number"), 42, 0).fixedWidth(278));
    detail.add(Element::dataText(names.data(), QStringLiteral("Cus_Name"), 339, 0).fixedWidth(1251));
    detail.add(Element::dataText(names.data(), QStringLiteral("Total"), 1609, 0).fixedWidth(235));

    Band& summary = r->addBand(BandKind::Summary, 254, FrameAll, QStringLiteral("SummaryBand1"));
    summary.add(Element::label(names.label(), QStringLiteral("Sub-Total"), 1376, 21).bold());
    summary.add(amount(QStringLiteral("QRExpr1"), QStringLiteral("SUM(Total)"), 1609, 21).color(kBlue));
    summary.add(Element::label(names.label(), QStringLiteral("VAT"), 1376, 85).bold());
    summary.add(amount(QStringLiteral("QRExpr2"), QStringLiteral("SUM(Total * (Inv_VAT / 100))"), 1609, 85).color(kRed));
    summary.add(Element::label(names.label(), QStringLiteral("Total"), 1376, 169).bold());
    summary.add(amount(QStringLiteral("QRExpr3"), QStringLiteral("SUM(Total + (Total * (Inv_VAT / 100)))"), 1609, 169)
                    .bold()
                    .color(kBlue));
    return r;
}

QString revenueDocumentName(const QDate& start, const QDate& end)
{
    return QStringLiteral("Revenue %1 to %2").arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate));
}

} // namespace zz::report
