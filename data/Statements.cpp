#include "data/Statements.h"

namespace zz {

namespace {
using T = FieldType;

QStringList statLines(const QString& ageClass)
{
    return {
        "SELECT SUM(B.Line_Units * (B.Line_Discount_Price + (B.Line_Discount_Price * (A.Inv_VAT / 100)))) AS Total",
        "  FROM Invoice A JOIN",
        "       Line    B ON(A.Inv_Number = B.Inv_Number)",
        " WHERE A.Cus_Code      = :cusCode",
        "   AND A.Inv_Cancelled = 'NO'",
        "   AND A.Inv_Paid      = 'NO'",
        "   AND A.Inv_Days      = '" + ageClass + "'",
    };
}
// The lists of every customer's invoices in name order: the engine walks the customers in name
// order (by their name index) and the invoices of each, so that the first rows of a large book
// come at once instead of after a sort of the whole result. The rows and their order are the
// same: only the loop order of the join is fixed.
QStringList customersFirst(QStringList lines)
{
    for (QString& line : lines)
        if (line == QLatin1String("    FROM Customer A JOIN"))
            line = QStringLiteral("    FROM Customer A CROSS JOIN");
    return lines;
}
} // namespace

const std::vector<StatementDef>& statementDefs()
{
    static const std::vector<StatementDef> defs = [] {
        std::vector<StatementDef> d;
        d.push_back({"qryInvDetail",
                     {"  SELECT A.Prod_Description,",
                      "         B.Line_Number,",
                      "         B.Line_Units,",
                      "         B.Line_Discount,",
                      "         B.Line_Discount_Price,",
                      "         B.Line_Price,",
                      "         B.Line_Discount_Price * B.Line_Units AS Total",
                      "    FROM Product A JOIN Line B ON(A.Prod_Code = B.Prod_Code)",
                      "   WHERE B.Inv_Number = :invNum",
                      "ORDER BY B.Line_Number"},
                     {{"Prod_Description", T::Text, 100}, {"Line_Number", T::Integer}, {"Line_Units", T::Integer},
                      {"Line_Discount", T::Integer, 0, false, "#0 %"}, {"Line_Discount_Price", T::Money},
                      {"Line_Price", T::Money}, {"Total", T::Money}},
                     true});
        d.push_back({"qryDelLine", {"DELETE FROM Line", " WHERE Line_Number = :lineNum"}, {}, false});
        d.push_back({"qryPayInv",
                     {"UPDATE Invoice", "   SET Inv_PayDate = :payDate,", "       Inv_Paid    = 'YES'",
                      " WHERE Inv_Number  = :invNo "},
                     {}, false});
        d.push_back({"qryCancelInv",
                     {"UPDATE Invoice", "   SET Inv_Cancelled = 'YES'", " WHERE Inv_Number    = :invNo"}, {}, false});
        d.push_back({"qryInvReport",
                     {"  SELECT A.Cus_Name,", "         A.Cus_Address1,", "         A.Cus_Address2,",
                      "         A.Cus_Address3,", "         A.Cus_Phone,", "         A.Cus_VAT_No,",
                      "         A.Cus_Contact,", "         B.Inv_Number,", "         B.Inv_Date,",
                      "         B.Inv_VAT,", "         B.Inv_Order_No,", "         C.Line_Number,",
                      "         C.Line_Units,", "         C.Line_Price,", "         C.Line_Discount,",
                      "         C.Line_Discount_Price,", "         C.Line_Discount_Price * C.Line_Units AS Total,",
                      "         D.Prod_Description", "    FROM Customer A JOIN",
                      "         Invoice  B ON(A.Cus_Code   = B.Cus_Code)   JOIN",
                      "         Line     C ON(B.Inv_Number = C.Inv_Number) JOIN",
                      "         Product  D ON(C.Prod_Code  = D.Prod_Code)", "   WHERE B.Inv_Number = :invNo",
                      "ORDER BY C.Line_Number"},
                     {{"Cus_Name", T::Text, 50}, {"Cus_Address1", T::Text, 50}, {"Cus_Address2", T::Text, 50},
                      {"Cus_Address3", T::Text, 10}, {"Cus_Phone", T::Text, 15}, {"Cus_VAT_No", T::Text, 50},
                      {"Cus_Contact", T::Text, 20}, {"Inv_Number", T::Integer}, {"Inv_Date", T::Date},
                      {"Inv_VAT", T::Float, 0, false, "#0.00 %"}, {"Inv_Order_No", T::Text, 25},
                      {"Line_Number", T::Integer}, {"Line_Units", T::Integer}, {"Line_Price", T::Money},
                      {"Line_Discount", T::Integer, 0, false, "#0 %"}, {"Line_Discount_Price", T::Money},
                      {"Total", T::Money}, {"Prod_Description", T::Text, 100}},
                     true});
        d.push_back({"qryUnpaidInv",
                     {"  SELECT B.Inv_Number,", "         B.Inv_Date,", "         B.Inv_Order_No,",
                      "         B.Inv_Days,", "         A.Cus_Name,", "         A.Cus_Phone,",
                      "         A.Cus_Contact", "    FROM Customer A JOIN",
                      "         Invoice  B ON(A.Cus_Code = B.Cus_Code)", "   WHERE B.Inv_Paid      = 'NO'",
                      "     AND B.Inv_Cancelled = 'NO'", "ORDER BY A.Cus_Name,", "         B.Inv_Number"},
                     {{"Inv_Number", T::Integer}, {"Inv_Date", T::Date}, {"Inv_Order_No", T::Text, 25},
                      {"Inv_Days", T::Text, 10}, {"Cus_Name", T::Text, 50}, {"Cus_Phone", T::Text, 15},
                      {"Cus_Contact", T::Text, 20}},
                     true});
        d.back().engineLines = customersFirst(d.back().lines);
        d.push_back({"qryAdvancePeriod",
                     {"UPDATE Invoice", "   SET Inv_Days   = :invDays", " WHERE Inv_Number = :invNo"}, {}, false});
        d.push_back({"qryCancelledInv",
                     {"  SELECT A.Cus_Name,", "         B.Inv_Number,", "         B.Inv_Date",
                      "    FROM Customer A JOIN", "         Invoice  B ON(A.Cus_Code = B.Cus_Code)",
                      "   WHERE B.Inv_Cancelled = 'YES'", "ORDER BY A.Cus_Name,", "         B.Inv_Number"},
                     {{"Cus_Name", T::Text, 50}, {"Inv_Number", T::Integer}, {"Inv_Date", T::Date}},
                     true});
        d.back().engineLines = customersFirst(d.back().lines);
        // The revenue statement has no persistent fields; its columns, read by name, carry these types.
        d.push_back({"qryReportRevenue",
                     {"  SELECT B.Inv_Number,", "         A.Cus_Name,", "         B.Inv_VAT,",
                      "         SUM(C.Line_Units * C.Line_Discount_Price) AS Total", "    FROM Customer A JOIN",
                      "         Invoice  B ON(A.Cus_Code   = B.Cus_Code) JOIN",
                      "         Line     C ON(B.Inv_Number = C.Inv_Number)", "   WHERE B.Inv_Cancelled = 'NO'",
                      "     AND B.Inv_Paid      = 'YES'",
                      "     AND B.Inv_PayDate >= :startDate AND B.Inv_PayDate <= :endDate",
                      "GROUP BY B.Inv_Number,", "         A.Cus_Name,", "         B.Inv_VAT",
                      "ORDER BY A.Cus_Name,", "         B.Inv_Number"},
                     {{"Inv_Number", T::Integer}, {"Cus_Name", T::Text, 50}, {"Inv_VAT", T::Float}, {"Total", T::Money}},
                     true});
        d.push_back({"qryStatementDetail",
                     {"  SELECT A.Inv_Number,", "         A.Inv_Date,", "         A.Inv_Days,",
                      "         C.Cus_Name,", "         C.Cus_Address1,", "         C.Cus_Address2,",
                      "         C.Cus_Address3,", "         C.Cus_Phone,", "         C.Cus_Contact,",
                      "         SUM(B.Line_Units * (B.Line_Discount_Price + (B.Line_Discount_Price * (A.Inv_VAT / 100)))) AS Total",
                      "    FROM Customer C JOIN", "         Invoice  A ON(C.Cus_Code = A.Cus_Code) JOIN",
                      "         Line     B ON(A.Inv_Number = B.Inv_Number)", "   WHERE A.Cus_Code      = :cusCode",
                      "     AND A.Inv_Cancelled = 'NO'", "     AND A.Inv_Paid      = 'NO'",
                      "GROUP BY A.Inv_Number,", "         C.Cus_Name,", "         A.Inv_Days,",
                      "         A.Inv_Date,", "         C.Cus_Address1,", "         C.Cus_Address2,",
                      "         C.Cus_Address3,", "         C.Cus_Phone,", "         C.Cus_Contact"},
                     {{"Inv_Number", T::Integer}, {"Inv_Date", T::Date}, {"Inv_Days", T::Text, 10},
                      {"Total", T::Money}, {"Cus_Name", T::Text, 50}, {"Cus_Address1", T::Text, 50},
                      {"Cus_Address2", T::Text, 50}, {"Cus_Address3", T::Text, 10}, {"Cus_Phone", T::Text, 15},
                      {"Cus_Contact", T::Text, 20}},
                     true});
        const std::pair<const char*, const char*> classes[] = {{"qryStatCurrent", "CURRENT"}, {"qryStat30", "30"},
                                                               {"qryStat60", "60"}, {"qryStat90", "90"},
                                                               {"qryStat120", "120"}, {"qryStat120Plus", "120+"}};
        for (const auto& [name, ageClass] : classes)
            d.push_back({name, statLines(ageClass), {{"Total", T::Money}}, true});
        return d;
    }();
    return defs;
}

} // namespace zz
