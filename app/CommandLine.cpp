#include "app/CommandLine.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include "app/BookGuard.h"
#include "data/Backup.h"
#include "data/BookLock.h"
#include "data/Engine.h"

#ifndef ZZ_VERSION
#define ZZ_VERSION "0"
#endif

namespace zz {

namespace {
// The window system's options that the application object reads, with and without a value.
const QStringList kWindowOptionsWithValue = {
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("session"), QStringLiteral("style"), QStringLiteral("stylesheet"),
    QStringLiteral("display"), QStringLiteral("geometry"), QStringLiteral("title"), QStringLiteral("name"),
    QStringLiteral("visual"), QStringLiteral("ncols")};
const QStringList kWindowOptions = {QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                   QStringLiteral("dograb"), QStringLiteral("sync"), QStringLiteral("cmap")};

CommandLine invalid(const QString& error)
{
    CommandLine line;
    line.action = CommandLine::Action::Invalid;
    line.error = error;
    return line;
}
} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    bool help = false, version = false, list = false, restore = false;
    QString backupFile;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            help = true;
        } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            version = true;
        } else if (arg == QLatin1String("--list-backups")) {
            list = true;
        } else if (arg == QLatin1String("--restore") || arg.startsWith(QLatin1String("--restore="))) {
            if (restore)
                return invalid(QStringLiteral("option '--restore' given twice"));
            restore = true;
            if (arg.contains(QLatin1Char('='))) {
                backupFile = arg.section(QLatin1Char('='), 1);
            } else if (i + 1 < arguments.size()) {
                backupFile = arguments[++i];
            }
            if (backupFile.isEmpty())
                return invalid(QStringLiteral("option '--restore' needs the backup file to restore"));
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            // The window system's own options, as "-style x" or "--style=x".
            QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
            const bool joined = name.contains(QLatin1Char('='));
            name = name.section(QLatin1Char('='), 0, 0);
            if (kWindowOptionsWithValue.contains(name)) {
                if (!joined && ++i >= arguments.size())
                    return invalid(QStringLiteral("option '%1' needs a value").arg(arg));
            } else if (!kWindowOptions.contains(name) || joined) {
                return invalid(QStringLiteral("unknown option '%1'").arg(arg));
            }
        } else {
            return invalid(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    CommandLine line;
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (list && restore)
        return invalid(QStringLiteral("'--list-backups' and '--restore' cannot be given together"));
    else if (list)
        line.action = CommandLine::Action::ListBackups;
    else if (restore) {
        line.action = CommandLine::Action::Restore;
        line.backupFile = backupFile;
    }
    return line;
}

QString versionText() { return QStringLiteral("Zuzevevur Creator %1").arg(QLatin1String(ZZ_VERSION)); }

QString helpText(const QString& program)
{
    return QStringLiteral(
               "Usage: %1 [option]\n"
               "Zuzevevur Creator: customers, prices and invoices of a small business.\n"
               "\n"
               "Without an option the program opens the books the alias Zuzevevur names in\n"
               "~/.config/Zuzevevur/engine.ini, or ~/.local/share/Zuzevevur/Zuzevevur.db without\n"
               "that file. Once a day it backs the books up into the folder \"backups\" beside\n"
               "them, keeping the last %2 backups.\n"
               "\n"
               "Options:\n"
               "  -h, --help            show this help and end\n"
               "  -v, --version         show the program's version and end\n"
               "      --list-backups    list the backups of the books, newest first, and end\n"
               "      --restore FILE    put the backup FILE in place of the books and end; the\n"
               "                        books as they are now are backed up first; refused\n"
               "                        while the program is open on the books\n"
               "\n"
               "The window system's standard options (-platform, -style, ...) are accepted too.\n"
               "Exit status: 0 when done, 1 when the work failed or was refused, 2 for a wrong\n"
               "command line.\n")
        .arg(program)
        .arg(backup::kKeep);
}

namespace {
int listBackups(const QString& book, QTextStream& out)
{
    const QList<backup::BackupFile> backups = backup::list(book);
    if (backups.isEmpty()) {
        out << QStringLiteral("The books %1 have no backups yet; they go to %2.\n")
                   .arg(QDir::toNativeSeparators(book), QDir::toNativeSeparators(backup::folderFor(book)));
        return kExitOk;
    }
    out << QStringLiteral("Backups of the books %1, newest first:\n").arg(QDir::toNativeSeparators(book));
    const QLocale locale = QLocale::system();
    for (const backup::BackupFile& file : backups)
        out << QStringLiteral("  %1  %2  %3\n")
                   .arg(file.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                        locale.formattedDataSize(QFileInfo(file.path).size()).rightJustified(10),
                        QDir::toNativeSeparators(file.path));
    return kExitOk;
}

int restoreBackup(const QString& file, const AliasConfig& config, QTextStream& out, QTextStream& err)
{
    const QString& book = config.database;
    const QString folder = QFileInfo(book).absolutePath();
    // The default books' folder on a new computer is made; the folder of books named in the
    // configuration must be there (a disk that is not connected gets no books of its own).
    if (!QFileInfo(folder).isDir() && (!config.embeddedDefault || !QDir().mkpath(folder))) {
        err << QStringLiteral("Nothing was restored: the folder %1 of the books does not exist.\n")
                   .arg(QDir::toNativeSeparators(folder));
        return kExitFailed;
    }
    BookLock lock;
    switch (lock.lock(book)) {
    case BookLock::Outcome::Locked: break;
    case BookLock::Outcome::HeldElsewhere:
        err << QStringLiteral("Nothing was restored: %1\nClose the program there, then restore again.\n")
                   .arg(booksOpenElsewhereText(book, lock.holder()));
        return kExitFailed;
    case BookLock::Outcome::Unlockable:
        err << QStringLiteral("Nothing was restored: the books %1 cannot be locked for the restore (%2).\n")
                   .arg(QDir::toNativeSeparators(book), lock.error());
        return kExitFailed;
    }
    const QString backupPath = QFileInfo(file).absoluteFilePath();
    const backup::RestoreResult result = backup::restore(backupPath, book, QDateTime::currentDateTime());
    out << QStringLiteral("The backup %1 is now the books %2.\n")
               .arg(QDir::toNativeSeparators(backupPath), QDir::toNativeSeparators(book));
    if (!result.savedBook.isEmpty())
        out << QStringLiteral("The books as they were are saved as %1.\n").arg(QDir::toNativeSeparators(result.savedBook));
    for (const QString& moved : result.movedAside)
        out << QStringLiteral("The damaged books were moved, unchanged, to %1.\n").arg(QDir::toNativeSeparators(moved));
    return kExitOk;
}
} // namespace

int runCommandLine(const CommandLine& line, const QString& program, QTextStream& out, QTextStream& err)
{
    switch (line.action) {
    case CommandLine::Action::Run:
        return kExitOk;
    case CommandLine::Action::Help:
        out << helpText(program);
        return kExitOk;
    case CommandLine::Action::Version:
        out << versionText() << '\n';
        return kExitOk;
    case CommandLine::Action::Invalid:
        err << QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, line.error);
        return kExitUsage;
    case CommandLine::Action::ListBackups:
    case CommandLine::Action::Restore:
        break;
    }
    try {
        const AliasConfig config = Engine::resolveAlias();
        if (!isSqliteBook(config)) {
            err << QStringLiteral("The alias %1 names the %2 database %3 on a server; back it up and restore it with "
                                  "the server's own tools.\n")
                       .arg(config.alias, config.driver, config.database);
            return kExitFailed;
        }
        if (line.action == CommandLine::Action::ListBackups)
            return listBackups(config.database, out);
        return restoreBackup(line.backupFile, config, out, err);
    } catch (const std::exception& e) {
        err << (line.action == CommandLine::Action::Restore ? QStringLiteral("Nothing was restored: %1\n")
                                                             : QStringLiteral("%1\n"))
                   .arg(errorMessage(e));
        return kExitFailed;
    }
}

} // namespace zz
