#pragma once
// Backups of a SQLite book: consistent copies made through SQLite itself (never a file copy of a
// live database) into the folder "backups" beside the book, one file per backup named after the
// book and the local date and time it was taken ("Zuzevevur-2026-01-31-143005.db"). Each backup is
// a single self-contained file (rollback journal, no -wal beside it) that passed SQLite's check.
// Restoring puts a backup in place of the book after the book as it was has been backed up.
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "data/Errors.h"

namespace zz {

// A backup or restore could not be done; the message says why, and the book is as it was.
class EBackupError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EBackupError"; }
};

namespace backup {

// How many of a book's backups are kept.
constexpr int kKeep = 30;

struct BackupFile {
    QString path;
    QDateTime taken; // local time, from the file's name
};

// The folder of a book's backups: "backups" beside the book.
QString folderFor(const QString& bookPath);
// The file name of a backup of the book taken at the given time.
QString fileNameFor(const QString& bookPath, const QDateTime& taken);
// The book's backups, newest first. Files of other books and files of other names are not listed.
QList<BackupFile> list(const QString& bookPath);

// True when the book has no backup yet, or its newest one was taken on an earlier day than now
// (or on a later one: the clock has been wrong).
bool isDue(const QString& bookPath, const QDateTime& now);

// How a copy is read from the live book.
enum class Method {
    Automatic, // page by page through SQLite's backup interface; VACUUM INTO through the open
               // engine connection when that connection runs on another SQLite library
    PageCopy,
    VacuumInto // through the engine's open connection, which must be on this book
};

// Writes a backup of the book now and returns its path. The copy is written under a temporary
// name, checked, flushed to disk and only then given its name. Throws EBackupError.
QString write(const QString& bookPath, const QDateTime& now, Method method = Method::Automatic);
// Removes the oldest backups beyond keep; returns the removed files. The backup named fresh (the
// one just written) stays whatever its name says, so that a clock set back never costs it.
QStringList rotate(const QString& bookPath, int keep = kKeep, const QString& fresh = QString());

// What a start-up backup did: the backup written (empty when none was due), or why it failed.
struct StartupResult {
    QString written;
    QStringList removed;
    QString error;
};
// Backs the book up when a backup is due and keeps the last kKeep. Never throws.
StartupResult backUpIfDue(const QString& bookPath, const QDateTime& now);

// Throws EBackupError unless the file opens as a database, passes SQLite's integrity check and
// holds the six tables of the books. The check is of the file, not of the rows: rows that break
// the book's own CHECK constraints are the book as it was, and a copy keeps them.
void checkCopy(const QString& path);

// What a database holds, as far as a copy has to agree with it: its tables, indexes, triggers and
// views by kind, name and definition, and the number of rows of every table.
struct Contents {
    QMap<QString, QString> schema; // "table Customer" -> its CREATE statement
    QMap<QString, qint64> rows;    // table name -> row count
};
// What the database file holds now. Throws EBackupError.
Contents contentsOf(const QString& path);
// Throws EBackupError, naming the first difference, unless the copy holds what was expected.
void checkSameContents(const QString& copyPath, const Contents& expected);

struct RestoreResult {
    QString savedBook;  // the backup made of the book before it was replaced (empty if none)
    QStringList movedAside; // the files of a damaged book, moved into the backups folder
};
// Puts the backup in place of the book. The book as it stands is backed up first; a book that no
// longer opens or fails its check is moved aside into the backups folder instead, byte for byte.
// A missing book is created from the backup. The caller holds the book's lock. Throws
// EBackupError, leaving the book as it was.
RestoreResult restore(const QString& backupPath, const QString& bookPath, const QDateTime& now);

} // namespace backup
} // namespace zz
