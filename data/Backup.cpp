#include "data/Backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <functional>
#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "data/Engine.h"
#include "data/Schema.h"

namespace zz::backup {

namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd-HHmmss");

// A connection of this program's SQLite library to one file.
class Db {
public:
    Db(const QString& path, int flags) : m_path(path)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString why = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            throw EBackupError(QStringLiteral("%1 cannot be opened: %2.").arg(QDir::toNativeSeparators(path), why));
        }
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Db() { sqlite3_close_v2(m_db); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    sqlite3* handle() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    QString fail(const QString& doing) const
    {
        return QStringLiteral("%1 %2: %3.").arg(QDir::toNativeSeparators(m_path), doing, error());
    }

    // The first value of the statement's first row (empty when it has none).
    QString value(const char* sql, const QString& bind = QString())
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            throw EBackupError(fail(QStringLiteral("cannot be read")));
        if (!bind.isNull()) {
            const QByteArray text = bind.toUtf8();
            sqlite3_bind_text(stmt, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        QString result;
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw EBackupError(fail(QStringLiteral("cannot be read")));
        return result;
    }

    // Every row of the statement, each value as text (a null as a null string).
    QList<QStringList> rows(const QString& sql)
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            throw EBackupError(fail(QStringLiteral("cannot be read")));
        QList<QStringList> out;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                row << (value ? QString::fromUtf8(value) : QString());
            }
            out << row;
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw EBackupError(fail(QStringLiteral("cannot be read")));
        return out;
    }

    // SQLite's own check of the file: "ok", or the first problem it found. The quick form leaves
    // out the comparison of indexes with their tables. Rows that break the tables' own CHECK
    // constraints are no damage to the file, and a faithful copy holds them as they are.
    QString check(bool quick)
    {
        value("PRAGMA ignore_check_constraints=ON");
        const QString found = value(quick ? "PRAGMA quick_check" : "PRAGMA integrity_check");
        value("PRAGMA ignore_check_constraints=OFF");
        return found;
    }

private:
    QString m_path;
    sqlite3* m_db = nullptr;
};

// Copies every page of the source into the destination in one go; waits a while for a writer
// of the source to finish.
void pageCopy(Db& source, Db& dest)
{
    sqlite3_backup* copy = sqlite3_backup_init(dest.handle(), "main", source.handle(), "main");
    if (!copy)
        throw EBackupError(dest.fail(QStringLiteral("cannot be written")));
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 100; ++tries) {
        rc = sqlite3_backup_step(copy, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(50);
    }
    const int finished = sqlite3_backup_finish(copy);
    if (rc != SQLITE_DONE) {
        const QString why = finished != SQLITE_OK ? dest.error() : QString::fromUtf8(sqlite3_errstr(rc));
        throw EBackupError(QStringLiteral("The copy of the books could not be made: %1.").arg(why));
    }
}

void throwUnlessOk(const QString& check, const QString& path)
{
    if (check != QLatin1String("ok"))
        throw EBackupError(QStringLiteral("%1 failed SQLite's check: %2").arg(QDir::toNativeSeparators(path), check));
}

QString quoted(const QString& name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); }

// The contents of a database, its statements run by the given reader.
Contents contentsFrom(const std::function<QList<QStringList>(const QString&)>& rows)
{
    Contents c;
    QStringList tables;
    for (const QStringList& entry : rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master"))) {
        c.schema.insert(entry.value(0) + QLatin1Char(' ') + entry.value(1), entry.value(2));
        if (entry.value(0) == QLatin1String("table"))
            tables << entry.value(1);
    }
    for (const QString& table : std::as_const(tables))
        c.rows.insert(table, rows(QStringLiteral("SELECT count(*) FROM ") + quoted(table)).value(0).value(0).toLongLong());
    return c;
}

Contents contentsOf(Db& db)
{
    return contentsFrom([&](const QString& sql) { return db.rows(sql); });
}

