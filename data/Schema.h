#pragma once
// The six tables of the books: fields in order, types, sizes, required flags, browse orders and keys.
#include <QString>
#include <QStringList>
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

// The SQL that creates the six tables with their keys, defaults, checks and indexes.
QStringList schemaSql();
void createSchema(QSqlDatabase& db);
// Throws EDBEngineError naming the first of the six tables the database lacks.
void checkSchema(const QSqlDatabase& db);

bool isTextType(FieldType t);
bool isNumericType(FieldType t);

} // namespace zz
