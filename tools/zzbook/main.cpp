// zzbook: sets up and copies the books of Zuzevevur Creator.
//   zzbook create TARGET          the six tables in an empty PostgreSQL database (or a new SQLite file)
//   zzbook copy SOURCE TARGET     a whole book, SQLite <-> PostgreSQL, checked by counts and sums
//   zzbook einvoice BOOK NUMBER FILE.pdf|FILE.xml
//                                 one invoice as a Factur-X e-invoice PDF or an XRechnung XML
//   zzbook creditnote BOOK NUMBER FILE.pdf|FILE.xml
//                                 one credit note likewise (its plain PDF without e-invoicing details)
// A book is a file path or postgresql://[user@][host][:port]/database[?host=/socket/folder].
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string_view>

#include "data/Engine.h"
#include "data/Errors.h"
#include "einvoice/CreditNoteFiles.h"
#include "einvoice/InvoiceFiles.h"
#include "tools/zzbook/BookCopy.h"

namespace {
int usage()
{
    std::fputs("usage: zzbook create TARGET\n"
               "       zzbook copy SOURCE TARGET\n"
               "       zzbook einvoice BOOK NUMBER FILE.pdf|FILE.xml\n"
               "       zzbook creditnote BOOK NUMBER FILE.pdf|FILE.xml\n"
               "A book is a SQLite file path or postgresql://[user@][host][:port]/database[?host=/socket/folder];\n"
               "the password comes from ~/.pgpass. The target must hold no tables.\n"
               "einvoice writes invoice NUMBER of BOOK as a Factur-X e-invoice (FILE.pdf, the printout with its\n"
               "EN 16931 XML) or as an XRechnung XML (FILE.xml); it refuses, naming what is missing, when the\n"
               "company's or the customer's e-invoicing details are incomplete.\n"
               "creditnote writes credit note NUMBER of BOOK likewise, as an EN 16931 credit note naming the invoice\n"
               "it takes back; FILE.pdf is its plain printout when the e-invoicing details are incomplete.\n",
               stderr);
    return 2;
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
    const QStringList args = app->arguments().mid(1);
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
