// The unpaid invoices window on the large demonstration book (over 100,000 open invoices in all
// six age classes): opening the list as the invoicing menu does, paying one invoice with the
// reload, and "&Advance All" over every open invoice; as baselines in the same run, the list read
// whole at once and the naive ageing (one autocommit update per invoice) of 20,000 invoices on a
// copy of the book. Figures are printed, not asserted.
//
// bench_unpaid [book [naive-count]]: the book defaults to /tmp/zz_bench/demo_open4.db, written once
// when missing (demo_db ... 4); the benchmark works on copies and leaves it as it is. The naive
// baseline ages 20,000 invoices unless told another count.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "invoicing/UnpaidInv.h"
#include "tools/demo_db/DemoDb.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

using namespace zz;

namespace {
double ms(qint64 ns) { return double(ns) / 1e6; }

// Processor time of this process, in milliseconds: on a busy machine the wall time alone says
// little.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Answers every question Yes and counts the other boxes.
class YesSeam : public DialogSeam {
public:
    int others = 0;
    MsgResult message(const MessageRequest& r) override
    {
        if (r.kind != MsgKind::Confirmation) {
            ++others;
            std::fprintf(stderr, "box: %s\n", qPrintable(r.text));
        }
        return r.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK;
    }
};

// Lets the window paint what changed.
void paint() { QCoreApplication::processEvents(); }

// The naive ageing: one autocommit update per invoice, durable each, on its own connection.
double naiveAgeing(const QString& file, int invoices)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    std::vector<std::pair<int, std::string>> rows;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT Inv_Number, Inv_Days FROM Invoice WHERE Inv_Paid = 'NO' AND Inv_Cancelled = 'NO' LIMIT ?",
                       -1, &st, nullptr);
    sqlite3_bind_int(st, 1, invoices);
    while (sqlite3_step(st) == SQLITE_ROW)
        rows.emplace_back(sqlite3_column_int(st, 0), reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    QElapsedTimer t;
    t.start();
    for (const auto& [number, days] : rows) {
        const std::string next = days == "CURRENT" ? "30" : days == "30" ? "60" : days == "60" ? "90" : days == "90" ? "120" : "120+";
        const std::string sql = "UPDATE Invoice SET Inv_Days = '" + next + "' WHERE Inv_Number = " + std::to_string(number);
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    const double took = ms(t.nsecsElapsed());
    sqlite3_close(db);
    return took;
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QString book = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/zz_bench/demo_open4.db");
    QElapsedTimer t;
    if (!QFile::exists(book)) {
        QDir().mkpath(QFileInfo(book).absolutePath());
        demo::DemoSize size;
        size.openTenths = 4;
        t.start();
        const QString err = demo::writeDemoDatabase(book, size);
        if (!err.isEmpty()) {
            std::fprintf(stderr, "generator: %s\n", qPrintable(err));
            return 1;
        }
        std::printf("wrote %s in %.0f ms\n", qPrintable(book), ms(t.nsecsElapsed()));
    }
    QTemporaryDir dir;
    const QString dataDir = dir.path() + "/data";
    QDir().mkpath(dataDir + "/Zuzevevur");
    qputenv("XDG_DATA_HOME", dataDir.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    const QString file = dataDir + "/Zuzevevur/Zuzevevur.db";
    const QString naiveCopy = dir.path() + "/naive.db";
    if (!QFile::copy(book, file) || !QFile::copy(book, naiveCopy)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(book));
        return 1;
    }

    YesSeam seam;
    setDialogSeam(&seam);
    auto* dm = new TDataModule1;
    auto* window = new TfrmUnpaidInv;
    window->show();
    paint();
    TQuery* list = dm->qryUnpaidInv;

    // Opening the list as the menu does, with the grid painted.
    std::vector<double> opens;
    for (int round = 0; round < 5; ++round) {
        t.restart();
        list->Close();
        list->Open();
        paint();
        opens.push_back(ms(t.nsecsElapsed()));
    }
    std::printf("open the unpaid list (first %d rows read, grid painted): median %.1f ms of 5 (goal < 300)\n",
                list->FetchedCount(), median(opens));
    // Baseline: the whole result read at once, as the list did before it read on demand.
    t.restart();
    double cpu = cpuMs();
    const int open = list->RecordCount();
    const double whole = ms(t.nsecsElapsed()) + median(opens);
    std::printf("  baseline, every row read at once: %.0f ms (processor %.0f ms) for %d open invoices (%.0fx the open)\n",
                whole, cpuMs() - cpu, open, whole / std::max(0.001, median(opens)));

    // Paying one invoice, the list reloaded.
    std::vector<double> pays;
    for (int round = 0; round < 5; ++round) {
        list->MoveTo(10 + round);
        paint();
        t.restart();
        window->btnPayClick();
        paint();
        pays.push_back(ms(t.nsecsElapsed()));
    }
    std::printf("pay one invoice including the reload: median %.1f ms of 5 (goal < 50)\n", median(pays));

    // Advance All over every open invoice.
    list->Close();
    list->Open();
    paint();
    QSqlQuery count(Engine::database());
    count.exec("SELECT count(*) FROM Invoice WHERE Inv_Paid = 'NO' AND Inv_Cancelled = 'NO'");
    count.next();
    const int openInvoices = count.value(0).toInt();
    count.finish();
    t.restart();
    cpu = cpuMs();
    window->btnPayPeriodClick();
    paint();
    const double advance = ms(t.nsecsElapsed());
    std::printf("advance all over %d open invoices (reading the list, one transaction, the reload): %.0f ms, processor "
                "%.0f ms (goal < 2000 for 100,000)\n",
                openInvoices, advance, cpuMs() - cpu);
    if (seam.others)
        std::printf("  %d error boxes were shown\n", seam.others);
    delete window;
    delete dm;

    // Baseline: the naive way, 20,000 autocommit updates on a copy.
    const int naiveCount = argc > 2 ? atoi(argv[2]) : 20000;
    const double naive = naiveAgeing(naiveCopy, naiveCount);
    const double oursFor20k = advance * naiveCount / std::max(1, openInvoices);
    std::printf("  baseline, one autocommit update per invoice: %.0f ms for %d invoices; advance all does them in "
                "%.0f ms (%.1fx faster per invoice)\n",
                naive, naiveCount, oursFor20k, naive / std::max(0.001, oursFor20k));
    return 0;
}
