#include "reports/documents/InvoiceReport.h"

#include "data/Errors.h"
#include "reports/documents/DocumentParts.h"

namespace zz::report {

namespace {

const QString kSubTotalSum = QStringLiteral("SUM(Total)");
const QString kVatSum = QStringLiteral("SUM(Total * (Inv_VAT / 100))");
const QString kTotalSum = QStringLiteral("SUM(Total + (Total * (Inv_VAT / 100)))");

// An amount as a constant of the expressions, from its count's own digits: "50.97", "(0 - 3.5)".
// Any whole number of cents up to ten billion prints back through a mask as the same cents.
QString constant(Money m)
{
    const qint64 c = m.count();
    const quint64 magnitude = c < 0 ? 0ULL - static_cast<quint64>(c) : static_cast<quint64>(c);
    const QString digits = QStringLiteral("%1.%2").arg(magnitude / 10000).arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    return c < 0 ? QStringLiteral("(0 - %1)").arg(digits) : digits;
}

void setExpression(Report& report, const char* name, const QString& text)
{
    Element* e = report.element(QLatin1String(name));
    if (!e || e->kind != ElementKind::Expression)
        throw Exception(QStringLiteral("The invoice has no total %1.").arg(QLatin1String(name)));
    e->expression = text;
}

} // namespace

void setStatedTotals(Report& report, const std::optional<StatedTotals>& totals)
{
    setExpression(report, "QRExpr1", totals ? constant(totals->subTotal) : kSubTotalSum);
    setExpression(report, "QRExpr2", totals ? constant(totals->vat) : kVatSum);
    setExpression(report, "QRExpr3", totals ? constant(totals->total) : kTotalSum);
}

void setVatNote(Report& report, const QString& note) { report.setCaption(QStringLiteral("QRLabelVATNote"), note); }

void setPaymentCode(Report& report, const QByteArray& payload)
{
    report.setQrText(QStringLiteral("QRCodePayment"), QString::fromUtf8(payload));
    report.setCaption(QStringLiteral("QRLabelScanToPay"), payload.isEmpty() ? QString() : QStringLiteral("Scan to pay"));
}

std::unique_ptr<Report> buildInvoiceReport(ReportDataset& lines, ReportDataset& company)
{
    auto r = newDocument(QStringLiteral("Invoice"), lines);
    lines.nameRows(QStringLiteral("line %1"), QStringLiteral("Line_Number"));
    Names names;

    Band& title = r->addBand(BandKind::Title, 849, FrameNone, QStringLiteral("TitleBand1"));
    addLogo(title, company);
    title.add(Element::dataText(names.data(), QStringLiteral("Com_Name"), 0, 42, &company).points(20).bold().onBand());
    title.add(Element::dataText(names.data(), QStringLiteral("Com_VAT_No"), 0, 127, &company).points(8).onBand());
    title.add(Element::dataText(names.data(), QStringLiteral("Com_Reg_No"), 0, 169, &company).points(8).onBand());

    // Four columns: bold captions at 2.1 and 127.0 mm, values 92.6 mm wide at 31.8 mm and
    // 27.8 mm wide at 156.6 mm. The company's rows first, then a rule, then the customer's.
    const ParticularsColumns columns{21, 318, 926, 1270, 1566, 278};
    addParticulars(title, names, columns, 254, "Address:", "Com_Address1", "Tel:", "Com_Tel", &company);
    addParticulars(title, names, columns, 318, "City:", "Com_Address2", "Fax:", "Com_Fax", &company);
    addParticulars(title, names, columns, 381, "Postal Code:", "Com_Address3", "Cell:", "Com_Cell", &company);
    title.add(Element::label(names.label(), QString(82, QLatin1Char('_')), 0, 423).onBand());
    addParticulars(title, names, columns, 508, "Customer Name:", "Cus_Name", "Invoice Number:", "Inv_Number");
    addParticulars(title, names, columns, 571, "Address 1:", "Cus_Address1", "Order Number:", "Inv_Order_No");
    addParticulars(title, names, columns, 635, "Address 2:", "Cus_Address2", "Invoice Date:", "Inv_Date");
    addParticulars(title, names, columns, 698, "Address 3:", "Cus_Address3", "Contact Name:", "Cus_Contact");
    addParticulars(title, names, columns, 762, "VAT Number:", "Cus_VAT_No", "Contact Phone:", "Cus_Phone");

    Band& header = r->addBand(BandKind::ColumnHeader, 106, FrameAll, QStringLiteral("ColumnHeaderBand1"));
    addColumnTitles(header, names, 29,
                    {{21, "Product Description"}, {783, "Units"}, {889, "Unit Price"}, {1143, "Discount"},
                     {1312, "Discounted Price"}, {1609, "Total"}});

    Band& detail = r->addBand(BandKind::Detail, 50, FrameLeft | FrameRight, QStringLiteral("DetailBand1"));
    detail.add(Element::dataText(names.data(), QStringLiteral("Prod_Description"), 21, 0).fixedWidth(754));
    detail.add(Element::dataText(names.data(), QStringLiteral("Line_Units"), 783, 0).fixedWidth(87).centered());
    detail.add(Element::dataText(names.data(), QStringLiteral("Line_Price"), 889, 0).fixedWidth(257));
    detail.add(Element::dataText(names.data(), QStringLiteral("Line_Discount"), 1164, 0).fixedWidth(108).centered().color(kRed));
    detail.add(Element::dataText(names.data(), QStringLiteral("Line_Discount_Price"), 1312, 0).fixedWidth(299));
    detail.add(Element::dataText(names.data(), QStringLiteral("Total"), 1609, 0).fixedWidth(235).color(kBlue));

    // The three totals right under the detail column Total.
    Band& summary = r->addBand(BandKind::Summary, 254, FrameAll, QStringLiteral("SummaryBand1"));
    summary.add(Element::label(names.label(), QStringLiteral("Sub-Total"), 1402, 21).bold());
    summary.add(amount(QStringLiteral("QRExpr1"), kSubTotalSum, 1609, 21).color(kBlue));
    summary.add(Element::label(names.label(), QStringLiteral("@"), 1312, 63).bold().color(kRed));
    summary.add(Element::dataText(names.data(), QStringLiteral("Inv_VAT"), 1355, 63).fixedWidth(151).bold().color(kRed));
    summary.add(Element::label(names.label(), QStringLiteral("VAT"), 1503, 63).bold());
    summary.add(amount(QStringLiteral("QRExpr2"), kVatSum, 1609, 63).color(kRed));
    summary.add(Element::label(names.label(), QStringLiteral("Total"), 1482, 169).bold());
    summary.add(amount(QStringLiteral("QRExpr3"), kTotalSum, 1609, 169).bold().color(kBlue));
    // Left of the amounts, up to four lines: why an exempt invoice carries no VAT. Empty (and so
    // printing nothing) unless the caller sets it.
    summary.add(Element::label(QStringLiteral("QRLabelVATNote"), QString(), 21, 21).fixedWidth(1080).withHeight(170));
    // Between that note and the amounts, in the free 21 mm before the "@" of the VAT rate: the
    // payment code, 18 mm square with its quiet zone, and "Scan to pay" under it. Both empty (and
    // so printing nothing, not even white) unless the caller sets them.
    summary.add(Element::qrCode(QStringLiteral("QRCodePayment"), kPaymentCodeLeft, kPaymentCodeTop, kPaymentCodeSize));
    // The words are wider than the code: centred under it over the whole free room.
    Element& scan = summary.add(Element::label(QStringLiteral("QRLabelScanToPay"), QString(), 1104,
                                               kPaymentCodeTop + kPaymentCodeSize + 4)
                                    .fixedWidth(204)
                                    .centered());
    scan.transparent = true;

    Band& footer = r->addBand(BandKind::PageFooter, 106, FrameNone, QStringLiteral("PageFooterBand1"));
    footer.add(Element::label(names.label(), QString(80, QLatin1Char('_')), 0, 0).fixedWidth(1593).onBand());
    footer.add(Element::dataText(names.data(), QStringLiteral("Com_Members"), 0, 42, &company).points(8).onBand());
    return r;
}

QString invoiceDocumentName(int invoiceNumber) { return QStringLiteral("Invoice %1").arg(invoiceNumber); }

} // namespace zz::report
