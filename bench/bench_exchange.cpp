// Bringing books in and taking them out, at the sizes a shop that changes programs meets:
// importing 100,000 customers (the check, then the check and write in one transaction) into a new
// book; exporting the large demonstration book's 300,000 invoices and 1,500,000 lines; and the peak
// memory while a large file is checked (the reader streams). Prints medians and ratios against
// baselines run in the same process: the same rows inserted by bare prepared statements, and the
// export's statement stepped through without writing anything.
//
//   bench_exchange [demo book] [runs] [large file MB]
// The demo book (default /tmp/zz_bench/demo.db) is written by the demo_db tool's code when missing
// and only read. Files go to /tmp/zz_bench/exchange/.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

#include "data/Engine.h"
#include "data/Schema.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "tools/demo_db/DemoDb.h"
#include "widgets/Application.h"

using namespace zz;
using namespace zz::exchange;

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// A customer list as a spreadsheet writes it: a header, umlauts, quoted fields with commas.
void writeCustomerFile(const QString& path, qint64 rows)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write("\xEF\xBB\xBFName,Street,City,Postcode,E-mail,Phone,Contact,VAT number\r\n");
    QByteArray chunk;
    for (qint64 i = 0; i < rows; ++i) {
        chunk += "M\xC3\xBCller " + QByteArray::number(i) + " GmbH,\"Hauptstra\xC3\x9F" "e " + QByteArray::number(i % 500)
            + ", Hof\",K\xC3\xB6ln," + QByteArray::number(50000 + i % 1000) + ",m" + QByteArray::number(i)
            + "@example.com,0221 " + QByteArray::number(i) + ",J\xC3\xBCrgen " + QByteArray::number(i % 97) + ",DE"
            + QByteArray::number(100000000 + i) + "\r\n";
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
}

AliasConfig sqliteBook(const QString& path)
{
    AliasConfig c;
    c.alias = QString::fromLatin1(Engine::kAlias);
    c.driver = QStringLiteral("QSQLITE");
    c.database = path;
    return c;
}

QString newBook(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench_new"));
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot make %s", qPrintable(path));
        createSchema(db);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench_new"));
    return path;
}

ImportOptions customerOptions(const QString& path)
{
    ImportOptions o;
    o.csv = detectFormat(path);
    o.mapping = guessMapping(ImportKind::Customers,
                             {"Name", "Street", "City", "Postcode", "E-mail", "Phone", "Contact", "VAT number"}, true);
    return o;
}