// What the engine's open connection reads.
Contents contentsOf(const QSqlDatabase& db)
{
    return contentsFrom([&](const QString& sql) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw EBackupError(QStringLiteral("The books %1 cannot be read: %2.")
                                   .arg(QDir::toNativeSeparators(db.databaseName()), q.lastError().text()));
        QList<QStringList> out;
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << (q.isNull(i) ? QString() : q.value(i).toString());
            out << row;
        }
        return out;
    });
}

// The first way the copy differs from what it was taken from; empty when it holds the same.
QString differenceOf(const Contents& copy, const Contents& books, const QString& path)
{
    const QString file = QDir::toNativeSeparators(path);
    for (auto it = books.schema.cbegin(); it != books.schema.cend(); ++it) {
        if (!copy.schema.contains(it.key()))
            return QStringLiteral("The copy %1 lacks the %2 of the books.").arg(file, it.key());
        if (copy.schema.value(it.key()) != it.value())
            return QStringLiteral("The copy %1 defines the %2 otherwise than the books.").arg(file, it.key());
    }
    for (auto it = copy.schema.cbegin(); it != copy.schema.cend(); ++it)
        if (!books.schema.contains(it.key()))
            return QStringLiteral("The copy %1 holds the %2, which the books do not.").arg(file, it.key());
    for (auto it = books.rows.cbegin(); it != books.rows.cend(); ++it)
        if (copy.rows.value(it.key()) != it.value())
            return QStringLiteral("The copy %1 holds %2 rows of the table %3, the books %4.")
                .arg(file, QString::number(copy.rows.value(it.key())), it.key(), QString::number(it.value()));
    return {};
}

void throwUnlessSame(Db& copy, const QString& path, const Contents& books)
{
    const QString difference = differenceOf(contentsOf(copy), books, path);
    if (!difference.isEmpty())
        throw EBackupError(difference);
}

