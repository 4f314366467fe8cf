// The e-invoice of invoices in a book, on both engines: what is missing before the details are
// given, the invoice read with its details, a line whose product was deleted, XRechnung's further
// needs, and the invoice printout's totals and line amounts equal to the XML's to the cent, also
// where the sum of the unrounded rows rounds to another cent.
#include <QtTest>

#include "data/DataMod.h"
#include "data/EInvoiceDetails.h"
#include "data/Engine.h"
#include "data/Regional.h"
#include "einvoice/EInvoice.h"
#include "einvoice/InvoiceRows.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/einvoice/CiiReader.h"
#include "tests/einvoice/EInvoiceSamples.h"
#include "tests/reports/DocumentCheck.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::einvoice;

namespace {

const QString kSum = QStringLiteral(
    "CrossIndustryInvoice/SupplyChainTradeTransaction/ApplicableHeaderTradeSettlement/SpecifiedTradeSettlementHeaderMonetarySummation/");
const QString kLineAmount = QStringLiteral(
    "CrossIndustryInvoice/SupplyChainTradeTransaction/IncludedSupplyChainTradeLineItem/SpecifiedLineTradeSettlement/"
    "SpecifiedTradeSettlementLineMonetarySummation/LineTotalAmount");

CompanyEInvoiceDetails companyDetails()
{
    CompanyEInvoiceDetails c;
    c.country = QStringLiteral("ZA");
    c.vatId = QStringLiteral("ZA4100200300");
    c.email = QStringLiteral("invoices@zuzevevur.example");
    c.iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
    c.paymentTermsDays = 30;
    c.paymentTermsText = QStringLiteral("Net 30 days");
    c.currency = QStringLiteral("ZAR");
    c.currencyOverridden = true;
    return c;
}

// An amount of the XML as the page prints money.
QString printed(const QString& xmlAmount) { return formatCurrency(Money::fromCount(test::scaled(xmlAmount, 4))); }

} // namespace

class TestEInvoiceBook : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;
    int acme = 0;

    void line(int invoice, const char* product, int units, double price, int discount)
    {
        const Money p = Money::fromDouble(price);
        test::runSql(QStringLiteral("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, "
                                    "Line_Discount_Price) VALUES (%1, '%2', %3, %4, %5, %6)")
                         .arg(invoice)
                         .arg(QLatin1String(product))
                         .arg(units)
                         .arg(p.toDouble(), 0, 'g', 17)
                         .arg(discount)
                         .arg(discountedPrice(p, discount).toDouble(), 0, 'g', 17));
    }

    void completeDetails()
    {
        saveCompanyEInvoiceDetails(companyDetails());
        CustomerEInvoiceDetails b;
        b.cusCode = acme;
        b.country = QStringLiteral("ZA");
        b.buyerReference = QStringLiteral("ACME-PO-DESK");
        saveCustomerEInvoiceDetails(b);
    }

    // The printout of an invoice as printInvoice makes it, its pages generated.
    report::ReportDocument printout(int number)
    {
        TQuery* q = dm->qryInvReport;
        q->Close();
        q->Params(0).SetAsInteger(number);
        q->Open();
        report::DataSetAdapter lines(q), company(dm->tblCompany);
        auto r = report::buildInvoiceReport(lines, company);
        const QString mask = report::moneyMask(report::kMoneyPattern);
        for (const char* e : {"QRExpr1", "QRExpr2", "QRExpr3"})
            r->setMask(QLatin1String(e), mask);
        const PrintoutStatement s = printoutStatement(number);
        std::optional<report::StatedTotals> totals;
        if (s.missing.isEmpty())
            totals = report::StatedTotals{s.subTotal, s.vat, s.total};
        report::setStatedTotals(*r, totals);
        report::setVatNote(*r, s.vatNote);
        report::ReportDocument doc;
        report::generateReport(*r, doc);
        lineTotalElement = test::elementOf(*r, QStringLiteral("Total"));
        return doc;
    }
    QString lineTotalElement;

    QString one(const report::ReportDocument& doc, const char* element)
    {
        const QStringList t = test::textsOf(doc, QLatin1String(element));
        return t.size() == 1 ? t.front() : QStringLiteral("<%1 texts>").arg(t.size());
    }

