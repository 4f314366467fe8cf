#include "einvoice/Amounts.h"
#include "einvoice/EInvoice.h"

#include <QXmlStreamWriter>

namespace zz::einvoice {

namespace {

const QString kRsm = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kRam = QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
const QString kUdt = QStringLiteral("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");
const QString kQdt = QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");

const QString kEn16931 = QStringLiteral("urn:cen.eu:en16931:2017");
const QString kXRechnung = QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0");
// The business process XRechnung names for an invoice without an order process of its own.
const QString kBillingProcess = QStringLiteral("urn:fdc:peppol.eu:2017:poacc:billing:01:1.0");

class Cii {
public:
    explicit Cii(QByteArray* out) : w(out) {}

    QXmlStreamWriter w;

    void open(const QString& ns, const char* name) { w.writeStartElement(ns, QLatin1String(name)); }
    void close() { w.writeEndElement(); }
    void ram(const char* name) { open(kRam, name); }
    void text(const char* name, const QString& value) { w.writeTextElement(kRam, QLatin1String(name), value); }
    // A text element only when there is a value.
    void optional(const char* name, const QString& value)
    {
        if (!value.isEmpty())
            text(name, value);
    }
    void withScheme(const char* name, const QString& scheme, const QString& value)
    {
        ram(name);
        w.writeAttribute(QStringLiteral("schemeID"), scheme);
        w.writeCharacters(value);
        close();
    }
    void amount(const char* name, Money value) { text(name, decimalText(value)); }
    void date(const char* name, const QDate& d, const QString& ns = kUdt)
    {
        ram(name);
        w.writeStartElement(ns, QStringLiteral("DateTimeString"));
        w.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
        w.writeCharacters(d.toString(QStringLiteral("yyyyMMdd")));
        w.writeEndElement();
        close();
    }
    void indicator(bool on)
    {
        ram("ChargeIndicator");
        w.writeTextElement(kUdt, QStringLiteral("Indicator"), on ? QStringLiteral("true") : QStringLiteral("false"));
        close();
    }
};

// A price, and the units billed at it: a negative price is written as a positive one on
// negative units (the standard knows no negative prices), the line's amount the same.
struct Billed {
    Money gross, net;
    qint64 units;
};

Billed billed(const Line& line)
{
    if (line.netPrice < Money())
        return {-line.grossPrice, -line.netPrice, -line.units};
    return {line.grossPrice, line.netPrice, line.units};
}

void writeLine(Cii& x, const Invoice& inv, const Line& line, qint64 rate)
{
    const Billed b = billed(line);
    x.ram("IncludedSupplyChainTradeLineItem");
    x.ram("AssociatedDocumentLineDocument");
    x.text("LineID", QString::number(line.lineNumber));
    x.close();

    x.ram("SpecifiedTradeProduct");
    x.optional("SellerAssignedID", line.productCode);
    x.text("Name", line.description.isEmpty() ? line.productCode : line.description);
    x.close();

    x.ram("SpecifiedLineTradeAgreement");
    if (line.discountPercent != 0 && b.gross != b.net) {
        // The price before the line's discount, and the discount on it.
        x.ram("GrossPriceProductTradePrice");
        x.text("ChargeAmount", decimalText(b.gross, 2, 4));
        x.ram("AppliedTradeAllowanceCharge");
        x.indicator(false);
        x.text("ActualAmount", decimalText(b.gross - b.net, 2, 4));
        x.close();
        x.close();
    }
    x.ram("NetPriceProductTradePrice");
    x.text("ChargeAmount", decimalText(b.net, 2, 4));
    x.close();
    x.close();

    x.ram("SpecifiedLineTradeDelivery");
    x.ram("BilledQuantity");
    x.w.writeAttribute(QStringLiteral("unitCode"), QStringLiteral("C62"));
    x.w.writeCharacters(QString::number(b.units));
    x.close();
    x.close();

    x.ram("SpecifiedLineTradeSettlement");
    x.ram("ApplicableTradeTax");
    x.text("TypeCode", QStringLiteral("VAT"));
    x.text("CategoryCode", inv.vatCategory);
    x.text("RateApplicablePercent", rateText(rate));
    x.close();
    x.ram("SpecifiedTradeSettlementLineMonetarySummation");
    x.amount("LineTotalAmount", line.netAmount);
    x.close();
    x.close();

    x.close(); // IncludedSupplyChainTradeLineItem
}

void writeParty(Cii& x, const char* element, const Party& p, bool seller, bool contact)
{
    x.ram(element);
    x.text("Name", p.name);
    if (seller && !p.legalId.isEmpty()) {
        x.ram("SpecifiedLegalOrganization");
        x.text("ID", p.legalId);
        x.close();
    }
    if (contact && (!p.contact.isEmpty() || !p.phone.isEmpty() || !p.email.isEmpty())) {
        x.ram("DefinedTradeContact");
        x.optional("PersonName", p.contact);
        if (!p.phone.isEmpty()) {
            x.ram("TelephoneUniversalCommunication");
            x.text("CompleteNumber", p.phone);
            x.close();
        }
        if (!p.email.isEmpty()) {
            x.ram("EmailURIUniversalCommunication");
            x.text("URIID", p.email);
            x.close();
        }
        x.close();
    }
    x.ram("PostalTradeAddress");
    x.optional("PostcodeCode", p.postcode);
    x.optional("LineOne", p.street);
    x.optional("CityName", p.city);
    x.text("CountryID", p.country);
    x.close();
    if (!p.email.isEmpty()) {
        x.ram("URIUniversalCommunication");
        x.withScheme("URIID", QStringLiteral("EM"), p.email);
        x.close();
    }
    if (!p.vatId.isEmpty()) {
        x.ram("SpecifiedTaxRegistration");
        x.withScheme("ID", QStringLiteral("VA"), p.vatId);
        x.close();
    }
    if (seller && !p.taxNumber.isEmpty()) {
        x.ram("SpecifiedTaxRegistration");
        x.withScheme("ID", QStringLiteral("FC"), p.taxNumber);
        x.close();
    }
    x.close();
}

void writeTax(Cii& x, const Invoice& inv, qint64 rate)
{
    x.ram("ApplicableTradeTax");
    x.amount("CalculatedAmount", inv.vatTotal);
    x.text("TypeCode", QStringLiteral("VAT"));
    if (inv.vatCategory == QLatin1String("E"))
        x.text("ExemptionReason", inv.exemptionReason);
    x.amount("BasisAmount", inv.lineTotal);
    x.text("CategoryCode", inv.vatCategory);
    x.text("RateApplicablePercent", rateText(rate));
    x.close();
}

} // namespace

QByteArray writeCii(const Invoice& inv, Profile profile)
{
    const bool xr = profile == Profile::XRechnung;
    const qint64 rate = rateTenThousandths(inv.vatRate).value_or(0);

    QByteArray out;
    Cii x(&out);
    x.w.setAutoFormatting(true);
    x.w.setAutoFormattingIndent(2);
    x.w.writeStartDocument();
    x.w.writeNamespace(kRsm, QStringLiteral("rsm"));
    x.w.writeNamespace(kRam, QStringLiteral("ram"));
    x.w.writeNamespace(kUdt, QStringLiteral("udt"));
    x.w.writeNamespace(kQdt, QStringLiteral("qdt"));
    x.open(kRsm, "CrossIndustryInvoice");

    x.open(kRsm, "ExchangedDocumentContext");
    if (xr) {
        x.ram("BusinessProcessSpecifiedDocumentContextParameter");
        x.text("ID", kBillingProcess);
        x.close();
    }
    x.ram("GuidelineSpecifiedDocumentContextParameter");
    x.text("ID", xr ? kXRechnung : kEn16931);
    x.close();
    x.close();

    x.open(kRsm, "ExchangedDocument");
    x.text("ID", inv.number);
    x.text("TypeCode", QString::number(int(inv.type)));
    x.date("IssueDateTime", inv.issueDate);
    if (inv.vatCategory == QLatin1String("E") && !inv.exemptionReason.isEmpty()) {
        // The exemption as the printed invoice states it.
        x.ram("IncludedNote");
        x.text("Content", inv.exemptionReason);
        x.close();
    }
    x.close();

    x.open(kRsm, "SupplyChainTradeTransaction");
    for (const Line& line : inv.lines)
        writeLine(x, inv, line, rate);

    x.ram("ApplicableHeaderTradeAgreement");
    x.optional("BuyerReference", inv.buyerReference);
    writeParty(x, "SellerTradeParty", inv.seller, true, true);
    writeParty(x, "BuyerTradeParty", inv.buyer, false, false);
    if (!inv.orderNumber.isEmpty()) {
        x.ram("BuyerOrderReferencedDocument");
        x.text("IssuerAssignedID", inv.orderNumber);
        x.close();
    }
    x.close();

    x.ram("ApplicableHeaderTradeDelivery");
    x.close();

    x.ram("ApplicableHeaderTradeSettlement");
    x.text("PaymentReference", inv.number);
    x.text("InvoiceCurrencyCode", inv.currency);
    if (!inv.iban.isEmpty()) {
        x.ram("SpecifiedTradeSettlementPaymentMeans");
        x.text("TypeCode", QStringLiteral("58")); // SEPA credit transfer
        x.ram("PayeePartyCreditorFinancialAccount");
        x.text("IBANID", inv.iban);
        x.optional("AccountName", inv.seller.name);
        x.close();
        if (!inv.bic.isEmpty()) {
            x.ram("PayeeSpecifiedCreditorFinancialInstitution");
            x.text("BICID", inv.bic);
            x.close();
        }
        x.close();
    }
    writeTax(x, inv, rate);
    x.ram("SpecifiedTradePaymentTerms");
    x.optional("Description", inv.paymentTermsText);
    if (inv.dueDate.isValid())
        x.date("DueDateDateTime", inv.dueDate);
    x.close();
    x.ram("SpecifiedTradeSettlementHeaderMonetarySummation");
    x.amount("LineTotalAmount", inv.lineTotal);
    x.amount("TaxBasisTotalAmount", inv.lineTotal);
    x.ram("TaxTotalAmount");
    x.w.writeAttribute(QStringLiteral("currencyID"), inv.currency);
    x.w.writeCharacters(decimalText(inv.vatTotal));
    x.close();
    x.amount("GrandTotalAmount", inv.grandTotal);
    x.amount("DuePayableAmount", inv.grandTotal);
    x.close();
    if (inv.type == Invoice::Type::CreditNote && !inv.precedingNumber.isEmpty()) {
        x.ram("InvoiceReferencedDocument");
        x.text("IssuerAssignedID", inv.precedingNumber);
        if (inv.precedingDate.isValid())
            x.date("FormattedIssueDateTime", inv.precedingDate, kQdt);
        x.close();
    }
    x.close(); // ApplicableHeaderTradeSettlement

    x.close(); // SupplyChainTradeTransaction
    x.close(); // CrossIndustryInvoice
    x.w.writeEndDocument();
    return out;
}

} // namespace zz::einvoice
