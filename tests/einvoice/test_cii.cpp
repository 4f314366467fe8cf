// The CII XML of invoices made in the test: read back with QXmlStreamReader and its totals worked
// out again from the XML alone (every line its units times its price rounded to the cent, the
// net total their sum, the VAT its basis at the rate rounded to the cent, the grand total and the
// amount due their sum), the example invoice's figures, an invoice whose unrounded sum rounds to
// another cent, zero-rated and exempt invoices, names outside ASCII, and what XRechnung adds.
#include <QtTest>

#include "einvoice/Amounts.h"
#include "einvoice/EInvoice.h"
#include "einvoice/InvoiceRows.h"
#include "tests/einvoice/CiiReader.h"
#include "tests/einvoice/EInvoiceSamples.h"

using namespace zz;
using namespace zz::einvoice;
using namespace zz::test;

namespace {

const QString kTx = QStringLiteral("CrossIndustryInvoice/SupplyChainTradeTransaction/");
const QString kItem = kTx + QStringLiteral("IncludedSupplyChainTradeLineItem/");
const QString kAgreement = kTx + QStringLiteral("ApplicableHeaderTradeAgreement/");
const QString kSettlement = kTx + QStringLiteral("ApplicableHeaderTradeSettlement/");
const QString kSum = kSettlement + QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation/");

// n / d rounded half away from zero.
qint64 rounded(qint64 n, qint64 d)
{
    const qint64 q = n / d, r = n % d;
    if (2 * (r < 0 ? -r : r) >= d)
        return n < 0 ? q - 1 : q + 1;
    return q;
}

struct XmlTotals {
    qint64 lines = 0, net = 0, basis = 0, vat = 0, grand = 0, due = 0; // cents
};

// The sums the receivers' rules check (BR-CO-10, 13, 14, 15, 16, 17 and each line's amount),
// from the XML's own texts; fails the test where one does not hold.
XmlTotals checkTotals(const QByteArray& xml)
{
    const CiiDocument d = readCii(xml);
    XmlTotals t;
    if (!d.error.isEmpty()) {
        QTest::qFail(qPrintable(d.error), __FILE__, __LINE__);
        return t;
    }
    const QStringList amounts = d.all(kItem + QStringLiteral("SpecifiedLineTradeSettlement/SpecifiedTradeSettlementLineMonetarySummation/LineTotalAmount"));
    const QStringList prices = d.all(kItem + QStringLiteral("SpecifiedLineTradeAgreement/NetPriceProductTradePrice/ChargeAmount"));
    const QStringList units = d.all(kItem + QStringLiteral("SpecifiedLineTradeDelivery/BilledQuantity"));
    [&] {
        QCOMPARE(prices.size(), amounts.size());
        QCOMPARE(units.size(), amounts.size());
    }();
    for (int i = 0; i < amounts.size() && i < prices.size() && i < units.size(); ++i) {
        const qint64 line = scaled(amounts[i], 2);
        // price in ten-thousandths x units, to the cent
        const qint64 expected = rounded(scaled(prices[i], 4) * units[i].toLongLong(), 100);
        if (line != expected)
            QTest::qFail(qPrintable(QStringLiteral("line %1: %2 is not %3 x %4").arg(i + 1).arg(amounts[i], units[i], prices[i])),
                         __FILE__, __LINE__);
        t.lines += line;
    }
    t.net = scaled(d.one(kSum + QStringLiteral("LineTotalAmount")), 2);
    t.basis = scaled(d.one(kSum + QStringLiteral("TaxBasisTotalAmount")), 2);
    t.vat = scaled(d.one(kSum + QStringLiteral("TaxTotalAmount")), 2);
    t.grand = scaled(d.one(kSum + QStringLiteral("GrandTotalAmount")), 2);
    t.due = scaled(d.one(kSum + QStringLiteral("DuePayableAmount")), 2);
    [&] {
        QCOMPARE(t.net, t.lines);           // BR-CO-10
        QCOMPARE(t.basis, t.net);           // BR-CO-13, no allowances or charges
        QCOMPARE(t.grand, t.basis + t.vat); // BR-CO-15
        QCOMPARE(t.due, t.grand);           // BR-CO-16, nothing paid before
        const QStringList basis = d.all(kSettlement + QStringLiteral("ApplicableTradeTax/BasisAmount"));
        const QStringList tax = d.all(kSettlement + QStringLiteral("ApplicableTradeTax/CalculatedAmount"));
        const QStringList rate = d.all(kSettlement + QStringLiteral("ApplicableTradeTax/RateApplicablePercent"));
        QCOMPARE(basis.size(), 1);
        QCOMPARE(tax.size(), 1);
        QCOMPARE(scaled(basis[0], 2), t.net);
        QCOMPARE(scaled(tax[0], 2), t.vat); // BR-CO-14
        // BR-CO-17: cents x (rate in hundredths of a percent) / 10000, to the cent
        QCOMPARE(rounded(scaled(basis[0], 2) * scaled(rate[0], 2), 10000), t.vat);
    }();
    return t;
}

QByteArray xmlOf(const InvoiceRows& rows, Profile profile = Profile::EN16931)
{
    return writeCii(buildInvoice(rows), profile);
}

} // namespace