// A finished copy: a single file with a rollback journal, checked, holding what its source held.
void finishCopy(const QString& path, const Contents& source)
{
    Db db(path, SQLITE_OPEN_READWRITE);
    db.value("PRAGMA journal_mode=DELETE");
    throwUnlessOk(db.check(true), path);
    throwUnlessSame(db, path, source);
}

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Flushes a file (or a folder's entries) to the disk.
void syncPath(const QString& path, bool folder = false)
{
    const int fd = ::open(QFile::encodeName(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        throw EBackupError(QStringLiteral("%1 cannot be opened: %2.").arg(QDir::toNativeSeparators(path), systemError()));
    const int rc = ::fsync(fd);
    const QString why = rc != 0 ? systemError() : QString();
    ::close(fd);
    if (rc != 0 && !folder)
        throw EBackupError(QStringLiteral("%1 cannot be written to the disk: %2.").arg(QDir::toNativeSeparators(path), why));
}

// Gives a finished copy its name, for good.
void putInPlace(const QString& from, const QString& to)
{
    syncPath(from);
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw EBackupError(QStringLiteral("%1 cannot be renamed to %2: %3.")
                               .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), systemError()));
    syncPath(QFileInfo(to).absolutePath(), true);
}

// Writes a copy under the target's name: filled under a temporary name, checked against the
// contents the filling read from its source, flushed to the disk and only then named; nothing of
// it is left when any step fails.
void writeCopy(const QString& target, const QString& temporarySuffix, const std::function<Contents(const QString&)>& fill)
{
    const QString part = target + temporarySuffix;
    QFile::remove(part);
    try {
        const Contents source = fill(part);
        finishCopy(part, source);
        putInPlace(part, target);
    } catch (...) {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        throw;
    }
}

// Copies every page of the source into a new file, which needs no journal of its own on the way:
// it is of no use until writeCopy has finished it. Returns the source's contents as copied: read
// in the same read transaction as the pages, so that a writer in between cannot tell them apart.
Contents pageCopyInto(Db& source, const QString& part)
{
    Db dest(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    dest.value("PRAGMA journal_mode=OFF");
    dest.value("PRAGMA synchronous=OFF");
    source.value("BEGIN");
    try {
        const Contents contents = contentsOf(source);
        pageCopy(source, dest);
        source.value("COMMIT");
        return contents;
    } catch (...) {
        sqlite3_exec(source.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

QString suffixOf(const QString& bookPath)
{
    const QString suffix = QFileInfo(bookPath).suffix();
    return suffix.isEmpty() ? QStringLiteral("db") : suffix;
}

// Matches the names of the book's backups; captures the time and the number added to a name
// taken twice in one second.
QRegularExpression namePattern(const QString& bookPath)
{
    return QRegularExpression(QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2}-\\d{6})(?:-(\\d+))?\\.%2$")
                                  .arg(QRegularExpression::escape(QFileInfo(bookPath).completeBaseName()),
                                       QRegularExpression::escape(suffixOf(bookPath))));
}

struct Listed {
    BackupFile file;
    int number = 0;
};

QList<Listed> listed(const QString& bookPath)
{
    QList<Listed> out;
    const QDir folder(folderFor(bookPath));
    const QRegularExpression pattern = namePattern(bookPath);
    for (const QFileInfo& info : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        const auto m = pattern.match(info.fileName());
        if (!m.hasMatch())
            continue;
        const QDateTime taken = QDateTime::fromString(m.captured(1), kStampFormat);
        if (taken.isValid())
            out.push_back({{info.absoluteFilePath(), taken}, m.captured(2).toInt()});
    }
    std::sort(out.begin(), out.end(), [](const Listed& a, const Listed& b) {
        return a.file.taken != b.file.taken ? a.file.taken > b.file.taken : a.number > b.number;
    });
    return out;
}

// The backup folder, made when missing; throws when it cannot be written into.
QString readyFolder(const QString& bookPath)
{
    const QString folder = folderFor(bookPath);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        throw EBackupError(QStringLiteral("%1 is a file, not a folder for backups.").arg(QDir::toNativeSeparators(folder)));
    if (!info.exists() && !QDir().mkpath(folder))
        throw EBackupError(QStringLiteral("The backup folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder)));
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        throw EBackupError(QStringLiteral("The backup folder %1 cannot be written into: %2.")
                               .arg(QDir::toNativeSeparators(folder), systemError()));
    return folder;
}

// A name of the book's backups not taken yet.
QString freshName(const QString& folder, const QString& bookPath, const QDateTime& taken)
{
    QString name = fileNameFor(bookPath, taken);
    for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + name); ++n)
        name = QStringLiteral("%1-%2-%3.%4")
                   .arg(QFileInfo(bookPath).completeBaseName(), taken.toString(kStampFormat), QString::number(n),
                        suffixOf(bookPath));
    return folder + QLatin1Char('/') + name;
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

// The engine's connection when it is open on this book.
bool engineHolds(const QString& bookPath)
{
    return Engine::isOpen() && Engine::database().driverName() == QLatin1String("QSQLITE")
        && sameFile(Engine::database().databaseName(), bookPath);
}

Contents vacuumInto(const QString& bookPath, const QString& target)
{
    if (!engineHolds(bookPath))
        throw EBackupError(QStringLiteral("The books %1 are not open.").arg(QDir::toNativeSeparators(bookPath)));
    QSqlQuery q(Engine::database());
    if (!q.prepare(QStringLiteral("VACUUM INTO ?")))
        throw EBackupError(QStringLiteral("The copy of the books could not be made: %1.").arg(q.lastError().text()));
    q.addBindValue(target);
    if (!q.exec())
        throw EBackupError(QStringLiteral("The copy of the books could not be made: %1.").arg(q.lastError().text()));
    // VACUUM runs outside any transaction, so the contents are read just after it; the book's
    // lock keeps other programs from writing in between.
    return contentsOf(Engine::database());
}

// Does the book open and pass SQLite's quick check? Asked read-only: a connection that may write
// would roll a journal left beside the book into it, or delete a journal it cannot read, and a
// damaged book must reach the backup folder exactly as it was. (A book that needs its journal
// rolled back counts as damaged here, and is kept whole with its journal.)
bool opensSound(const QString& bookPath)
{
    try {
        Db db(bookPath, SQLITE_OPEN_READONLY);
        return db.check(true) == QLatin1String("ok");
    } catch (const EBackupError&) {
        return false;
    }
}

// The suffixes of the files SQLite keeps beside a book.
const QStringList& companionSuffixes()
{
    static const QStringList suffixes = {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};
    return suffixes;
}

void moveBack(const QStringList& moved, const QString& bookPath)
{
    for (qsizetype i = 0; i < moved.size(); ++i)
        if (!moved[i].isEmpty())
            ::rename(QFile::encodeName(moved[i]).constData(), QFile::encodeName(bookPath + companionSuffixes()[i]).constData());
}

// Moves the files of a damaged book into the backup folder, unchanged; returns their new names in
// the order of companionSuffixes() (empty for a file that was not there).
QStringList moveAside(const QString& bookPath, const QDateTime& now)
{
    const QString folder = readyFolder(bookPath);
    const QString base = QStringLiteral("%1/%2-%3-damaged.%4")
                             .arg(folder, QFileInfo(bookPath).completeBaseName(), now.toString(kStampFormat),
                                  suffixOf(bookPath));
    QStringList moved;
    for (const QString& suffix : companionSuffixes()) {
        const QString from = bookPath + suffix;
        const QString to = base + suffix;
        if (QFileInfo::exists(from) && ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
            const QString why = systemError();
            moveBack(moved, bookPath);
            throw EBackupError(QStringLiteral("The damaged books %1 cannot be moved to %2: %3.")
                                   .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), why));
        }
        moved << (QFileInfo::exists(to) ? to : QString());
    }
    syncPath(folder, true);
    return moved;
}

} // namespace

QString folderFor(const QString& bookPath)
{
    return QFileInfo(bookPath).absolutePath() + QStringLiteral("/backups");
}

QString fileNameFor(const QString& bookPath, const QDateTime& taken)
{
    return QStringLiteral("%1-%2.%3")
        .arg(QFileInfo(bookPath).completeBaseName(), taken.toString(kStampFormat), suffixOf(bookPath));
}

QList<BackupFile> list(const QString& bookPath)
{
    QList<BackupFile> out;
    for (const Listed& l : listed(bookPath))
        out.push_back(l.file);
    return out;
}

bool isDue(const QString& bookPath, const QDateTime& now)
{
    const QList<Listed> backups = listed(bookPath);
    return backups.isEmpty() || backups.front().file.taken.date() != now.date();
}

QString write(const QString& bookPath, const QDateTime& now, Method method)
{
    if (!QFileInfo(bookPath).isFile())
        throw EBackupError(QStringLiteral("The books %1 do not exist.").arg(QDir::toNativeSeparators(bookPath)));
    const QString folder = readyFolder(bookPath);
    // What an earlier, interrupted backup left.
    const QRegularExpression pattern = namePattern(bookPath);
    for (const QFileInfo& info : QDir(folder).entryInfoList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden))
        if (pattern.match(info.completeBaseName()).hasMatch())
            QFile::remove(info.absoluteFilePath());

    const QString target = freshName(folder, bookPath, now);
    if (method == Method::Automatic)
        method = engineHolds(bookPath) && !Engine::sqliteHandle() ? Method::VacuumInto : Method::PageCopy;
    writeCopy(target, QStringLiteral(".part"), [&](const QString& part) {
        if (method == Method::VacuumInto)
            return vacuumInto(bookPath, part);
        // The book's committed state, read by a connection that never writes: changes still
        // pending in a window or in another program's open transaction are not in the copy.
        Db source(bookPath, SQLITE_OPEN_READONLY);
        return pageCopyInto(source, part);
    });
    return target;
}

