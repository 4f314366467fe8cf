#include "einvoice/InvoiceRows.h"

#include <memory>

#include "data/DataMod.h"
#include "data/Errors.h"
#include "data/Query.h"
#include "data/Statements.h"
#include "data/Table.h"

namespace zz::einvoice {

namespace {

QString text(const TDataSet& d, const char* field) { return d.FieldByName(QLatin1String(field))->AsString().trimmed(); }

// The invoice report query as the data module holds it, as a query of our own: the printout's
// rows without moving the data module's query, which a preview may be reading.
std::unique_ptr<TQuery> invoiceReportQuery()
{
    for (const StatementDef& def : statementDefs()) {
        if (def.name != QLatin1String("qryInvReport"))
            continue;
        auto q = std::make_unique<TQuery>(def.name, def.lines, def.fields);
        if (!def.engineLines.isEmpty())
            q->setEngineSql(def.engineLines);
        return q;
    }
    throw Exception(QStringLiteral("The invoice report query is missing."));
}

void readCompany(const TDataSet& c, CompanyRow& out)
{
    if (!c.Active() || c.IsEmpty())
        return;
    out.name = text(c, "Com_Name");
    out.vatNo = text(c, "Com_VAT_No");
    out.regNo = text(c, "Com_Reg_No");
    out.tel = text(c, "Com_Tel");
    out.address1 = text(c, "Com_Address1");
    out.address2 = text(c, "Com_Address2");
    out.address3 = text(c, "Com_Address3");
    out.members = text(c, "Com_Members");
}

} // namespace

InvoiceRows readInvoiceRows(int invoiceNumber)
{
    InvoiceRows rows;
    rows.number = invoiceNumber;

    // The header and its customer, also when the printout has no row for them.
    TQuery header(QStringLiteral("qryEInvoiceHeader"),
                  {QStringLiteral("SELECT B.Cus_Code, B.Inv_Date, B.Inv_VAT, B.Inv_Order_No, A.Cus_Code AS Customer_Code, A.Cus_Email"),
                   QStringLiteral("  FROM Invoice B LEFT JOIN Customer A ON(A.Cus_Code = B.Cus_Code)"),
                   QStringLiteral(" WHERE B.Inv_Number = :invNo")},
                  {{QStringLiteral("Cus_Code"), FieldType::Integer},
                   {QStringLiteral("Inv_Date"), FieldType::Date},
                   {QStringLiteral("Inv_VAT"), FieldType::Float},
                   {QStringLiteral("Inv_Order_No"), FieldType::Text, 25},
                   {QStringLiteral("Customer_Code"), FieldType::Integer},
                   {QStringLiteral("Cus_Email"), FieldType::Text, 50}});
    header.Params(0).SetAsInteger(invoiceNumber);
    header.Open();
    if (!header.IsEmpty()) {
        header.First();
        rows.invoiceFound = true;
        rows.cusCode = header.FieldByName(QStringLiteral("Cus_Code"))->AsInteger();
        rows.customerFound = !header.FieldByName(QStringLiteral("Customer_Code"))->IsNull();
        rows.date = header.FieldByName(QStringLiteral("Inv_Date"))->AsDate();
        rows.vatRate = header.FieldByName(QStringLiteral("Inv_VAT"))->AsFloat();
        rows.orderNo = text(header, "Inv_Order_No");
        rows.cusEmail = text(header, "Cus_Email");
    }
    header.Close();

    // The printed rows.
    std::unique_ptr<TQuery> report = invoiceReportQuery();
    report->Params(0).SetAsInteger(invoiceNumber);
    report->Open();
    QList<int> printed;
    for (report->First(); !report->IsEmpty() && !report->Eof(); report->Next()) {
        if (rows.lines.empty()) {
            rows.cusName = text(*report, "Cus_Name");
            rows.cusAddress1 = text(*report, "Cus_Address1");
            rows.cusAddress2 = text(*report, "Cus_Address2");
            rows.cusAddress3 = text(*report, "Cus_Address3");
            rows.cusPhone = text(*report, "Cus_Phone");
            rows.cusVatNo = text(*report, "Cus_VAT_No");
            rows.cusContact = text(*report, "Cus_Contact");
        }
        LineRow line;
        line.lineNumber = report->FieldByName(QStringLiteral("Line_Number"))->AsInteger();
        line.description = text(*report, "Prod_Description");
        line.units = report->FieldByName(QStringLiteral("Line_Units"))->AsInteger();
        line.discount = report->FieldByName(QStringLiteral("Line_Discount"))->AsInteger();
        line.price = report->FieldByName(QStringLiteral("Line_Price"))->AsMoney();
        line.discountPrice = report->FieldByName(QStringLiteral("Line_Discount_Price"))->AsMoney();
        rows.lines.push_back(line);
        printed.push_back(line.lineNumber);
    }
    report->Close();

    // The product codes of the lines, and the lines the printout leaves out.
    TQuery codes(QStringLiteral("qryEInvoiceLines"),
                 {QStringLiteral("SELECT Line_Number, Prod_Code"), QStringLiteral("  FROM Line"),
                  QStringLiteral(" WHERE Inv_Number = :invNo"), QStringLiteral("ORDER BY Line_Number")},
                 {{QStringLiteral("Line_Number"), FieldType::Integer}, {QStringLiteral("Prod_Code"), FieldType::Text, 20}});
    codes.Params(0).SetAsInteger(invoiceNumber);
    codes.Open();
    for (codes.First(); !codes.IsEmpty() && !codes.Eof(); codes.Next()) {
        const int number = codes.FieldByName(QStringLiteral("Line_Number"))->AsInteger();
        const QString code = codes.FieldByName(QStringLiteral("Prod_Code"))->AsString();
        const int at = printed.indexOf(number);
        if (at >= 0)
            rows.lines[at].productCode = code;
        else if (rows.customerFound)
            rows.deletedProducts.push_back(code);
    }
    codes.Close();

    if (DataModule1) {
        readCompany(*DataModule1->tblCompany, rows.company);
    } else {
        TTable company(QStringLiteral("tblCompany"), QStringLiteral("Company.db"));
        company.Open();
        company.First();
        readCompany(company, rows.company);
    }
    return rows;
}

} // namespace zz::einvoice
