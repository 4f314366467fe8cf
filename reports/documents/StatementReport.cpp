#include "reports/documents/StatementReport.h"

#include "data/Regional.h"
#include "reports/documents/DocumentParts.h"

namespace zz::report {

std::unique_ptr<Report> buildStatementReport(const StatementDatasets& data)
{
    auto r = newDocument(QStringLiteral("Statement"), data.invoices);
    data.invoices.nameRows(QStringLiteral("invoice %1"), QStringLiteral("Inv_Number"));
    Names names({QStringLiteral("QRLabel8")});

    Band& title = r->addBand(BandKind::Title, 574, FrameNone, QStringLiteral("TitleBand1"));
    addLogo(title, data.company);
    title.add(Element::dataText(names.data(), QStringLiteral("Com_Name"), 0, 63, &data.company).points(18).bold().onBand());
    title.add(Element::label(names.label(), QStringLiteral("Statement"), 0, 508).points(14).bold().color(kRed).onBand());

    // The customer's particulars from the detail rows; the date of the run at the right.
    const ParticularsColumns columns{21, 318, 934, 1270, 1503, 320};
    addParticulars(title, names, columns, 254, "Customer Name:", "Cus_Name", "Date:");
    title.add(Element::label(QStringLiteral("QRLabel8"), QString(), columns.rightValue, 254).fixedWidth(columns.rightWidth));
    addParticulars(title, names, columns, 318, "Address 1:", "Cus_Address1");
    addParticulars(title, names, columns, 381, "Address 2:", "Cus_Address2", "Contact:", "Cus_Contact");
    addParticulars(title, names, columns, 445, "Address 3:", "Cus_Address3", "Phone:", "Cus_Phone");

    Band& header = r->addBand(BandKind::ColumnHeader, 106, FrameAll, QStringLiteral("ColumnHeaderBand1"));
    addColumnTitles(header, names, 29,
                    {{21, "Invoice Number"}, {571, "Invoice Date"}, {1080, "Invoice Days"}, {1588, "Total"}});

    Band& detail = r->addBand(BandKind::Detail, 85, FrameLeft | FrameRight, QStringLiteral("DetailBand1"));
    const std::pair<int, const char*> cells[] = {{21, "Inv_Number"}, {571, "Inv_Date"}, {1080, "Inv_Days"}, {1588, "Total"}};
    for (const auto& [left, field] : cells)
        detail.add(Element::dataText(names.data(), QLatin1String(field), left, 21));

    // The ageing line, oldest first: each heading with its class total right below it.
    Band& summary = r->addBand(BandKind::Summary, 233, FrameAll, QStringLiteral("SummaryBand1"));
    const std::pair<int, const char*> headings[] = {{42, "120+ Days"}, {275, "120 Days"}, {508, "90 Days"},
                                                     {720, "60 Days"}, {952, "30 Days"}, {1185, "CURRENT"}};
    ReportDataset* const totals[] = {&data.days120Plus, &data.days120, &data.days90,
                                     &data.days60, &data.days30, &data.current};
    for (int i = 0; i < 6; ++i) {
        const auto& [left, heading] = headings[i];
        summary.add(Element::label(names.label(), QLatin1String(heading), left, 42).bold().color(kBlue));
        summary.add(Element::dataText(names.data(), QStringLiteral("Total"), left, 106, totals[i]));
    }
    summary.add(Element::label(names.label(), QStringLiteral("Total"), 1439, 85).bold().color(kBlue));
    summary.add(Element::expr(QStringLiteral("QRExpr1"), QStringLiteral("SUM(Total)"), 1588, 85).bold().color(kRed));
    return r;
}

QString statementDateText(const QDateTime& when)
{
    const QString date = formatShortDate(when.date());
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + formatLongTime(when.time());
}

QString statementDocumentName(const QString& customerName, const QDate& date)
{
    const QString name = customerName.trimmed();
    return QStringLiteral("Statement ") + (name.isEmpty() ? QString() : name + QLatin1Char(' ')) + date.toString(Qt::ISODate);
}

} // namespace zz::report
