#pragma once
// The book tool's work: making the six tables in an empty PostgreSQL database, and copying a whole
// book between a SQLite file and a PostgreSQL database (either way), then checking that both hold
// the same number of rows and the same sums. It never writes into a database that already holds
// tables. Errors are EDBEngineError with a message for the user.
#include <QString>
#include <QStringList>
#include <functional>

namespace zz::book {

// Where a book is: a SQLite file, or a PostgreSQL database. Written on the command line as a file
// path, or as "postgresql://[user@][host][:port]/database" (a socket folder as "?host=/run/postgresql").
// The password comes from ~/.pgpass or the server's trust; it is never written here.
struct BookLocation {
    QString driver;   // "QSQLITE" or "QPSQL"
    QString database; // the file, or the database name
    QString host;
    int port = -1;
    QString user;

    QString display() const;
};
// Throws EDBEngineError for text that names neither.
BookLocation parseLocation(const QString& text);

// Creates the six tables with their keys, defaults, checks, indexes and triggers in an empty
// database (a SQLite file that is not there yet is made); refuses one that holds any table.
void createBook(const BookLocation& target);

// The checks after a copy: per table the rows and the sums of its number fields and text lengths,
// as read from source and copy.
struct TableCheck {
    QString table;
    qint64 sourceRows = 0, targetRows = 0;
    QStringList sums; // "Line_Units 4500 = 4500"
    bool same = true;
};

// Copies every row of the six tables from source into target (made as createBook makes it), in one
// transaction, keeping key values and the auto-numbering counters, and the e-invoicing tables with
// their rows when the source has them; then compares counts and sums of every table copied. A
// source whose e-invoicing tables are damaged is refused with the message saying what is wrong.
// progress (if given) is told of each table. Throws EDBEngineError when the source is no complete
// book, the target holds tables, or the checks differ (the copy then stays, for a look; the
// message says so).
std::vector<TableCheck> copyBook(const BookLocation& source, const BookLocation& target,
                                 const std::function<void(const QString&)>& progress = {});

} // namespace zz::book