QStringList rotate(const QString& bookPath, int keep, const QString& fresh)
{
    QStringList removed, failed;
    int room = qMax(keep, 1) - (fresh.isEmpty() ? 0 : 1);
    for (const Listed& backup : listed(bookPath)) {
        if (backup.file.path == fresh)
            continue;
        if (room > 0) {
            --room;
        } else if (QFile::remove(backup.file.path)) {
            removed << backup.file.path;
        } else {
            failed << QDir::toNativeSeparators(backup.file.path);
        }
    }
    if (!failed.isEmpty())
        throw EBackupError(QStringLiteral("The old backups %1 cannot be removed.").arg(failed.join(QStringLiteral(", "))));
    return removed;
}

StartupResult backUpIfDue(const QString& bookPath, const QDateTime& now)
{
    StartupResult result;
    try {
        if (!isDue(bookPath, now))
            return result;
        result.written = write(bookPath, now);
        result.removed = rotate(bookPath, kKeep, result.written);
    } catch (...) {
        result.error = errorMessage(std::current_exception());
    }
    return result;
}

Contents contentsOf(const QString& path)
{
    Db db(path, SQLITE_OPEN_READONLY);
    return contentsOf(db);
}

void checkSameContents(const QString& copyPath, const Contents& expected)
{
    Db db(copyPath, SQLITE_OPEN_READONLY);
    throwUnlessSame(db, copyPath, expected);
}