class TestCii : public QObject {
    Q_OBJECT
private slots:
    void amountsAreExactAndRoundHalfAwayFromZero()
    {
        QCOMPARE(roundToCent(amount(123450)), amount(123500));   // 12.345 -> 12.35
        QCOMPARE(roundToCent(amount(-123450)), amount(-123500)); // -12.345 -> -12.35
        QCOMPARE(roundToCent(amount(123449)), amount(123400));
        QCOMPARE(*lineNetAmount(amount(169915), 3), amount(509700)); // 50.9745 -> 50.97
        QVERIFY(!lineNetAmount(amount(std::numeric_limits<qint64>::max() / 2), 3));
        QCOMPARE(*rateTenThousandths(15), 150000);
        QCOMPARE(*rateTenThousandths(7.7), 77000);
        QVERIFY(!rateTenThousandths(std::nan("")));
        QCOMPARE(vatAmount(amount(509700), 150000), amount(76500)); // 7.6455 -> 7.65
        QCOMPARE(vatAmount(amount(10000), 77000), amount(800));     // 1.00 at 7.7 % -> 0.08
        QCOMPARE(vatAmount(amount(-509700), 150000), amount(-76500));
        QCOMPARE(decimalText(amount(5097000)), QStringLiteral("509.70"));
        QCOMPARE(decimalText(amount(169915), 2, 4), QStringLiteral("16.9915"));
        QCOMPARE(decimalText(amount(199000), 2, 4), QStringLiteral("19.90"));
        QCOMPARE(decimalText(amount(-30000)), QStringLiteral("-3.00"));
        QCOMPARE(decimalText(amount(0)), QStringLiteral("0.00"));
        QCOMPARE(rateText(75000), QStringLiteral("7.50"));
        QCOMPARE(rateText(162500), QStringLiteral("16.25"));
    }

    void vatIdentifiersNeedTheirCountryPrefix()
    {
        QCOMPARE(vatIdentifierFor(QStringLiteral("de 123.456.789"), QStringLiteral("DE")), QStringLiteral("DE123456789"));
        QCOMPARE(vatIdentifierFor(QStringLiteral("VAT 4100200300"), QStringLiteral("ZA")), QString());
        QCOMPARE(vatIdentifierFor(QStringLiteral("4100200300"), QStringLiteral("ZA")), QString());
        QCOMPARE(vatIdentifierFor(QStringLiteral("EL123456789"), QStringLiteral("GR")), QStringLiteral("EL123456789"));
        QCOMPARE(vatIdentifierFor(QStringLiteral("GR123456789"), QStringLiteral("GR")), QString());
    }

