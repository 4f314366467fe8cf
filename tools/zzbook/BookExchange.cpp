#include "tools/zzbook/BookExchange.h"

#include <QElapsedTimer>

#include "data/BookLock.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "tools/zzbook/BookCopy.h"

namespace zz::book {

const char* const kExchangeUsage =
    "       zzbook export BOOK customers|products|invoices|lines|creditnotes FILE\n"
    "              [--invoice-dates FROM TO | --pay-dates FROM TO] [--no-bom]\n"
    "       zzbook import BOOK customers|products FILE [--update-existing] [--skip-refused]\n"
    "              [--cut-long] [--regional-prices] [--separator comma|semicolon|tab]\n"
    "              [--encoding utf-8|windows-1252]\n"
    "Dates are YYYY-MM-DD. The import takes the columns by their header names.\n";

namespace {
using namespace zz::exchange;

// Opens the book as the program would (its tables checked before anything is read), and closes
// it again at the end.
class OpenBook {
public:
    OpenBook(const QString& text, bool writing)
    {
        const BookLocation where = parseLocation(text);
        AliasConfig config;
        config.alias = QString::fromLatin1(Engine::kAlias);
        config.driver = where.driver;
        config.database = where.database;
        config.host = where.host;
        config.port = where.port;
        config.user = where.user;
        if (writing && where.driver == QLatin1String("QSQLITE")) {
            // The program holds the cursors of an open book; it would not see rows written now.
            if (m_lock.lock(where.database) == BookLock::Outcome::HeldElsewhere)
                throw Exception(QStringLiteral("The book %1 is open in the program (%2); close it there first.")
                                    .arg(where.database, m_lock.holder()));
        }
        Engine::open(config);
    }
    ~OpenBook() { Engine::close(); }

private:
    BookLock m_lock;
};

std::optional<QDate> isoDate(const QString& text)
{
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid() || text.size() != 10)
        return std::nullopt;
    return d;
}
} // namespace

int runExport(const QStringList& args, FILE* out, FILE* err)
{
    if (args.size() < 3)
        return 2;
    const auto what = exportWhatFromName(args[1]);
    if (!what) {
        std::fprintf(err, "zzbook: export what? %s is none of customers, products, invoices, lines, creditnotes.\n", qPrintable(args[1]));
        return 2;
    }
    ExportOptions options;
    for (int i = 3; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--no-bom")) {
            options.byteOrderMark = false;
        } else if ((args[i] == QLatin1String("--invoice-dates") || args[i] == QLatin1String("--pay-dates"))
                   && i + 2 < args.size() && options.range.kind == ExportRange::Kind::All) {
            const auto from = isoDate(args[i + 1]), to = isoDate(args[i + 2]);
            if (!from || !to) {
                std::fprintf(err, "zzbook: %s and %s are not both dates of the form YYYY-MM-DD.\n", qPrintable(args[i + 1]),
                             qPrintable(args[i + 2]));
                return 2;
            }
            options.range = {args[i] == QLatin1String("--invoice-dates") ? ExportRange::Kind::InvoiceDates
                                                                          : ExportRange::Kind::PayDates,
                             *from, *to};
            i += 2;
        } else {
            std::fprintf(err, "zzbook: unknown option %s.\n", qPrintable(args[i]));
            return 2;
        }
    }
    try {
        OpenBook book(args[0], false);
        QElapsedTimer timer;
        timer.start();
        const qint64 rows = exportCsv(*what, args[2], options);
        std::fprintf(out, "Wrote %lld %s to %s in %.1f s.\n", rows, qPrintable(exportWhatName(*what)), qPrintable(args[2]),
                     timer.elapsed() / 1000.0);
        return 0;
    } catch (const Exception& e) {
        std::fprintf(err, "zzbook: %s\n", qPrintable(e.message()));
        return 1;
    }
}

