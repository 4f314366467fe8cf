#include "data/Schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "data/Engine.h"
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
const std::vector<DeleteRefusal>& refusals()
{
    static const std::vector<DeleteRefusal> list = {
        {QStringLiteral("Customer"), QStringLiteral("Cus_Code"), QStringLiteral("Invoice"), QStringLiteral("Cus_Code")},
        {QStringLiteral("Product"), QStringLiteral("Prod_Code"), QStringLiteral("Line"), QStringLiteral("Prod_Code")},
    };
    return list;
}

// The refusal, naming the row when a name is given.
QString refusalText(const QString& table, const QString& name)
{
    const QString named = name.trimmed().isEmpty() ? QString() : QLatin1Char(' ') + name.trimmed();
    if (table == QLatin1String("Product"))
        return QStringLiteral("The product%1 is used on invoices and cannot be deleted.").arg(named);
    return QStringLiteral("The customer%1 has invoices and cannot be deleted.").arg(named);
}

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
        << QStringLiteral("CREATE INDEX Line_Prod_Code ON Line (Prod_Code)")
        << QStringLiteral("CREATE INDEX Prod_Description ON Product (Prod_Description COLLATE NOCASE)");
    // The store itself refuses the deletes, whatever program or statement asks for them.
    for (const DeleteRefusal& r : refusals())
        out << QStringLiteral("CREATE TRIGGER %1_Delete_Refused BEFORE DELETE ON %1\n"
                              "  WHEN EXISTS (SELECT 1 FROM %2 WHERE %2.%3 = OLD.%4)\n"
                              "  BEGIN SELECT RAISE(ABORT, '%5'); END")
                   .arg(r.table, r.byTable, r.byField, r.key, refusalText(r.table, QString()));
    return out;
}

const DeleteRefusal* deleteRefusal(const TableDef& table)
{
    for (const DeleteRefusal& r : refusals())
        if (r.table == table.name)
            return &r;
    return nullptr;
}

QString deleteRefusedText(const TableDef& table, const QVariantMap& row)
{
    if (table.name == QLatin1String("Product")) {
        const QString code = row.value(QStringLiteral("Prod_Code")).toString();
        const QString description = row.value(QStringLiteral("Prod_Description")).toString();
        return refusalText(table.name, description.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(description, code));
    }
    return refusalText(table.name, row.value(QStringLiteral("Cus_Name")).toString());
}

bool isDeleteRefusedText(const QString& engineText)
{
    for (const DeleteRefusal& r : refusals())
        if (engineText.trimmed() == refusalText(r.table, QString()))
            return true;
    return false;
}

void createSchema(QSqlDatabase& db)
{
    if (!db.transaction())
        throw EDBEngineError(engineErrorText(engineText(db.lastError()), QString()));
    QSqlQuery q(db);
    for (const QString& sql : schemaSql()) {
        if (!q.exec(sql)) {
            const QString err = engineText(q.lastError());
            db.rollback();
            throw EDBEngineError(engineErrorText(err, QString()));
        }
    }
    if (!db.commit())
        throw EDBEngineError(engineErrorText(engineText(db.lastError()), QString()));
}

void checkSchema(const QSqlDatabase& db)
{
    const QString book = db.databaseName();
    auto missingTable = [&](const TableDef& t) {
        return EDBEngineError(QStringLiteral("Table does not exist: %1 (the table %2 is missing from the database %3)")
                                  .arg(t.fileName, t.name, book));
    };
    auto missingField = [&](const TableDef& t, const FieldDef& f) {
        return EDBEngineError(QStringLiteral("Field does not exist: %1 (the table %2 of the database %3 has no field %1)")
                                  .arg(f.name, t.name, book));
    };
    auto fail = [](const QSqlQuery& q) { throw EDBEngineError(engineErrorText(engineText(q.lastError()), QString())); };

    if (db.driverName() != QLatin1String("QSQLITE")) {
        const QStringList present = db.tables(QSql::Tables);
        for (const TableDef& t : schemaTables()) {
            const auto found = std::find_if(present.begin(), present.end(),
                                            [&](const QString& p) { return p.compare(t.name, Qt::CaseInsensitive) == 0; });
            if (found == present.end())
                throw missingTable(t);
            const QSqlRecord record = db.record(*found);
            for (const FieldDef& f : t.fields)
                if (record.indexOf(f.name) < 0)
                    throw missingField(t, f);
        }
        return;
    }
    // The schema as the engine holds it; a file that is no database, a damaged or a locked one
    // fails here, on the first read.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        fail(q);
    QStringList present;
    while (q.next())
        present << q.value(0).toString();
    if (q.lastError().isValid())
        fail(q);
    for (const TableDef& t : schemaTables()) {
        if (!present.contains(t.name, Qt::CaseInsensitive))
            throw missingTable(t);
        if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t.name)))
            fail(q);
        QStringList columns;
        while (q.next())
            columns << q.value(1).toString();
        if (q.lastError().isValid())
            fail(q);
        for (const FieldDef& f : t.fields)
            if (!columns.contains(f.name, Qt::CaseInsensitive))
                throw missingField(t, f);
    }
}

} // namespace zz