private slots:
    void initTestCase_data() { test::addEngineColumn(); }
    void init()
    {
        home = std::make_unique<test::TempHome>();
        setRegional(test::southAfricanRegional());
        ZZ_USE_ENGINE();
        dm = std::make_unique<TDataModule1>();
        test::runSql("INSERT INTO Company (Com_Name, Com_VAT_No, Com_Tel, Com_Address1, Com_Address2, Com_Address3, Inv_Start_No) "
                     "VALUES ('Zuzevevur Trading', 'VAT 4100200300', '011 555 0100', '12 Long Street', 'Johannesburg', '2001', 60)");
        test::runSql("INSERT INTO Customer (Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, Cus_Email, Cus_Contact) "
                     "VALUES ('Acme Holdings', '1 Main Road', 'Pretoria', '0002', 'accounts@acme.example', 'Mary')");
        acme = test::storedValue("SELECT MAX(Cus_Code) FROM Customer").toInt();
        test::runSql("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('W-1', 'Widget', 19.99)");
        test::runSql("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('G-2', 'Gadget', 0.67)");
        for (int n : {57, 58, 59})
            test::runSql(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_VAT, Inv_Paid, "
                                        "Inv_Days, Inv_Cancelled) VALUES (%1, %2, '2026-01-15', 'PO-77', %3, 'NO', 'CURRENT', 'NO')")
                             .arg(n)
                             .arg(acme)
                             .arg(n == 59 ? 0 : 15));
        line(57, "W-1", 3, 19.99, 15);
        // Seven single widgets: 16.99 each, 118.93 in all, where the unrounded rows give 118.94;
        // and three gadgets at half price, 1.005 exactly, a tie on the cent.
        for (int i = 0; i < 7; ++i)
            line(58, "W-1", 1, 19.99, 15);
        line(58, "G-2", 3, 0.67, 50);
        line(59, "W-1", 2, 19.99, 0);
        dm->tblCompany->Refresh();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
        setRegional(RegionalSettings{});
    }

    void aBookWithoutDetailsNamesWhatIsMissingAndPrintsAsAlways()
    {
        const QStringList missing = missingDetails(57);
        QCOMPARE(missing, (QStringList{QStringLiteral("the company's country"), QStringLiteral("the company's VAT identifier or tax number"),
                                       QStringLiteral("the company's e-mail address"), QStringLiteral("the customer's country")}));
        QCOMPARE(test::errorOf([] { loadInvoice(57); }),
                 QStringLiteral("Invoice 57 cannot be written as an e-invoice: it needs the company's country, the company's VAT "
                                "identifier or tax number, the company's e-mail address and the customer's country."));
        QVERIFY(!hasEInvoicingTables()); // only looked at, nothing made
        QVERIFY(printoutStatement(57).missing == missing);
        // The printout adds the unrounded rows as it always has: 118.9405 + 1.005 = 119.9455.
        const report::ReportDocument doc = printout(58);
        QCOMPARE(one(doc, "QRExpr1"), QStringLiteral("R 119.95"));
        QCOMPARE(missingDetails(1234), QStringList{QStringLiteral("an invoice numbered 1234")});
    }

    void theInvoiceWithItsDetailsAndTheXmlOfIt()
    {
        completeDetails();
        QCOMPARE(missingDetails(57), QStringList());
        const Invoice inv = loadInvoice(57);
        QCOMPARE(inv.number, QStringLiteral("57"));
        QCOMPARE(inv.issueDate, QDate(2026, 1, 15));
        QCOMPARE(inv.dueDate, QDate(2026, 2, 14));
        QCOMPARE(inv.orderNumber, QStringLiteral("PO-77"));
        QCOMPARE(inv.seller.name, QStringLiteral("Zuzevevur Trading"));
        QCOMPARE(inv.seller.city, QStringLiteral("Johannesburg"));
        QCOMPARE(inv.buyer.email, QStringLiteral("accounts@acme.example")); // the customer's e-mail by default
        QCOMPARE(inv.buyerReference, QStringLiteral("ACME-PO-DESK"));
        QCOMPARE(inv.iban, QStringLiteral("DE89370400440532013000"));
        QCOMPARE(inv.lines.size(), std::size_t(1));
        QCOMPARE(inv.lines[0].productCode, QStringLiteral("W-1"));
        QCOMPARE(inv.lines[0].description, QStringLiteral("Widget"));
        QCOMPARE(inv.lineTotal, Money::fromCount(509700));
        QCOMPARE(inv.vatTotal, Money::fromCount(76500));
        QCOMPARE(inv.grandTotal, Money::fromCount(586200));
        const test::CiiDocument d = test::readCii(writeCii(inv, Profile::EN16931));
        QCOMPARE(d.one(kSum + QStringLiteral("GrandTotalAmount")), QStringLiteral("58.62"));
        // XRechnung needs the company's phone, city and postal code, all there.
        QCOMPARE(missingDetails(57, Profile::XRechnung), QStringList());
    }

    void theExamplePrintoutShowsTheXmlsFigures()
    {
        completeDetails();
        const report::ReportDocument doc = printout(57);
        QCOMPARE(one(doc, "QRExpr1"), QStringLiteral("R 50.97"));
        QCOMPARE(one(doc, "QRExpr2"), QStringLiteral("R 7.65"));
        QCOMPARE(one(doc, "QRExpr3"), QStringLiteral("R 58.62"));
    }

    void thePrintoutAndTheXmlAgreeWhereTheUnroundedRowsWouldNot()
    {
        completeDetails();
        const QByteArray xml = writeCii(loadInvoice(58), Profile::EN16931);
        test::dumpXml(QStringLiteral("book-58"), xml);
        test::dumpXml(QStringLiteral("book-58-xrechnung"), writeCii(loadInvoice(58, Profile::XRechnung), Profile::XRechnung));
        const test::CiiDocument d = test::readCii(xml);
        QCOMPARE(d.one(kSum + QStringLiteral("LineTotalAmount")), QStringLiteral("119.94")); // 7 x 16.99 + 1.01
        const report::ReportDocument doc = printout(58);
        QCOMPARE(one(doc, "QRExpr1"), printed(d.one(kSum + QStringLiteral("LineTotalAmount"))));
        QCOMPARE(one(doc, "QRExpr2"), printed(d.one(kSum + QStringLiteral("TaxTotalAmount"))));
        QCOMPARE(one(doc, "QRExpr3"), printed(d.one(kSum + QStringLiteral("GrandTotalAmount"))));
        QCOMPARE(one(doc, "QRExpr1"), QStringLiteral("R 119.94"));
        QCOMPARE(one(doc, "QRExpr2"), QStringLiteral("R 17.99"));  // 119.94 x 15 % = 17.991
        QCOMPARE(one(doc, "QRExpr3"), QStringLiteral("R 137.93"));
        // Every line the page shows is the line amount the XML states, the tie 1.005 included.
        QStringList xmlLines;
        for (const QString& a : d.all(kLineAmount))
            xmlLines << printed(a);
        QCOMPARE(test::textsOf(doc, lineTotalElement), xmlLines);
        QCOMPARE(xmlLines.back(), QStringLiteral("R 1.01"));
    }

    void aLineWhoseProductWasDeletedKeepsTheInvoiceFromGoingOut()
    {
        completeDetails();
        // A line of a product no longer in the products (the store keeps a used product now,
        // older books may not have).
        line(58, "GONE", 2, 5, 0);
        const InvoiceRows rows = readInvoiceRows(58);
        QCOMPARE(rows.lines.size(), std::size_t(8)); // the printout leaves the line out
        QCOMPARE(rows.deletedProducts, QStringList{QStringLiteral("GONE")});
        QCOMPARE(missingDetails(58),
                 QStringList{QStringLiteral("the product \"GONE\" of one of its lines (it was deleted; add it again under that code)")});
        QVERIFY(test::errorOf([] { loadInvoice(58); }).contains(QStringLiteral("\"GONE\"")));
        // Then the printout adds its rows as always, rather than print totals no XML states.
        QCOMPARE(one(printout(58), "QRExpr1"), QStringLiteral("R 119.95"));
        // Entered again under its code, the line is back on both.
        test::runSql("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('GONE', 'Crate', 5)");
        QCOMPARE(readInvoiceRows(58).lines.size(), std::size_t(9));
        QCOMPARE(one(printout(58), "QRExpr1"), QStringLiteral("R 129.94"));
        QCOMPARE(missingDetails(58), QStringList());
    }

    void anExemptInvoicePrintsItsReason()
    {
        CompanyEInvoiceDetails c = companyDetails();
        c.zeroRateCategory = QStringLiteral("E");
        c.exemptionReason = QStringLiteral("VAT exempt: small business");
        saveCompanyEInvoiceDetails(c);
        // The customer's details are still missing, yet the reason prints on the exempt invoice.
        report::ReportDocument doc = printout(59);
        QCOMPARE(one(doc, "QRLabelVATNote"), c.exemptionReason);
        QCOMPARE(one(doc, "QRExpr3"), QStringLiteral("R 39.98"));
        // Not on the standard-rated one.
        QCOMPARE(test::textsOf(printout(57), QStringLiteral("QRLabelVATNote")), QStringList());

        CustomerEInvoiceDetails b;
        b.cusCode = acme;
        b.country = QStringLiteral("ZA");
        saveCustomerEInvoiceDetails(b);
        const Invoice inv = loadInvoice(59);
        QCOMPARE(inv.vatCategory, QStringLiteral("E"));
        const QByteArray xml = writeCii(inv, Profile::EN16931);
        test::dumpXml(QStringLiteral("book-59-exempt"), xml);
        const test::CiiDocument d = test::readCii(xml);
        QCOMPARE(d.one(QStringLiteral("CrossIndustryInvoice/SupplyChainTradeTransaction/ApplicableHeaderTradeSettlement/"
                                      "ApplicableTradeTax/ExemptionReason")),
                 c.exemptionReason);
        doc = printout(59);
        QCOMPARE(one(doc, "QRLabelVATNote"), c.exemptionReason);
        QCOMPARE(one(doc, "QRExpr2"), QStringLiteral("R 0.00"));

        // Exempt without a reason cannot go out.
        InvoiceRows rows = readInvoiceRows(59);
        rows.companyDetails = c;
        rows.companyDetails->exemptionReason.clear();
        rows.customerDetails = b;
        QCOMPARE(invoiceProblems(rows, Profile::EN16931), QStringList{QStringLiteral("the reason for the VAT exemption")});
    }

    void xrechnungNeedsMoreAndEveryFieldIsChecked()
    {
        test::runSql("UPDATE Company SET Com_Tel = NULL, Com_Address3 = NULL");
        dm->tblCompany->Refresh();
        InvoiceRows rows = readInvoiceRows(57);
        rows.companyDetails = companyDetails();
        rows.customerDetails = CustomerEInvoiceDetails{acme, QStringLiteral("ZA"), QString(), QString()};
        rows.cusEmail.clear();
        QCOMPARE(invoiceProblems(rows, Profile::EN16931), QStringList());
        QCOMPARE(invoiceProblems(rows, Profile::XRechnung),
                 (QStringList{QStringLiteral("the company's postal code"), QStringLiteral("the company's phone number"),
                              QStringLiteral("the customer's buyer reference"), QStringLiteral("the customer's e-mail address")}));

        rows.companyDetails->iban = QStringLiteral("DE88 3704 0044 0532 0130 00");
        rows.companyDetails->country = QStringLiteral("XX");
        rows.companyDetails->email = QStringLiteral("invoices at zuzevevur");
        const QStringList p = invoiceProblems(rows, Profile::EN16931);
        QCOMPARE(p.size(), 4);
        QVERIFY2(p[0].startsWith(QStringLiteral("the company's country (the country code XX is not known")), qPrintable(p[0]));
        // ZA4100200300 is no VAT identifier of the country the company now gives.
        QCOMPARE(p[1], QStringLiteral("the company's VAT identifier (it must start with the country's prefix, as XX123456789)"));
        QVERIFY2(p[2].startsWith(QStringLiteral("the company's e-mail address (the e-mail address invoices at zuzevevur is not valid")), qPrintable(p[2]));
        QVERIFY2(p[3].startsWith(QStringLiteral("the company's IBAN (the IBAN DE88 3704 0044 0532 0130 00 is not valid: its check digits")), qPrintable(p[3]));
    }
};

ZZ_TEST_MAIN(TestEInvoiceBook)
#include "test_einvoice_book.moc"
