#pragma once
// Rows a table cursor holds in memory: blocks of consecutive rows of its view, numbers and dates
// kept in place and text as UTF-8, read straight from SQLite or through the Qt driver; and the
// conversions between SQLite's values and the ones Qt's SQLite driver gives and takes.
#include <QDate>
#include <QVariant>
#include <string>
#include <vector>

#include "data/Schema.h"

struct sqlite3_stmt;
struct sqlite3_value;

namespace zz {

// Rows held together: a block holds up to this many consecutive positions of a view.
constexpr int kBlock = 64;

// One held value: numbers and dates in place, text as UTF-8 in its block, anything else as a
// QVariant of the block.
struct HeldCell {
    enum Kind : quint8 { Null, Text, Int, Double, Date, Held };
    Kind kind = Null;
    quint32 size = 0; // bytes of text
    union {
        qint64 i = 0; // Int, the Julian day of a Date
        double d;
        quint64 at; // where the text or the held value stands
    };
};

struct HeldBlock {
    std::vector<HeldCell> cells; // FieldCount() per row; rows the engine no longer has stay null
    std::string text;
    std::vector<QVariant> held;

    // The value of a cell as TField::normalise gives it.
    QVariant value(size_t i) const;
    // Holds a value that has no place of its own in a cell.
    void hold(HeldCell& c, const QVariant& v);
    // Takes a column as TField::normalise would give the driver's value: straight from the
    // statement for the storage the field's type expects, anything unusual the driver's way.
    // The column's value is read only here, while the statement stands on its row, and by one
    // thread (cursors belong to the window thread).
    void take(HeldCell& c, FieldType type, sqlite3_value* v);
};

// A column as Qt's SQLite driver would give it.
QVariant sqliteDriverValue(sqlite3_value* v);
// Binds a value as Qt's SQLite driver would.
void sqliteBind(sqlite3_stmt* s, int i, const QVariant& v);

// Resets a kept statement when it goes out of use.
struct SqliteStatementReset {
    void operator()(sqlite3_stmt* s) const;
};

} // namespace zz
