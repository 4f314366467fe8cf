#pragma once
// Bringing customers and products in from a CSV file. The file's columns are mapped onto the
// table's fields; every row is checked against the rules the administration windows follow
// (required fields, the fields' lengths, the price as an amount the books can hold, one row per
// product code) before anything is written; then the sound rows are written in one transaction,
// all of them or none. The file is read as a stream, twice (the check, then the writing, which
// checks again), so its size does not matter.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "exchange/Csv.h"

namespace zz::exchange {

enum class ImportKind { Customers, Products };

// The fields a row fills, in table order: the customer's name, three address lines, web
// address, e-mail, phone, contact and VAT number; the product's code, description and price.
struct ImportField {
    QString name;    // Cus_Name
    QString caption; // "Customer Name", as the editor shows it
    int size = 0;    // characters, for text fields
    bool required = false;
    bool price = false;
};
const std::vector<ImportField>& importFields(ImportKind kind);
// "customers", "products".
QString kindName(ImportKind kind);

// For each import field, the file's column it is read from (-1: none; the field stays empty).
struct ColumnMapping {
    std::vector<int> columns;
};
// With a header row: the column whose title names the field (its field name, its caption, the
// list's column title, or a usual word such as "E-mail", "Street", "Price"), compared without
// regard to case, blanks or punctuation. Without: the columns in the fields' order.
ColumnMapping guessMapping(ImportKind kind, const QStringList& header, bool hasHeader);
// Whether the first row looks like column titles: one of its fields names an import field.
bool looksLikeHeader(ImportKind kind, const QStringList& firstRow);

enum class PriceReading { Point, Regional }; // "12.50" always, or the regional decimal separator
enum class ExistingProducts { Leave, Update };  // a code already in the books
enum class LongTexts { Refuse, Cut };           // a text longer than its field

struct ImportOptions {
    CsvFormat csv;
    ColumnMapping mapping;
    PriceReading prices = PriceReading::Point;
    ExistingProducts existing = ExistingProducts::Leave;
    LongTexts longTexts = LongTexts::Refuse;
};

struct RowNote {
    qint64 line = 0;
    QString text;
};

// What the check found; the import itself answers the same.
struct ImportCheck {
    qint64 rows = 0;      // data rows read (a header not counted)
    qint64 toInsert = 0;  // sound new rows
    qint64 toUpdate = 0;  // products already in the books whose description or price is changed
    qint64 unchanged = 0; // products already in the books left as they are
    qint64 refusedCount = 0;
    std::vector<RowNote> refused;  // the first kMaxNotes, with line and reason
    std::vector<RowNote> existing; // products already in the books (the first kMaxNotes)
    static constexpr size_t kMaxNotes = 10000;

    bool sameCounts(const ImportCheck& o) const
    {
        return rows == o.rows && toInsert == o.toInsert && toUpdate == o.toUpdate && unchanged == o.unchanged
            && refusedCount == o.refusedCount;
    }
};

// Told how far the reading has come (bytes) of how much; answers false to stop.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Checks every row of the file against the open book, writing nothing. Throws ECsvError for a
// file that cannot be read as CSV (naming the line), Exception when the mapping misses a required
// field or the file holds no rows.
ImportCheck checkImport(const QString& path, ImportKind kind, const ImportOptions& options,
                        const ImportProgress& progress = {});

// Writes the sound rows in one transaction of the open book: inserts the new rows, and with
// ExistingProducts::Update changes the description and price of products already there. The rows
// are checked again while they are written; when that check differs from `checked` (the file or
// the books changed meanwhile), or a row cannot be written, nothing is written and the error goes
// on. With refused rows and soundRowsOnly false, nothing is written either.
ImportCheck runImport(const QString& path, ImportKind kind, const ImportOptions& options, const ImportCheck& checked,
                      bool soundRowsOnly, const ImportProgress& progress = {});

// Only for the tests: called before each row is written, with its line.
void setBeforeRowWrite(std::function<void(qint64 line)> hook);

} // namespace zz::exchange
