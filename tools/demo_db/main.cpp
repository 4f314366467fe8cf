// demo_db [--einvoicing[=DE|ZA]] <file> [customers products invoices lines [open-tenths]]: writes a
// demonstration database; with --einvoicing its company (in Germany unless ZA is named) and its
// customers have complete e-invoicing details, and its cancelled invoices their credit notes.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "tools/demo_db/DemoDb.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    zz::demo::DemoSize size;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--einvoicing") || args[i].startsWith(QLatin1String("--einvoicing="))) {
            size.eInvoicing = args[i].contains(QLatin1Char('=')) ? args[i].section(QLatin1Char('='), 1).toUpper() : QStringLiteral("DE");
            args.removeAt(i--);
        }
    }
    if (args.size() < 2 || args[1].startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "usage: demo_db [--einvoicing[=DE|ZA]] <file> [customers products invoices lines [open-tenths]]\n");
        return 2;
    }
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
