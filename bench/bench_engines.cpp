// The same large book on both engines, side by side in one run: the embedded SQLite file and a
// copy on a PostgreSQL server (a throw-away cluster on a Unix socket of this machine). Measures
// opening the customer cursor, a search near the end of the name order, the invoice and line
// cursors following a customer move, creating an invoice, adding a line to it (Submit), and reading
// a year's revenue statement; prints the copy times both ways and PostgreSQL's plans of the named
// statements. Usage: bench_engines [large.db] (default /tmp/zz_bench/large.db, made with demo_db).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "data/DataMod.h"
#include "data/Invoices.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Statements.h"
#include "tests/support/PgServer.h"
#include "tools/zzbook/BookCopy.h"

using namespace zz;

namespace {
double ms(qint64 ns) { return double(ns) / 1e6; }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
    double open = 0, locate = 0, follow = 0, create = 0, submit = 0, revenue = 0;
    int revenueRows = 0;
};

template <typename F>
double timed(F&& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return ms(t.nsecsElapsed());
}

Figures measure()
{
    Figures f;
    TDataModule1 dm;
    TTable* cus = dm.tblCustomer;
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        cus->Close();
        runs.push_back(timed([&] { cus->Open(); }));
    }
    f.open = median(runs);

    const QString prefix = cus->rowValue(cus->RecordCount() - 3, 1).toString().left(5).toLower();
    runs.clear();
    for (int i = 0; i < 5; ++i) {
        cus->First();
        runs.push_back(timed([&] { cus->Locate("Cus_Name", prefix, LocateOption::PartialKey | LocateOption::CaseInsensitive); }));
    }
    f.locate = median(runs);

    runs.clear();
    cus->MoveTo(cus->RecordCount() / 2);
    for (int i = 0; i < 200; ++i)
        runs.push_back(timed([&] {
            cus->Next();
            (void)dm.tblInvoiceInv_Number->AsInteger();
            (void)dm.tblLineProd_Code->AsString();
        }));
    f.follow = median(runs);

    // Create and Submit as the new-invoice window runs them, on a customer in the middle.
    std::vector<double> creates, submits;
    for (int i = 0; i < 20; ++i) {
        creates.push_back(timed([&] { createInvoice(QStringLiteral("bench"), QDate::currentDate()); }));
        submits.push_back(timed([&] {
            dm.tblLine->Insert();
            dm.tblLineProd_Code->SetValue(dm.tblProductProd_Code->Value());
            dm.tblLineLine_Units->SetAsInteger(2);
            dm.tblLineLine_Discount->SetAsInteger(10);
            dm.tblLineLine_Price->SetAsMoney(dm.tblProductProd_Price->AsMoney());
            dm.tblLineLine_Discount_Price->SetAsMoney(dm.tblProductProd_Price->AsMoney());
            dm.tblLine->Post();
        }));
    }
    f.create = median(creates);
    f.submit = median(submits);

    // A year's revenue: the statement the report runs, read to its end.
    runs.clear();
    for (int i = 0; i < 3; ++i) {
        TQuery* r = dm.qryReportRevenue;
        r->Close();
        r->Params(0).SetAsDate(QDate(2025, 1, 1));
        r->Params(1).SetAsDate(QDate(2025, 12, 31));
        runs.push_back(timed([&] {
            r->Open();
            int rows = 0;
            for (r->First(); !r->Eof(); r->Next())
                ++rows;
            f.revenueRows = rows;
        }));
    }
    f.revenue = median(runs);
    return f;
}

// PostgreSQL's plan of every named statement that reads, with sample parameter values.
void printPlans()
{
    QSqlQuery q(Engine::database());
    q.exec("ANALYZE");
    for (const StatementDef& s : statementDefs()) {
        if (!s.hasDataSource)
            continue;
        QString sql = s.lines.join('\n');
        sql.replace(":invNum", "1000").replace(":invNo", "1000").replace(":cusCode", "50");
        sql.replace(":startDate", "'2025-01-01'").replace(":endDate", "'2025-12-31'");
        if (!q.exec("EXPLAIN " + sql)) {
            std::printf("  %s: cannot explain\n", qPrintable(s.name));
            continue;
        }
        QStringList scans;
        while (q.next()) {
            const QString line = q.value(0).toString().trimmed();
            if (line.contains("Scan"))
                scans << line.section("  (", 0, 0).remove("->").trimmed();
        }
        std::printf("  %-20s %s\n", qPrintable(s.name), qPrintable(scans.join("; ")));
    }
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString large = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/zz_bench/large.db");
    if (!QFile::exists(large)) {
        std::fprintf(stderr, "no book %s: make one with build/tools/demo_db/demo_db %s\n", qPrintable(large), qPrintable(large));
        return 1;
    }
    QString why;
    test::PgServer* pg = test::PgServer::instance(&why);
    if (!pg) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir dir;
    const QString sqliteCopy = dir.path() + "/data/Zuzevevur/Zuzevevur.db";
    QDir().mkpath(dir.path() + "/data/Zuzevevur");
    QDir().mkpath(dir.path() + "/config/Zuzevevur");
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    // The shared book is not written to: the runs write into copies.
    QFile::copy(large, sqliteCopy);

    try {
        const QString name = pg->createDatabase();
        book::BookLocation server;
        server.driver = "QPSQL";
        server.database = name;
        server.host = pg->socketDir();
        server.user = pg->user();
        const double there = timed([&] { book::copyBook(book::parseLocation(large), server); });
        const QString back = dir.path() + "/back.db";
        const double home = timed([&] { book::copyBook(server, book::parseLocation(back)); });
        std::printf("book tool: SQLite -> PostgreSQL %.1f s, PostgreSQL -> SQLite %.1f s (counts and sums checked both ways)\n",
                    there / 1000, home / 1000);

        Engine::close();
        const Figures lite = measure();
        Engine::close();
        {
            QFile ini(dir.path() + "/config/Zuzevevur/engine.ini");
            ini.open(QIODevice::WriteOnly);
            ini.write(QStringLiteral("[Zuzevevur]\nDriver=QPSQL\nHost=%1\nDatabase=%2\nUser=%3\n")
                          .arg(server.host, server.database, server.user).toUtf8());
        }
        const Figures post = measure();
        std::printf("\n%-46s %12s %12s %8s\n", "median", "SQLite", "PostgreSQL", "ratio");
        auto row = [](const char* what, double a, double b) { std::printf("%-46s %9.2f ms %9.2f ms %7.1fx\n", what, a, b, a > 0 ? b / a : 0); };
        row("open tblCustomer (100,000 rows)", lite.open, post.open);
        row("locate a name near the end", lite.locate, post.locate);
        row("invoice + line cursors follow a customer move", lite.follow, post.follow);
        row("Create (next number under lock, insert)", lite.create, post.create);
        row("Submit (a line posted)", lite.submit, post.submit);
        row(qPrintable(QString("a year's revenue statement (%1 rows)").arg(lite.revenueRows)), lite.revenue, post.revenue);
        if (lite.revenueRows != post.revenueRows)
            std::printf("the revenue statements differ: %d rows against %d\n", lite.revenueRows, post.revenueRows);

        std::printf("\nPostgreSQL's plans (scans) of the reading statements:\n");
        Engine::open(Engine::resolveAlias());
        printPlans();
        Engine::close();
    } catch (const zz::Exception& e) {
        std::fprintf(stderr, "bench_engines: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
