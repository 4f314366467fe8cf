#pragma once
// The statements a table cursor runs on its table: reading the identities and rows of its view,
// writing and deleting one row, and finding a row for a locate. Values are only ever bound, never
// written into the statement text.
#include <QString>
#include <QHash>
#include <QSqlQuery>
#include <QVariant>
#include <vector>

#include "data/Schema.h"

namespace zz {

using Row = std::vector<QVariant>;

// How a field value is handed to the engine: dates as 'YYYY-MM-DD', everything else as held.
QVariant bindable(FieldType type, const QVariant& value);

// " ORDER BY <browse order>, rowid": the view's order, ties by identity.
QString orderByClause(const TableDef& table);
// The identities of the view in browse order; with a link field, only the rows whose link field
// equals the one bound value.
QString identitiesSql(const TableDef& table, int linkIndex);
// Every field of up to `count` rows by identity, then the identity: "SELECT f1, ..., rowid FROM
// T WHERE rowid IN (?, ...)".
QString rowsByIdentitySql(const TableDef& table, int count);

// Writes a new row from the fields that hold a value (the table's defaults apply to the others);
// returns its identity. Throws EDBEngineError with the engine's message (a key violation names
// the repeated value).
qint64 insertRow(const TableDef& table, const Row& values);
// Writes many new rows into one table, each as insertRow writes it, with its statement prepared
// once for each set of fields that hold a value (an import writes thousands in one transaction).
class RowInserter {
public:
    explicit RowInserter(const TableDef& table) : m_table(table) {}
    qint64 insert(const Row& values);

private:
    const TableDef& m_table;
    QHash<quint64, QSqlQuery> m_statements;
};
// Writes the fields marked changed into the row with that identity; nothing when none is. The row
// is written only while it still holds the values it was read with (`read`): when another seat
// changed or deleted it since, nothing is written and EDBEngineError names the row.
void updateRow(const TableDef& table, qint64 id, const Row& values, const std::vector<bool>& changed, const Row& read);
// Locks the row with that identity against the writes of other seats until the running
// transaction ends (SQLite locks the whole book for writing).
void lockRow(const TableDef& table, qint64 id);
// How a row is named in messages: "the customer Acme Ltd", "invoice 12", "the company details".
QString rowTitle(const TableDef& table, const Row& values);
void deleteRow(const TableDef& table, qint64 id);

// What a locate looks for: a field's value, in a detail view only among the rows whose link
// field holds `link`.
struct RowSearch {
    int field = -1;
    QVariant value;
    bool partial = false;    // the field begins with the value's text
    bool noCase = false;     // letters compared without regard to case
    int linkIndex = -1;      // -1: every row of the table
    QVariant link;
};
// The identity of the first row in browse order that matches; 0 when none does.
qint64 findRow(const TableDef& table, const RowSearch& search);

} // namespace zz
