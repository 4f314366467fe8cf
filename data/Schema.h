#pragma once
// The six tables of the books: fields in order, types, sizes, required flags, browse orders and keys.
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <vector>

#include "data/FieldType.h"

class QSqlDatabase;

namespace zz {

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;          // characters, for text fields
    bool required = false;
    QString displayFormat; // number pattern, empty for none
};

struct TableDef {
    QString name;        // as the statements name it: Customer, Invoice, ...
    QString fileName;    // what the cursor opens under the alias: "Customer.DB", ...
    std::vector<FieldDef> fields;
    QString orderField;  // browse order; empty for none (the tables' natural order)
    QString keyField;    // unique key, if any

    int fieldIndex(const QString& field) const; // case-insensitive; -1 if missing
};

// The six tables in the order the data module opens them.
const std::vector<TableDef>& schemaTables();
// By table name ("Customer") or file name ("Customer.DB"), case-insensitive; throws if unknown.
const TableDef& tableDef(const QString& nameOrFile);

// The engines the books are kept on. One description of the tables is written out for each.
enum class SqlDialect { SQLite, PostgreSQL };
// The dialect of a connection's driver (QPSQL: PostgreSQL; anything else: SQLite).
SqlDialect dialectOf(const QSqlDatabase& db);
// The dialect of the open database.
SqlDialect openDialect();

// The SQL that creates the six tables with their keys, defaults, checks and indexes, and the
// triggers by which the store refuses to delete a row that others refer to. On PostgreSQL every
// table also gets the column rowid, the identity the cursors know its rows by (SQLite has its own).
QStringList schemaSql(SqlDialect dialect = SqlDialect::SQLite);
// Creates the six tables in one transaction, in the dialect of the connection's driver.
void createSchema(QSqlDatabase& db);
// Reads, and only reads, whether the database holds every table and every field the program
// uses; throws EDBEngineError naming the first table or field it lacks (or the engine's error).
// The e-invoicing tables below are optional: the check neither asks for them nor looks into them,
// so that a book without them, or with a damaged part of them, opens and works as before.
void checkSchema(const QSqlDatabase& db);

// The tables of the e-invoicing details, which a book holds only from the first time the user
// saves such details: CompanyEInvoicing (one row, the company's) and CustomerEInvoicing (one row
// per customer, by Cus_Code). The six tables keep their shape beside them.
const std::vector<TableDef>& eInvoicingTables();
// The SQL that creates them, in the dialect given (on PostgreSQL with their rowid).
QStringList eInvoicingSchemaSql(SqlDialect dialect = SqlDialect::SQLite);
// What a database holds of them. Damaged: one of them is missing, or lacks a field; the message
// names what and where.
enum class OptionalTables { Absent, Complete, Damaged };
OptionalTables checkEInvoicingTables(const QSqlDatabase& db, QString* problem = nullptr);

// The tables of the credit notes, which a book holds from its first credit note (or from the
// first time the user sets where their numbers start): CreditNote (one row per cancelled invoice:
// its number, the invoice, the date and the reason; one per invoice) and CreditNoteCounter (one
// row: the number the next credit note gets). Optional like the e-invoicing tables.
const std::vector<TableDef>& creditNoteTables();
QStringList creditNoteSchemaSql(SqlDialect dialect = SqlDialect::SQLite);
OptionalTables checkCreditNoteTables(const QSqlDatabase& db, QString* problem = nullptr);

// Rows that other rows refer to are not deleted: a customer that has invoices, a product that
// invoice lines use. Their business records would otherwise drop out of every list and report.
struct DeleteRefusal {
    QString table;   // "Customer"
    QString key;     // "Cus_Code"
    QString byTable; // the table whose rows refer to it: "Invoice"
    QString byField; // "Cus_Code"
};
// The refusal that guards rows of a table; nullptr when its rows may always be deleted.
const DeleteRefusal* deleteRefusal(const TableDef& table);
// The message refusing to delete a row, from the row's values by field name ("The customer
// Acme Ltd has invoices and cannot be deleted.").
QString deleteRefusedText(const TableDef& table, const QVariantMap& row);
// Whether an engine error is the store's own refusal to delete such a row.
bool isDeleteRefusedText(const QString& engineText);

bool isTextType(FieldType t);
bool isNumericType(FieldType t);

} // namespace zz
