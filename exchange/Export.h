#pragma once
// Taking the books out as CSV files a spreadsheet or an accounting program reads: customers,
// products, invoices and invoice lines, each as one file (UTF-8, RFC 4180, a header row of the
// field names, amounts with a point and no grouping, dates as ISO 8601). The file is written
// whole or not at all: into a temporary file that takes the target's name at the end.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zz::exchange {

enum class ExportWhat { Customers, Products, Invoices, Lines, CreditNotes };
// "customers", "products", "invoices", "lines", "creditnotes"; nothing for another word.
std::optional<ExportWhat> exportWhatFromName(const QString& name);
QString exportWhatName(ExportWhat what);

// Which invoices (and their lines) go out: all, those dated within the range, or those paid
// within it (both dates included). Customers and products always go out whole. Credit notes go
// out by the dates of the invoices they take back, or, for a range of pay dates (a cancelled
// invoice is never paid), by their own dates.
struct ExportRange {
    enum class Kind { All, InvoiceDates, PayDates };
    Kind kind = Kind::All;
    QDate from, to;
};

struct ExportOptions {
    ExportRange range;
    bool byteOrderMark = true; // spreadsheets then know the file is UTF-8
};

// The header row of each file.
QStringList exportColumns(ExportWhat what);

// Told of the records written so far; answers false to stop (nothing is then written).
using ExportProgress = std::function<bool(qint64 records)>;

// Writes the file from the open book and returns the number of rows written (the header not
// counted). Throws Exception with a message when the book cannot be read or the file not
// written; the target is then as it was.
qint64 exportCsv(ExportWhat what, const QString& path, const ExportOptions& options = {},
                 const ExportProgress& progress = {});

} // namespace zz::exchange
