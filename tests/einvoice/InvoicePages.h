#pragma once
// The invoice printout over in-memory rows (the example invoice: 3 x 19.99 less 15 %, at 15 % VAT)
// and a small Cross Industry Invoice of the same amounts, for the container's tests.
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/MoneyMask.h"
#include "reports/engine/ReportGenerator.h"
#include "tests/reports/FakeDataset.h"

namespace zz::test {

struct InvoicePages {
    FakeDataset lines{{{"Cus_Name", report::FieldType::Text},
                       {"Inv_Number", report::FieldType::Integer},
                       {"Prod_Description", report::FieldType::Text},
                       {"Line_Units", report::FieldType::Integer},
                       {"Line_Price", report::FieldType::Money},
                       {"Line_Discount", report::FieldType::Integer, "#0 %"},
                       {"Line_Discount_Price", report::FieldType::Money},
                       {"Inv_VAT", report::FieldType::Float, "#0.00 %"},
                       {"Total", report::FieldType::Money}}};
    FakeDataset company{{{"Com_Name", report::FieldType::Text}, {"Com_Members", report::FieldType::Text}}};
    std::unique_ptr<report::Report> report;
    report::ReportDocument doc;

    // `rows` lines; the first is the example line, the others 1 x 2.50 each.
    explicit InvoicePages(int rows = 1, const QString& customer = QStringLiteral("Müller & Söhne GmbH"))
    {
        for (int i = 0; i < rows; ++i) {
            if (i == 0)
                lines.rows.push_back({customer, 57, QStringLiteral("Widget"), 3, 19.99, 15, 16.99, 15.0, 50.97});
            else
                lines.rows.push_back({customer, 57, QStringLiteral("Washer %1").arg(i), 1, 2.5, 0, 2.5, 15.0, 2.5});
        }
        company.rows = {{QStringLiteral("Zuzevevur Trading"), QStringLiteral("J. Doe")}};
        company.first();
        report = report::buildInvoiceReport(lines, company);
        for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
            report->setMask(QLatin1String(name), report::moneyMask(report::kMoneyPattern));
        report->documentName = report::invoiceDocumentName(57);
        report::generateReport(*report, doc);
    }
};

// A Cross Industry Invoice with the example's totals (not a complete EN 16931 invoice).
inline QByteArray sampleCii(const QString& buyer = QStringLiteral("Müller & Söhne GmbH"))
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<rsm:CrossIndustryInvoice xmlns:rsm=\"urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100\" "
               "xmlns:ram=\"urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100\">\n"
               " <rsm:ExchangedDocument><ram:ID>57</ram:ID><ram:TypeCode>380</ram:TypeCode></rsm:ExchangedDocument>\n"
               " <rsm:SupplyChainTradeTransaction><ram:ApplicableHeaderTradeAgreement><ram:BuyerTradeParty>"
               "<ram:Name>%1</ram:Name></ram:BuyerTradeParty></ram:ApplicableHeaderTradeAgreement>\n"
               "  <ram:ApplicableHeaderTradeSettlement><ram:SpecifiedTradeSettlementHeaderMonetarySummation>"
               "<ram:LineTotalAmount>50.97</ram:LineTotalAmount><ram:TaxTotalAmount currencyID=\"ZAR\">7.65</ram:TaxTotalAmount>"
               "<ram:GrandTotalAmount>58.62</ram:GrandTotalAmount></ram:SpecifiedTradeSettlementHeaderMonetarySummation>"
               "</ram:ApplicableHeaderTradeSettlement></rsm:SupplyChainTradeTransaction>\n"
               "</rsm:CrossIndustryInvoice>\n")
        .arg(buyer.toHtmlEscaped())
        .toUtf8();
}

} // namespace zz::test