void checkCopy(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw EBackupError(QStringLiteral("The backup %1 does not exist.").arg(QDir::toNativeSeparators(path)));
    Db db(path, SQLITE_OPEN_READONLY);
    throwUnlessOk(db.check(false), path);
    for (const TableDef& table : schemaTables())
        if (db.value("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", table.name).isEmpty())
            throw EBackupError(QStringLiteral("%1 is no backup of the books: it has no table %2.")
                                   .arg(QDir::toNativeSeparators(path), table.name));
}

RestoreResult restore(const QString& backupPath, const QString& bookPath, const QDateTime& now)
{
    if (sameFile(backupPath, bookPath))
        throw EBackupError(QStringLiteral("%1 is the books themselves, not a backup.").arg(QDir::toNativeSeparators(backupPath)));
    checkCopy(backupPath);

    RestoreResult result;
    QStringList moved;
    if (QFileInfo::exists(bookPath)) {
        if (opensSound(bookPath))
            result.savedBook = write(bookPath, now, Method::PageCopy);
        else
            moved = moveAside(bookPath, now);
    }
    for (const QString& file : std::as_const(moved))
        if (!file.isEmpty())
            result.movedAside << file;

    Db source(backupPath, SQLITE_OPEN_READONLY);
    if (QFileInfo::exists(bookPath)) {
        // Into the book itself, in one transaction of SQLite's: the book keeps its journal mode,
        // and a failure leaves it as it was.
        Db book(bookPath, SQLITE_OPEN_READWRITE);
        const bool wal = book.value("PRAGMA journal_mode") == QLatin1String("wal");
        // A book with a write-ahead log takes pages of its own size only.
        const bool switched = wal && book.value("PRAGMA page_size") != source.value("PRAGMA page_size");
        const Contents restored = contentsOf(source);
        if (switched)
            book.value("PRAGMA journal_mode=DELETE");
        try {
            pageCopy(source, book);
        } catch (...) {
            if (switched)
                book.value("PRAGMA journal_mode=WAL");
            throw;
        }
        if (wal)
            book.value("PRAGMA journal_mode=WAL");
        throwUnlessOk(book.check(true), bookPath);
        throwUnlessSame(book, bookPath, restored);
    } else {
        // A new file, named the book's name only when it is complete.
        if (!QDir().mkpath(QFileInfo(bookPath).absolutePath()))
            throw EBackupError(QStringLiteral("The folder %1 cannot be made.")
                                   .arg(QDir::toNativeSeparators(QFileInfo(bookPath).absolutePath())));
        try {
            writeCopy(bookPath, QStringLiteral(".restoring"), [&](const QString& part) { return pageCopyInto(source, part); });
        } catch (...) {
            moveBack(moved, bookPath); // the damaged book goes back where it was
            throw;
        }
    }
    return result;
}

} // namespace zz::backup