    void theExampleInvoice()
    {
        const Invoice inv = buildInvoice(southAfricanRows());
        QCOMPARE(inv.lines.size(), std::size_t(1));
        QCOMPARE(inv.lines[0].netPrice, amount(169915));
        QCOMPARE(inv.lineTotal, amount(509700));
        QCOMPARE(inv.vatTotal, amount(76500));
        QCOMPARE(inv.grandTotal, amount(586200));
        QCOMPARE(inv.dueDate, QDate(2026, 2, 14));
        QCOMPARE(inv.vatCategory, QStringLiteral("S"));
        QCOMPARE(totalsProblem(inv), QString());

        const QByteArray xml = writeCii(inv, Profile::EN16931);
        dumpXml(QStringLiteral("example"), xml);
        const CiiDocument d = readCii(xml);
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocumentContext/GuidelineSpecifiedDocumentContextParameter/ID")),
                 QStringLiteral("urn:cen.eu:en16931:2017"));
        QCOMPARE(d.count(QStringLiteral("CrossIndustryInvoice/ExchangedDocumentContext/BusinessProcessSpecifiedDocumentContextParameter/ID")), 0);
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocument/ID")), QStringLiteral("57"));
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocument/TypeCode")), QStringLiteral("380"));
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocument/IssueDateTime/DateTimeString")), QStringLiteral("20260115"));
        QCOMPARE(d.attributes.value(QStringLiteral("CrossIndustryInvoice/ExchangedDocument/IssueDateTime/DateTimeString@format")),
                 QStringLiteral("102"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedTradeProduct/SellerAssignedID")), QStringLiteral("W-1"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedTradeProduct/Name")), QStringLiteral("Widget"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeAgreement/GrossPriceProductTradePrice/ChargeAmount")), QStringLiteral("19.99"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeAgreement/GrossPriceProductTradePrice/AppliedTradeAllowanceCharge/ActualAmount")),
                 QStringLiteral("2.9985"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeAgreement/NetPriceProductTradePrice/ChargeAmount")), QStringLiteral("16.9915"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeDelivery/BilledQuantity")), QStringLiteral("3"));
        QCOMPARE(d.attributes.value(kItem + QStringLiteral("SpecifiedLineTradeDelivery/BilledQuantity@unitCode")), QStringLiteral("C62"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeSettlement/ApplicableTradeTax/CategoryCode")), QStringLiteral("S"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeSettlement/ApplicableTradeTax/RateApplicablePercent")), QStringLiteral("15.00"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerOrderReferencedDocument/IssuerAssignedID")), QStringLiteral("PO-77"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/Name")), QStringLiteral("Zuzevevur Trading"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/SpecifiedTaxRegistration/ID")), QStringLiteral("ZA4100200300"));
        QCOMPARE(d.attributes.value(kAgreement + QStringLiteral("SellerTradeParty/SpecifiedTaxRegistration/ID@schemeID")), QStringLiteral("VA"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/PostalTradeAddress/LineOne")), QStringLiteral("12 Long Street"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/PostalTradeAddress/CityName")), QStringLiteral("Johannesburg"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/PostalTradeAddress/PostcodeCode")), QStringLiteral("2001"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/PostalTradeAddress/CountryID")), QStringLiteral("ZA"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerTradeParty/Name")), QStringLiteral("Acme Holdings"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerTradeParty/PostalTradeAddress/CountryID")), QStringLiteral("ZA"));
        // "4999" carries no country prefix: the printout shows it, the e-invoice cannot.
        QCOMPARE(d.count(kAgreement + QStringLiteral("BuyerTradeParty/SpecifiedTaxRegistration/ID")), 0);
        // No IBAN: no credit transfer is offered.
        QCOMPARE(d.count(kSettlement + QStringLiteral("SpecifiedTradeSettlementPaymentMeans/TypeCode")), 0);
        QCOMPARE(d.one(kSettlement + QStringLiteral("InvoiceCurrencyCode")), QStringLiteral("ZAR"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("SpecifiedTradePaymentTerms/Description")), QStringLiteral("Net 30 days"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("SpecifiedTradePaymentTerms/DueDateDateTime/DateTimeString")), QStringLiteral("20260214"));
        QCOMPARE(d.attributes.value(kSum + QStringLiteral("TaxTotalAmount@currencyID")), QStringLiteral("ZAR"));

        const XmlTotals t = checkTotals(xml);
        QCOMPARE(t.net, 5097);
        QCOMPARE(t.vat, 765);
        QCOMPARE(t.grand, 5862);
        QCOMPARE(d.one(kSum + QStringLiteral("LineTotalAmount")), QStringLiteral("50.97"));
        QCOMPARE(d.one(kSum + QStringLiteral("TaxTotalAmount")), QStringLiteral("7.65"));
        QCOMPARE(d.one(kSum + QStringLiteral("GrandTotalAmount")), QStringLiteral("58.62"));
        QCOMPARE(d.one(kSum + QStringLiteral("DuePayableAmount")), QStringLiteral("58.62"));
    }

    void linesAddUpRoundedToTheCentWhereTheUnroundedSumDiffers()
    {
        // Seven lines of one unit at 16.9915: each 16.99, 118.93 in all, where the unrounded
        // sum 118.9405 would round to 118.94.
        InvoiceRows rows = southAfricanRows();
        rows.lines.clear();
        for (int i = 1; i <= 7; ++i)
            rows.lines.push_back(lineRow(i, QStringLiteral("W-1"), QStringLiteral("Widget"), 1, 199900, 15));
        const QByteArray xml = xmlOf(rows);
        dumpXml(QStringLiteral("seven-lines"), xml);
        const XmlTotals t = checkTotals(xml);
        QCOMPARE(t.net, 11893);
        QCOMPARE(t.vat, 1784); // 118.93 x 15 % = 17.8395
        QCOMPARE(t.grand, 13677);

        // Many lines of awkward prices, units and discounts: every sum still holds.
        rows.lines.clear();
        quint32 seed = 12345;
        auto next = [&seed](quint32 n) { seed = seed * 1103515245u + 12345u; return (seed >> 8) % n; };
        qint64 unrounded = 0;
        for (int i = 1; i <= 500; ++i) {
            rows.lines.push_back(lineRow(i, QStringLiteral("P%1").arg(i), QStringLiteral("Part %1").arg(i), 1 + next(40),
                                         100 + next(2000000), int(next(4)) * 5 + 1));
            unrounded += rows.lines.back().discountPrice.count() * rows.lines.back().units;
        }
        const QByteArray many = xmlOf(rows);
        dumpXml(QStringLiteral("many-lines"), many);
        const XmlTotals m = checkTotals(many);
        QCOMPARE(m.lines, m.net);
        QVERIFY2(rounded(unrounded, 100) != m.net, "the lines were meant to round differently from their sum");
    }

    void zeroRatedAndExemptInvoices()
    {
        InvoiceRows rows = southAfricanRows();
        rows.vatRate = 0;
        rows.companyDetails->zeroRateCategory = QStringLiteral("Z");
        rows.companyDetails->exemptionReason = QStringLiteral("not used when zero-rated");
        const QByteArray z = xmlOf(rows);
        dumpXml(QStringLiteral("zero-rated"), z);
        CiiDocument d = readCii(z);
        QCOMPARE(d.one(kSettlement + QStringLiteral("ApplicableTradeTax/CategoryCode")), QStringLiteral("Z"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("ApplicableTradeTax/RateApplicablePercent")), QStringLiteral("0.00"));
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedLineTradeSettlement/ApplicableTradeTax/CategoryCode")), QStringLiteral("Z"));
        QCOMPARE(d.count(kSettlement + QStringLiteral("ApplicableTradeTax/ExemptionReason")), 0); // BR-Z-10
        QCOMPARE(checkTotals(z).vat, 0);
        QCOMPARE(checkTotals(z).grand, 5097);

        rows.companyDetails->zeroRateCategory = QStringLiteral("E");
        rows.companyDetails->exemptionReason = QStringLiteral("Kleinunternehmer: keine Umsatzsteuer nach § 19 UStG");
        const Invoice inv = buildInvoice(rows);
        QCOMPARE(inv.vatCategory, QStringLiteral("E"));
        const QByteArray e = writeCii(inv, Profile::EN16931);
        dumpXml(QStringLiteral("exempt"), e);
        d = readCii(e);
        QCOMPARE(d.one(kSettlement + QStringLiteral("ApplicableTradeTax/CategoryCode")), QStringLiteral("E"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("ApplicableTradeTax/ExemptionReason")), rows.companyDetails->exemptionReason);
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocument/IncludedNote/Content")), rows.companyDetails->exemptionReason);
        QCOMPARE(checkTotals(e).grand, 5097);

        // A positive rate is standard-rated whatever the zero-rate category says.
        rows.vatRate = 7.5;
        QCOMPARE(buildInvoice(rows).vatCategory, QStringLiteral("S"));
        QCOMPARE(buildInvoice(rows).exemptionReason, QString());
        const QByteArray s = xmlOf(rows);
        QCOMPARE(readCii(s).one(kSettlement + QStringLiteral("ApplicableTradeTax/RateApplicablePercent")), QStringLiteral("7.50"));
        QCOMPARE(checkTotals(s).vat, 382); // 50.97 x 7.5 % = 3.82275
    }

    void namesOutsideAsciiAndMarkupCharactersComeBackAsTheyWere()
    {
        InvoiceRows rows = germanRows();
        rows.cusName = QStringLiteral("Zoë Müller & Söhne <Ærø> \"Ελλάδα\" 株式会社");
        rows.cusContact = QStringLiteral("Łukasz Żółć");
        rows.lines[0].description = QStringLiteral("Größe XL & <extra> – ½ Preis");
        const QByteArray xml = xmlOf(rows);
        dumpXml(QStringLiteral("non-ascii"), xml);
        QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        const CiiDocument d = readCii(xml);
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerTradeParty/Name")), rows.cusName);
        QCOMPARE(d.one(kItem + QStringLiteral("SpecifiedTradeProduct/Name")), rows.lines[0].description);
        QCOMPARE(d.one(kAgreement + QStringLiteral("SellerTradeParty/PostalTradeAddress/LineOne")), QStringLiteral("Königstraße 1"));
        QVERIFY(xml.contains("Zoë Müller &amp; Söhne &lt;Ærø&gt;"));
    }

    void xrechnungAddsBuyerReferenceContactsAddressesAndPaymentInstructions()
    {
        const InvoiceRows rows = germanRows();
        const QByteArray en = xmlOf(rows, Profile::EN16931);
        const QByteArray xr = xmlOf(rows, Profile::XRechnung);
        dumpXml(QStringLiteral("german-en16931"), en);
        dumpXml(QStringLiteral("xrechnung"), xr);
        const CiiDocument d = readCii(xr);
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocumentContext/GuidelineSpecifiedDocumentContextParameter/ID")),
                 QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0"));
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocumentContext/BusinessProcessSpecifiedDocumentContextParameter/ID")),
                 QStringLiteral("urn:fdc:peppol.eu:2017:poacc:billing:01:1.0"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerReference")), QStringLiteral("05315-12345-67"));
        const QString seller = kAgreement + QStringLiteral("SellerTradeParty/");
        QCOMPARE(d.one(seller + QStringLiteral("DefinedTradeContact/PersonName")), QStringLiteral("Jörg Weiß"));
        QCOMPARE(d.one(seller + QStringLiteral("DefinedTradeContact/TelephoneUniversalCommunication/CompleteNumber")),
                 QStringLiteral("+49 711 555010"));
        QCOMPARE(d.one(seller + QStringLiteral("DefinedTradeContact/EmailURIUniversalCommunication/URIID")),
                 QStringLiteral("rechnung@zuzevevur.example"));
        QCOMPARE(d.one(seller + QStringLiteral("URIUniversalCommunication/URIID")), QStringLiteral("rechnung@zuzevevur.example"));
        QCOMPARE(d.attributes.value(seller + QStringLiteral("URIUniversalCommunication/URIID@schemeID")), QStringLiteral("EM"));
        QCOMPARE(d.all(seller + QStringLiteral("SpecifiedTaxRegistration/ID")), (QStringList{QStringLiteral("DE123456789"), QStringLiteral("93815/08152")}));
        QCOMPARE(d.one(seller + QStringLiteral("SpecifiedLegalOrganization/ID")), QStringLiteral("HRB 12345"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerTradeParty/URIUniversalCommunication/URIID")), QStringLiteral("rechnung@stadt-koeln.example"));
        QCOMPARE(d.one(kAgreement + QStringLiteral("BuyerTradeParty/PostalTradeAddress/PostcodeCode")), QStringLiteral("50679"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("SpecifiedTradeSettlementPaymentMeans/TypeCode")), QStringLiteral("58"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("SpecifiedTradeSettlementPaymentMeans/PayeePartyCreditorFinancialAccount/IBANID")),
                 QStringLiteral("DE89370400440532013000"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("SpecifiedTradeSettlementPaymentMeans/PayeeSpecifiedCreditorFinancialInstitution/BICID")),
                 QStringLiteral("COBADEFFXXX"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("InvoiceCurrencyCode")), QStringLiteral("EUR"));
        const XmlTotals t = checkTotals(xr);
        QCOMPARE(t.vat, 968); // 50.97 x 19 % = 9.6843
        QCOMPARE(t.grand, 6065);
        // The EN 16931 profile carries the same invoice under the plain guideline.
        QCOMPARE(readCii(en).one(kSum + QStringLiteral("GrandTotalAmount")), QStringLiteral("60.65"));
        QCOMPARE(readCii(en).count(QStringLiteral("CrossIndustryInvoice/ExchangedDocumentContext/BusinessProcessSpecifiedDocumentContextParameter/ID")), 0);
    }

    void aNegativePriceIsBilledAsNegativeUnits()
    {
        InvoiceRows rows = southAfricanRows();
        rows.lines.push_back(lineRow(2, QStringLiteral("RET"), QStringLiteral("Returned crate"), 2, -25000, 0));
        const QByteArray xml = xmlOf(rows);
        dumpXml(QStringLiteral("negative-price"), xml);
        const CiiDocument d = readCii(xml);
        QCOMPARE(d.all(kItem + QStringLiteral("SpecifiedLineTradeAgreement/NetPriceProductTradePrice/ChargeAmount")).value(1), QStringLiteral("2.50"));
        QCOMPARE(d.all(kItem + QStringLiteral("SpecifiedLineTradeDelivery/BilledQuantity")).value(1), QStringLiteral("-2"));
        QCOMPARE(checkTotals(xml).net, 5097 - 500);
    }

    void aCreditNoteNamesTheInvoiceItTakesBack()
    {
        Invoice inv = buildInvoice(southAfricanRows());
        inv.type = Invoice::Type::CreditNote;
        inv.precedingNumber = QStringLiteral("41");
        inv.precedingDate = QDate(2025, 12, 1);
        const CiiDocument d = readCii(writeCii(inv, Profile::EN16931));
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/ExchangedDocument/TypeCode")), QStringLiteral("381"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("InvoiceReferencedDocument/IssuerAssignedID")), QStringLiteral("41"));
        QCOMPARE(d.one(kSettlement + QStringLiteral("InvoiceReferencedDocument/FormattedIssueDateTime/DateTimeString")), QStringLiteral("20251201"));
    }
};

QTEST_GUILESS_MAIN(TestCii)
#include "test_cii.moc"
