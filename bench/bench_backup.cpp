// Measures the day's backup on a large book while the books are open (page copy, and VACUUM INTO
// through the engine's connection), against a plain file copy of the same book as the baseline,
// the check SQLite makes of each copy, and a restore into the open-able book.
// Usage: bench_backup [book]   (a demonstration book, e.g. one made by demo_db; by default one is
// generated into /tmp/zz_bench/demo_backup.db, or reused when it is there)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "data/Backup.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "tools/demo_db/DemoDb.h"

using namespace zz;

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median time of three rounds, in milliseconds; after is run outside the clock.
double timed(const std::function<void()>& work, const std::function<void()>& after = {})
{
    std::vector<double> rounds;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        rounds.push_back(double(t.nsecsElapsed()) / 1e6);
        if (after)
            after();
    }
    return median(rounds);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/zz_bench/demo_backup.db");
    if (!QFileInfo::exists(source)) {
        QDir().mkpath(QFileInfo(source).absolutePath());
        std::printf("generating %s ...\n", qPrintable(source));
        const QString err = demo::writeDemoDatabase(source, demo::DemoSize{});
        if (!err.isEmpty()) {
            std::fprintf(stderr, "generator: %s\n", qPrintable(err));
            return 1;
        }
    }

    // A book of this run: a consistent copy of the demonstration book, never the book itself.
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    const QString book = dir.path() + "/data/Zuzevevur/Zuzevevur.db";
    QDir().mkpath(QFileInfo(book).absolutePath());
    try {
        const QString first = backup::write(source, QDateTime::currentDateTime(), backup::Method::PageCopy);
        QFile::rename(first, book);
        QDir(backup::folderFor(source)).remove(QFileInfo(first).fileName());
        QDir().rmdir(backup::folderFor(source));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const double mb = QFileInfo(book).size() / 1e6;
    std::printf("book: %.1f MB\n", mb);

    auto dm = std::make_unique<TDataModule1>(); // the books open, as at start-up
    const QString folder = backup::folderFor(book);
    const auto clear = [&] { QDir(folder).removeRecursively(); };
    QDateTime when(QDate(2026, 1, 1), QTime(8, 0));
    const auto next = [&] { when = when.addSecs(60); return when; };

    const double copy = timed([&] { QFile::copy(book, dir.path() + "/plain.db"); }, [&] { QFile::remove(dir.path() + "/plain.db"); });
    const double page = timed([&] { backup::write(book, next(), backup::Method::PageCopy); }, clear);
    const double vacuum = timed([&] { backup::write(book, next(), backup::Method::VacuumInto); }, clear);
    const QString saved = backup::write(book, next(), backup::Method::PageCopy);
    std::printf("baseline file copy (not consistent): %.0f ms (%.0f MB/s)\n", copy, mb / copy * 1000);
    std::printf("backup, page copy + quick check:     %.0f ms (%.0f MB/s, %.2fx the file copy)\n", page, mb / page * 1000, page / copy);
    std::printf("backup, VACUUM INTO + quick check:   %.0f ms (%.0f MB/s, %.2fx the file copy)\n", vacuum, mb / vacuum * 1000,
                vacuum / copy);

    const double check = timed([&] { backup::checkCopy(saved); });
    std::printf("full check of a backup before a restore: %.0f ms\n", check);

    dm.reset(); // restoring is done with the program closed
    const double restore = timed([&] { backup::restore(saved, book, next()); });
    std::printf("restore (check, save the book, copy into it): %.0f ms\n", restore);
    return 0;
}
