// zzbook: sets up and copies the books of Zuzevevur Creator.
//   zzbook create TARGET          the six tables in an empty PostgreSQL database (or a new SQLite file)
//   zzbook copy SOURCE TARGET     a whole book, SQLite <-> PostgreSQL, checked by counts and sums
//   zzbook export BOOK WHAT FILE  customers, products, invoices or lines as a CSV file
//   zzbook import BOOK customers|products FILE   from a CSV file, the columns by their header names
// A book is a file path or postgresql://[user@][host][:port]/database[?host=/socket/folder].
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "data/Errors.h"
#include "tools/zzbook/BookCopy.h"
#include "tools/zzbook/BookExchange.h"

namespace {
int usage()
{
    std::fputs("usage: zzbook create TARGET\n"
               "       zzbook copy SOURCE TARGET\n",
               stderr);
    std::fputs(zz::book::kExchangeUsage, stderr);
    std::fputs(
               "A book is a SQLite file path or postgresql://[user@][host][:port]/database[?host=/socket/folder];\n"
               "the password comes from ~/.pgpass. The target of create and copy must hold no tables.\n",
               stderr);
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 1 && args[0] == QLatin1String("export")) {
        const int status = zz::book::runExport(args.mid(1), stdout, stderr);
        return status == 2 ? usage() : status;
    }
    if (args.size() >= 1 && args[0] == QLatin1String("import")) {
        const int status = zz::book::runImport(args.mid(1), stdout, stderr);
        return status == 2 ? usage() : status;
    }
    try {
        if (args.size() == 2 && args[0] == QLatin1String("create")) {
            const auto target = zz::book::parseLocation(args[1]);
            zz::book::createBook(target);
            std::printf("Created the six tables in %s.\n", qPrintable(target.display()));
            return 0;
        }
        if (args.size() == 3 && args[0] == QLatin1String("copy")) {
            const auto source = zz::book::parseLocation(args[1]);
            const auto target = zz::book::parseLocation(args[2]);
            QElapsedTimer timer;
            timer.start();
            const auto checks = zz::book::copyBook(source, target, [](const QString& step) {
                std::printf("%s...\n", qPrintable(step));
                std::fflush(stdout);
            });
            for (const auto& c : checks) {
                std::printf("%-9s %lld rows = %lld rows\n", qPrintable(c.table), c.sourceRows, c.targetRows);
                for (const QString& s : c.sums)
                    std::printf("          %s\n", qPrintable(s));
            }
            std::printf("Copied %s to %s in %.1f s; every count and sum matches.\n", qPrintable(source.display()),
                        qPrintable(target.display()), timer.elapsed() / 1000.0);
            return 0;
        }
    } catch (const zz::Exception& e) {
        std::fprintf(stderr, "zzbook: %s\n", qPrintable(e.message()));
        return 1;
    }
    return usage();
}