int runImport(const QStringList& args, FILE* out, FILE* err)
{
    if (args.size() < 3)
        return 2;
    ImportKind kind;
    if (args[1] == QLatin1String("customers"))
        kind = ImportKind::Customers;
    else if (args[1] == QLatin1String("products"))
        kind = ImportKind::Products;
    else {
        std::fprintf(err, "zzbook: import what? %s is neither customers nor products.\n", qPrintable(args[1]));
        return 2;
    }
    const QString file = args[2];
    ImportOptions options;
    bool skipRefused = false;
    std::optional<char> separator;
    std::optional<Encoding> encoding;
    for (int i = 3; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--update-existing"))
            options.existing = ExistingProducts::Update;
        else if (a == QLatin1String("--skip-refused"))
            skipRefused = true;
        else if (a == QLatin1String("--cut-long"))
            options.longTexts = LongTexts::Cut;
        else if (a == QLatin1String("--regional-prices"))
            options.prices = PriceReading::Regional;
        else if (a == QLatin1String("--separator") && i + 1 < args.size()) {
            const QString s = args[++i];
            if (s == QLatin1String("comma")) separator = ',';
            else if (s == QLatin1String("semicolon")) separator = ';';
            else if (s == QLatin1String("tab")) separator = '\t';
            else {
                std::fprintf(err, "zzbook: the separator is comma, semicolon or tab, not %s.\n", qPrintable(s));
                return 2;
            }
        } else if (a == QLatin1String("--encoding") && i + 1 < args.size()) {
            const QString s = args[++i].toLower();
            if (s == QLatin1String("utf-8") || s == QLatin1String("utf8")) encoding = Encoding::Utf8;
            else if (s == QLatin1String("windows-1252") || s == QLatin1String("cp1252")) encoding = Encoding::Windows1252;
            else {
                std::fprintf(err, "zzbook: the encoding is utf-8 or windows-1252, not %s.\n", qPrintable(s));
                return 2;
            }
        } else {
            std::fprintf(err, "zzbook: unknown option %s.\n", qPrintable(a));
            return 2;
        }
    }
    try {
        options.csv = detectFormat(file);
        if (separator) options.csv.separator = *separator;
        if (encoding) options.csv.encoding = *encoding;
        options.csv.header = true;
        const CsvPreview first = firstRecords(file, options.csv, 1);
        if (!first.error.isEmpty())
            throw Exception(first.error);
        if (first.records.empty())
            throw Exception(QStringLiteral("The file %1 is empty.").arg(file));
        const QStringList header = first.records.front().fields;
        options.mapping = guessMapping(kind, header, true);
        const auto& fields = importFields(kind);
        std::fprintf(out, "Reading %s (%s, %s separated):\n", qPrintable(file), qPrintable(encodingName(options.csv.encoding)),
                     qPrintable(separatorName(options.csv.separator)));
        for (size_t f = 0; f < fields.size(); ++f)
            std::fprintf(out, "  %-16s <- %s\n", qPrintable(fields[f].name),
                         options.mapping.columns[f] < 0 ? "(no column)"
                                                        : qPrintable(QStringLiteral("column %1 \"%2\"")
                                                                         .arg(options.mapping.columns[f] + 1)
                                                                         .arg(header[options.mapping.columns[f]])));
        OpenBook book(args[0], true);
        const ImportCheck check = checkImport(file, kind, options);
        for (const RowNote& n : check.refused)
            std::fprintf(err, "line %lld: %s\n", n.line, qPrintable(n.text));
        if (check.refusedCount > qint64(check.refused.size()))
            std::fprintf(err, "... and %lld more refused rows.\n", check.refusedCount - qint64(check.refused.size()));
        if (check.refusedCount > 0 && !skipRefused) {
            std::fprintf(err, "zzbook: %lld of %lld rows are refused; nothing was imported (--skip-refused imports the "
                              "others).\n",
                         check.refusedCount, check.rows);
            return 1;
        }
        const ImportCheck done = runImport(file, kind, options, check, skipRefused);
        std::fprintf(out, "Imported %lld new %s", done.toInsert, qPrintable(kindName(kind)));
        if (kind == ImportKind::Products)
            std::fprintf(out, ", updated %lld, left %lld as they were", done.toUpdate, done.unchanged);
        std::fprintf(out, "; %lld rows refused.\n", done.refusedCount);
        return 0;
    } catch (const Exception& e) {
        std::fprintf(err, "zzbook: %s\n", qPrintable(e.message()));
        return 1;
    }
}

} // namespace zz::book
