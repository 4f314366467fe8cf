// demo_db [--einvoicing[=DE|ZA]] FILE [CUSTOMERS PRODUCTS INVOICES LINES [OPEN-TENTHS]]: writes a
// demonstration database; with --einvoicing its company (in Germany unless ZA is named) and its
// customers have complete e-invoicing details, and its cancelled invoices their credit notes.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "tools/common/ToolCommandLine.h"
#include "tools/demo_db/DemoDb.h"

namespace {

QString helpText(const QString& program)
{
    const zz::demo::DemoSize defaults;
    return QStringLiteral(
               "Usage: %1 [--einvoicing[=DE|ZA]] FILE [CUSTOMERS PRODUCTS INVOICES LINES [OPEN-TENTHS]]\n"
               "Writes a demonstration book of Zuzevevur Creator into the new SQLite file FILE, by default\n"
               "with %2 customers, %3 products, %4 invoices and %5 lines, of every ten\n"
               "invoices OPEN-TENTHS (%6) open and one cancelled.\n"
               "\n"
               "Options:\n"
               "  -h, --help               show this help and end\n"
               "  -v, --version            show the tool's version and end\n"
               "      --einvoicing[=DE|ZA] give the company (in Germany, or in South Africa) and the\n"
               "                           customers complete e-invoicing details\n"
               "\n"
               "A file whose name begins with \"-\" is written as ./-name.\n"
               "Exit status: 0 when done, 1 when the book could not be written, 2 for a wrong\n"
               "command line.\n")
        .arg(program)
        .arg(defaults.customers)
        .arg(defaults.products)
        .arg(defaults.invoices)
        .arg(defaults.lines)
        .arg(defaults.openTenths);
}

int usageError(const QString& program, const QString& error)
{
    QTextStream err(stderr);
    err << QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, error);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString program = QFileInfo(app.applicationFilePath()).fileName();
    const zz::tools::ToolCommandLine line =
        zz::tools::parseToolCommandLine(app.arguments().mid(1), {{QStringLiteral("--einvoicing"), true}});
    {
        QTextStream out(stdout), err(stderr);
        const int answered = zz::tools::answerToolCommandLine(line, program, helpText(program), out, err);
        if (answered >= 0)
            return answered;
    }
    zz::demo::DemoSize size;
    bool eInvoicing = false;
    const QString country = line.value(QStringLiteral("--einvoicing"), &eInvoicing).toUpper();
    if (eInvoicing) {
        size.eInvoicing = country.isEmpty() ? QStringLiteral("DE") : country;
        if (size.eInvoicing != QLatin1String("DE") && size.eInvoicing != QLatin1String("ZA"))
            return usageError(program, QStringLiteral("option '--einvoicing' takes DE or ZA, not '%1'").arg(country));
    }
    const QStringList& words = line.operands;
    if (words.size() != 1 && words.size() != 5 && words.size() != 6)
        return usageError(program, words.isEmpty() ? QStringLiteral("the file to write is missing")
                                                   : QStringLiteral("give the file alone, or with four or five counts"));
    int counts[5] = {size.customers, size.products, size.invoices, size.lines, size.openTenths};
    for (int i = 1; i < words.size(); ++i) {
        bool ok = false;
        counts[i - 1] = words[i].toInt(&ok);
        if (!ok || counts[i - 1] < 0 || (i == 5 && counts[i - 1] > 9))
            return usageError(program, QStringLiteral("'%1' is no count").arg(words[i]));
    }
    size.customers = counts[0];
    size.products = counts[1];
    size.invoices = counts[2];
    size.lines = counts[3];
    size.openTenths = counts[4];
    QElapsedTimer t;
    t.start();
    const QString err = zz::demo::writeDemoDatabase(words[0], size);
    if (!err.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(err));
        return 1;
    }
    std::printf("wrote %s in %lld ms\n", qPrintable(words[0]), t.elapsed());
    return 0;
}