// The baseline: the same rows, already split, inserted by one prepared statement in one transaction.
double bareInsert(const QString& book, const QString& csv)
{
    sqlite3* db = nullptr;
    sqlite3_open(book.toUtf8().constData(), &db);
    CsvReader reader(csv, detectFormat(csv));
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Customer (Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, Cus_Email, Cus_Phone, "
                           "Cus_Contact, Cus_VAT_No) VALUES (?, ?, ?, ?, ?, ?, ?, ?)", -1, &st, nullptr);
    CsvRecord r;
    reader.next(r);
    while (reader.next(r)) {
        for (int i = 0; i < 8; ++i) {
            const QByteArray b = r.fields[i].toUtf8();
            sqlite3_bind_text(st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    return ms;
}

// The baseline of an export: its rows stepped through, nothing formatted or written.
double bareRead(const QString& book, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(book.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    qint64 n = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        n += sqlite3_column_int64(st, 0) != 0;
    sqlite3_finalize(st);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    return ms;
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString demoBook = args.value(1, QStringLiteral("/tmp/zz_bench/demo.db"));
    const int runs = std::max(1, args.value(2, QStringLiteral("3")).toInt());
    const int largeMb = std::max(1, args.value(3, QStringLiteral("500")).toInt());
    const QString dir = QStringLiteral("/tmp/zz_bench/exchange");
    QDir().mkpath(dir);
    if (!QFile::exists(demoBook)) {
        std::printf("writing the demonstration book %s ...\n", qPrintable(demoBook));
        std::fflush(stdout);
        QDir().mkpath(QFileInfo(demoBook).absolutePath());
        const QString err = demo::writeDemoDatabase(demoBook, demo::DemoSize{});
        if (!err.isEmpty()) {
            std::fprintf(stderr, "demo book: %s\n", qPrintable(err));
            return 1;
        }
    }

    try {
        // Memory first, while the peak is still the program's own: a large file checked in a stream.
        const QString large = dir + "/large-customers.csv";
        const qint64 largeRows = qint64(largeMb) * 1024 * 1024 / 110;
        if (QFileInfo(large).size() < qint64(largeMb) * 1024 * 1024 * 9 / 10)
            writeCustomerFile(large, largeRows);
        const QString memoryBook = newBook(dir + "/memory.db");
        Engine::open(sqliteBook(memoryBook));
        const long before = peakRssKb();
        QElapsedTimer t;
        t.start();
        const ImportCheck big = checkImport(large, ImportKind::Customers, customerOptions(large));
        const double bigMs = t.nsecsElapsed() / 1e6;
        const long after = peakRssKb();
        Engine::close();
        std::printf("large file: %.0f MB, %lld rows checked in %.1f s (%.0f MB/s); peak RSS %ld MB before, %ld MB after "
                    "(+%ld MB)\n",
                    QFileInfo(large).size() / 1048576.0, big.rows, bigMs / 1000, QFileInfo(large).size() / 1048576.0 / (bigMs / 1000),
                    before / 1024, after / 1024, (after - before) / 1024);

        // Importing 100,000 customers into a new book.
        const QString csv = dir + "/customers-100000.csv";
        writeCustomerFile(csv, 100000);
        std::vector<double> check, write, bare;
        for (int r = 0; r < runs; ++r) {
            const QString book = newBook(dir + "/import.db");
            Engine::open(sqliteBook(book));
            const ImportOptions o = customerOptions(csv);
            t.restart();
            const ImportCheck c = checkImport(csv, ImportKind::Customers, o);
            check.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            const ImportCheck done = runImport(csv, ImportKind::Customers, o, c, false);
            write.push_back(t.nsecsElapsed() / 1e6);
            Engine::close();
            if (done.toInsert != 100000)
                std::fprintf(stderr, "imported %lld rows\n", done.toInsert);
            bare.push_back(bareInsert(newBook(dir + "/bare.db"), csv));
        }
        const double total = median(check) + median(write);
        std::printf("import 100,000 customers: check %.0f ms, check and write %.0f ms, together %.0f ms (%s 5 s); bare "
                    "inserts of the split rows %.0f ms, ratio %.1f\n",
                    median(check), median(write), total, total < 5000 ? "under" : "OVER", median(bare),
                    total / median(bare));

        // Exporting the large book's invoices and lines.
        Engine::open(sqliteBook(demoBook));
        std::vector<double> inv, lines;
        qint64 invRows = 0, lineRows = 0;
        for (int r = 0; r < runs; ++r) {
            t.restart();
            invRows = exportCsv(ExportWhat::Invoices, dir + "/invoices.csv");
            inv.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            lineRows = exportCsv(ExportWhat::Lines, dir + "/lines.csv");
            lines.push_back(t.nsecsElapsed() / 1e6);
        }
        Engine::close();
        const double bareInv = bareRead(demoBook, "SELECT B.Inv_Number, B.Inv_Date, B.Cus_Code, A.Cus_Name, B.Inv_Order_No, "
                                                  "B.Inv_VAT, B.Inv_Paid, B.Inv_PayDate, B.Inv_Cancelled, B.Inv_Days, "
                                                  "C.Line_Units, C.Line_Discount_Price, C.Line_Number FROM Invoice B LEFT "
                                                  "JOIN Customer A ON A.Cus_Code = B.Cus_Code LEFT JOIN Line C ON "
                                                  "C.Inv_Number = B.Inv_Number ORDER BY B.Inv_Number, C.Line_Number");
        const double bareLines = bareRead(demoBook, "SELECT C.Inv_Number, B.Inv_Date, C.Line_Number, C.Prod_Code, "
                                                    "D.Prod_Description, C.Line_Units, C.Line_Price, C.Line_Discount, "
                                                    "C.Line_Discount_Price FROM Invoice B JOIN Line C ON C.Inv_Number = "
                                                    "B.Inv_Number LEFT JOIN Product D ON D.Prod_Code = C.Prod_Code ORDER "
                                                    "BY C.Line_Number");
        const double both = median(inv) + median(lines);
        std::printf("export %lld invoices: %.0f ms (%.1f MB), statement alone %.0f ms, ratio %.1f\n", invRows, median(inv),
                    QFileInfo(dir + "/invoices.csv").size() / 1048576.0, bareInv, median(inv) / bareInv);
        std::printf("export %lld lines: %.0f ms (%.1f MB), statement alone %.0f ms, ratio %.1f\n", lineRows, median(lines),
                    QFileInfo(dir + "/lines.csv").size() / 1048576.0, bareLines, median(lines) / bareLines);
        std::printf("export invoices and lines together: %.0f ms (%s 10 s); peak RSS of the whole run %ld MB\n", both,
                    both < 10000 ? "under" : "OVER", peakRssKb() / 1024);
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench_exchange: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
