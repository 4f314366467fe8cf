#include "reports/documents/CreditNoteReport.h"

#include "data/Errors.h"

namespace zz::report {

namespace {

// The space the heading, the reference and the reason take under the particulars.
constexpr int kAddedHeight = 230;

Element* elementWithCaption(Band& band, const QString& caption)
{
    for (Element& e : band.elements)
        if (e.kind == ElementKind::Label && e.caption == caption)
            return &e;
    return nullptr;
}

Element* dataElement(Band& band, const QString& field)
{
    for (Element& e : band.elements)
        if (e.kind == ElementKind::DataText && e.dataField == field)
            return &e;
    return nullptr;
}

// The value of a particulars row, a data field on the invoice, becomes a fixed text.
void replaceParticular(Band& band, const char* caption, const QString& newCaption, const char* field, const QString& value)
{
    Element* label = elementWithCaption(band, QLatin1String(caption));
    Element* data = dataElement(band, QLatin1String(field));
    if (!label || !data)
        throw Exception(QStringLiteral("The invoice printout has no %1 to print the credit note's.").arg(QLatin1String(caption)));
    label->caption = newCaption;
    data->kind = ElementKind::Label;
    data->caption = value;
    data->dataField.clear();
    data->dataset = nullptr;
}

} // namespace

QString creditNoteDocumentName(int creditNoteNumber) { return QStringLiteral("Credit Note %1").arg(creditNoteNumber); }

QString creditNoteReferenceText(const CreditNoteTexts& texts)
{
    return QStringLiteral("for invoice %1 of %2").arg(texts.invoiceNumber).arg(texts.invoiceDate);
}

void makeCreditNoteReport(Report& report, const CreditNoteTexts& texts)
{
    Band* title = report.band(BandKind::Title);
    if (!title)
        throw Exception(QStringLiteral("The invoice printout has no title band."));
    report.name = QStringLiteral("CreditNote");
    replaceParticular(*title, "Invoice Number:", QStringLiteral("Credit Note No.:"), "Inv_Number", QString::number(texts.number));
    replaceParticular(*title, "Invoice Date:", QStringLiteral("Credit Note Date:"), "Inv_Date", texts.date);
    const int top = title->height;
    title->height += kAddedHeight;
    title->add(Element::label(QStringLiteral("QRLabelCreditNote"), QStringLiteral("Credit Note"), 0, top).points(16).bold().onBand());
    title->add(Element::label(QStringLiteral("QRLabelCreditNoteFor"), creditNoteReferenceText(texts), 0, top + 85).bold().onBand());
    if (!texts.reason.isEmpty())
        title->add(Element::label(QStringLiteral("QRLabelCreditNoteReason"), QStringLiteral("Reason: %1").arg(texts.reason), 21, top + 150)
                       .fixedWidth(1800));
    report.documentName = creditNoteDocumentName(texts.number);
}

} // namespace zz::report
