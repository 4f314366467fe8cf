// demo_db <file> [customers products invoices lines [open-tenths]]: writes a demonstration database.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "tools/demo_db/DemoDb.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: demo_db <file> [customers products invoices lines [open-tenths]]\n");
        return 2;
    }
    zz::demo::DemoSize size;
    if (args.size() >= 6) {
        size.customers = args[2].toInt();
        size.products = args[3].toInt();
        size.invoices = args[4].toInt();
        size.lines = args[5].toInt();
    }
    if (args.size() >= 7)
        size.openTenths = args[6].toInt();
    QElapsedTimer t;
    t.start();
    const QString err = zz::demo::writeDemoDatabase(args[1], size);
    if (!err.isEmpty()) {
        std::fprintf(stderr, "demo_db: %s\n", qPrintable(err));
        return 1;
    }
    std::printf("wrote %s in %lld ms\n", qPrintable(args[1]), t.elapsed());
    return 0;
}
