#include "data/Schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "data/Errors.h"

namespace zz {

int TableDef::fieldIndex(const QString& field) const
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const std::vector<TableDef>& schemaTables()
{
    using T = FieldType;
    static const std::vector<TableDef> tables = {
        {QStringLiteral("Customer"), QStringLiteral("Customer.DB"),
         {{"Cus_Code", T::AutoInc}, {"Cus_Name", T::Text, 50, true}, {"Cus_Address1", T::Text, 50},
          {"Cus_Address2", T::Text, 50}, {"Cus_Address3", T::Text, 10}, {"Cus_Web_Address", T::Text, 50},
          {"Cus_Email", T::Text, 50}, {"Cus_Phone", T::Text, 15}, {"Cus_Contact", T::Text, 20},
          {"Cus_VAT_No", T::Text, 50}},
         QStringLiteral("Cus_Name"), QStringLiteral("Cus_Code")},
        {QStringLiteral("Invoice"), QStringLiteral("Invoice.DB"),
         {{"Inv_Number", T::Integer, 0, true}, {"Cus_Code", T::Integer, 0, true}, {"Inv_Date", T::Date, 0, true},
          {"Inv_PayDate", T::Date}, {"Inv_Order_No", T::Text, 25}, {"Inv_VAT", T::Float},
          {"Inv_Paid", T::Text, 3}, {"Inv_Days", T::Text, 10}, {"Inv_Cancelled", T::Text, 3}},
         QStringLiteral("Cus_Code"), QStringLiteral("Inv_Number")},
        {QStringLiteral("Product"), QStringLiteral("Product.db"),
         {{"Prod_Code", T::Text, 20, true}, {"Prod_Description", T::Text, 100, true},
          {"Prod_Price", T::Money, 0, true}},
         QStringLiteral("Prod_Description"), QStringLiteral("Prod_Code")},
        {QStringLiteral("Company"), QStringLiteral("Company.db"),
         {{"Com_Name", T::Text, 75}, {"Com_VAT_No", T::Text, 50}, {"Com_Reg_No", T::Text, 50},
          {"Com_Tel", T::Text, 15}, {"Com_Fax", T::Text, 15}, {"Com_Cell", T::Text, 15},
          {"Com_Address1", T::Text, 50}, {"Com_Address2", T::Text, 50}, {"Com_Address3", T::Text, 10},
          {"Com_Members", T::Text, 100}, {"Com_Logo", T::Graphic}, {"Inv_Start_No", T::Integer}},
         QString(), QString()},
        {QStringLiteral("VAT"), QStringLiteral("VAT.db"),
         {{"VAT_Percentage", T::Float, 0, true, QStringLiteral("#0.00%")}},
         QString(), QString()},
        {QStringLiteral("Line"), QStringLiteral("Line.DB"),
         {{"Inv_Number", T::Integer, 0, true}, {"Prod_Code", T::Text, 20, true}, {"Line_Number", T::AutoInc},
          {"Line_Units", T::Integer}, {"Line_Price", T::Money}, {"Line_Discount", T::Integer},
          {"Line_Discount_Price", T::Money}},
         QStringLiteral("Inv_Number"), QStringLiteral("Line_Number")},
    };
    return tables;
}

const TableDef& tableDef(const QString& nameOrFile)
{
    for (const TableDef& t : schemaTables())
        if (t.name.compare(nameOrFile, Qt::CaseInsensitive) == 0 || t.fileName.compare(nameOrFile, Qt::CaseInsensitive) == 0)
            return t;
    throw EDBEngineError(QStringLiteral("Table does not exist: %1").arg(nameOrFile));
}

bool isTextType(FieldType t) { return t == FieldType::Text; }
bool isNumericType(FieldType t)
{
    return t == FieldType::Integer || t == FieldType::AutoInc || t == FieldType::Float || t == FieldType::Money;
}

namespace {
QString columnSql(const TableDef& table, const FieldDef& f)
{
    QString sql = f.name + QLatin1Char(' ');
    switch (f.type) {
    case FieldType::AutoInc: return sql + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Integer: sql += QStringLiteral("INTEGER"); break;
    case FieldType::Float:
    case FieldType::Money: sql += QStringLiteral("REAL"); break;
    case FieldType::Date: sql += QStringLiteral("TEXT CHECK (%1 IS NULL OR length(%1) = 10)").arg(f.name); break;
    case FieldType::Graphic: sql += QStringLiteral("BLOB"); break;
    case FieldType::Text:
        sql += QStringLiteral("TEXT");
        // Names are browsed and searched without regard to case.
        if (f.name == table.orderField)
            sql += QStringLiteral(" COLLATE NOCASE");
        sql += QStringLiteral(" CHECK (length(%1) <= %2)").arg(f.name).arg(f.size);
        break;
    }
    if (f.name == table.keyField)
        sql += QStringLiteral(" NOT NULL UNIQUE");
    if (table.name == QLatin1String("Invoice")) {
        if (f.name == QLatin1String("Inv_Paid") || f.name == QLatin1String("Inv_Cancelled"))
            sql += QStringLiteral(" DEFAULT 'NO'");
        else if (f.name == QLatin1String("Inv_Days"))
            sql += QStringLiteral(" DEFAULT 'CURRENT'");
    }
    return sql;
}
} // namespace

QStringList schemaSql()
{
    QStringList out;
    for (const TableDef& t : schemaTables()) {
        QStringList cols;
        for (const FieldDef& f : t.fields)
            cols << columnSql(t, f);
        out << QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(t.name, cols.join(QStringLiteral(",\n  ")));
    }
    out << QStringLiteral("CREATE INDEX Cus_Name ON Customer (Cus_Name COLLATE NOCASE)")
        << QStringLiteral("CREATE INDEX Cus_Code ON Invoice (Cus_Code)")
        // The lines of an invoice in invoice order; with the units and the discounted price in the
        // index, the sums of the revenue and statement queries read the index alone, not the lines.
        << QStringLiteral("CREATE INDEX Line_Inv_Number ON Line (Inv_Number, Line_Units, Line_Discount_Price)")
        << QStringLiteral("CREATE INDEX Prod_Description ON Product (Prod_Description COLLATE NOCASE)");
    return out;
}

void createSchema(QSqlDatabase& db)
{
    if (!db.transaction())
        throw EDBEngineError(QStringLiteral("Cannot create the tables: %1").arg(db.lastError().text()));
    QSqlQuery q(db);
    for (const QString& sql : schemaSql()) {
        if (!q.exec(sql)) {
            const QString err = q.lastError().text();
            db.rollback();
            throw EDBEngineError(QStringLiteral("Cannot create the tables: %1").arg(err));
        }
    }
    if (!db.commit())
        throw EDBEngineError(QStringLiteral("Cannot create the tables: %1").arg(db.lastError().text()));
}

void checkSchema(const QSqlDatabase& db)
{
    const QStringList present = db.tables(QSql::Tables);
    for (const TableDef& t : schemaTables()) {
        bool found = false;
        for (const QString& p : present)
            found = found || p.compare(t.name, Qt::CaseInsensitive) == 0;
        if (!found)
            throw EDBEngineError(QStringLiteral("Table does not exist: %1 (the table %2 is missing from the database %3)")
                                     .arg(t.fileName, t.name, db.databaseName()));
    }
}

} // namespace zz
