// zzbook: sets up and copies the books of Zuzevevur Creator.
//   zzbook create TARGET          the six tables in an empty PostgreSQL database (or a new SQLite file)
//   zzbook copy SOURCE TARGET     a whole book, SQLite <-> PostgreSQL, checked by counts and sums
//   zzbook einvoice BOOK NUMBER FILE.pdf|FILE.xml
//                                 one invoice as a Factur-X e-invoice PDF or an XRechnung XML
//   zzbook export BOOK WHAT FILE  customers, products, invoices, lines or credit notes as a CSV file
//   zzbook import BOOK customers|products FILE   from a CSV file, the columns by their header names
//   zzbook creditnote BOOK NUMBER FILE.pdf|FILE.xml
//                                 one credit note likewise (its plain PDF without e-invoicing details)
// A book is a file path or postgresql://[user@][host][:port]/database[?host=/socket/folder].
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <string_view>

#include "data/Engine.h"
#include "data/Errors.h"
#include "einvoice/CreditNoteFiles.h"
#include "einvoice/InvoiceFiles.h"
#include "tools/common/ToolCommandLine.h"
#include "tools/zzbook/BookCopy.h"
#include "tools/zzbook/BookExchange.h"

namespace {
// The help, with the import and export commands' own lines; "zzbook " is the program's name.
QString usageText()
{
    return QStringLiteral("usage: zzbook create TARGET\n"
                          "       zzbook copy SOURCE TARGET\n"
                          "       zzbook einvoice BOOK NUMBER FILE.pdf|FILE.xml\n"
                          "       zzbook creditnote BOOK NUMBER FILE.pdf|FILE.xml\n")
         + QString::fromUtf8(zz::book::kExchangeUsage)
         + QStringLiteral(
               "A book is a SQLite file path or postgresql://[user@][host][:port]/database[?host=/socket/folder];\n"
               "the password comes from ~/.pgpass. The target of create and copy must hold no tables.\n"
               "einvoice writes invoice NUMBER of BOOK as a Factur-X e-invoice (FILE.pdf, the printout with its\n"
               "EN 16931 XML) or as an XRechnung XML (FILE.xml); it refuses, naming what is missing, when the\n"
               "company's or the customer's e-invoicing details are incomplete.\n"
               "creditnote writes credit note NUMBER of BOOK likewise, as an EN 16931 credit note naming the invoice\n"
               "it takes back; FILE.pdf is its plain printout when the e-invoicing details are incomplete.\n"
               "\n"
               "Options:\n"
               "  -h, --help     show this help and end\n"
               "  -v, --version  show the tool's version and end\n"
               "A file whose name begins with \"-\" is given as ./-name.\n"
               "Exit status: 0 when done, 1 when the work failed or was refused, 2 for a wrong command line.\n");
}

int usage()
{
    std::fputs(qPrintable(usageText()), stderr);
    return 2;
}

// The import and export commands read their own options (some take values of their own, such as
// "--pay-dates FROM TO"); the help and version options are answered first, and the book, what and
// file words must not look like options.
int exchangeCommand(const QStringList& all, const QString& program)
{
    for (const QString& a : all) {
        if (a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("-v")
            || a == QLatin1String("--version")) {
            QTextStream out(stdout), err(stderr);
            return zz::tools::answerToolCommandLine(zz::tools::parseToolCommandLine({a}), program,
                                                    usageText().replace(QStringLiteral("zzbook "), program + QLatin1Char(' ')),
                                                    out, err);
        }
    }
    for (int i = 1; i < all.size() && i <= 3; ++i) {
        if (all[i].startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "%s: unknown option '%s'\nTry '%s --help' for more information.\n", qPrintable(program),
                         qPrintable(all[i]), qPrintable(program));
            return 2;
        }
    }
    const int status = all[0] == QLatin1String("export") ? zz::book::runExport(all.mid(1), stdout, stderr)
                                                         : zz::book::runImport(all.mid(1), stdout, stderr);
    return status == 2 ? usage() : status;
}

// Writes one invoice's (or credit note's) file from the book, whole or not at all.
int einvoiceCommand(const QStringList& args)
{
    const bool creditNote = args[0] == QLatin1String("creditnote");
    bool isNumber = false;
    const int number = args[2].toInt(&isNumber);
    if (!isNumber || number <= 0)
        throw zz::Exception(QStringLiteral("%1 is no %2 number.").arg(args[2], creditNote ? "credit note" : "invoice"));
    zz::einvoice::fileKindOf(args[3]);
    const auto book = zz::book::parseLocation(args[1]);
    zz::AliasConfig alias;
    alias.alias = QString::fromLatin1(zz::Engine::kAlias);
    alias.driver = book.driver;
    alias.database = book.database;
    alias.host = book.host;
    alias.port = book.port;
    alias.user = book.user;
    zz::Engine::open(alias);
    struct Close {
        ~Close() { zz::Engine::close(); }
    } closeLater;
    const QString what = creditNote ? zz::einvoice::writeCreditNoteFile(number, args[3])
                                    : zz::einvoice::writeEInvoiceFile(number, args[3]);
    std::printf("Wrote %s %d of %s as %s to %s.\n", creditNote ? "credit note" : "invoice", number, qPrintable(book.display()), qPrintable(what),
                qPrintable(args[3]));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    // The printout's pages are measured with the fonts Qt finds, which needs the GUI application
    // (off screen: the tool opens no window).
    const bool einvoice =
        argc == 5 && (std::string_view(argv[1]) == "einvoice" || std::string_view(argv[1]) == "creditnote");
    if (einvoice && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = einvoice ? std::make_unique<QGuiApplication>(argc, argv)
                                                     : std::make_unique<QCoreApplication>(argc, argv);
    const QString program = QFileInfo(app->applicationFilePath()).fileName();
    {
        const QStringList all = app->arguments().mid(1);
        if (!all.isEmpty() && (all[0] == QLatin1String("export") || all[0] == QLatin1String("import")))
            return exchangeCommand(all, program);
    }
    const zz::tools::ToolCommandLine line = zz::tools::parseToolCommandLine(app->arguments().mid(1));
    {
        QTextStream out(stdout), err(stderr);
        const int answered = zz::tools::answerToolCommandLine(
            line, program, usageText().replace(QStringLiteral("zzbook "), program + QLatin1Char(' ')), out, err);
        if (answered >= 0)
            return answered;
    }
    const QStringList& args = line.operands;
    try {
        if (einvoice)
            return einvoiceCommand(args);
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
