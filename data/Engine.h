#pragma once
// The database engine layer: resolves the alias to a database, opens it with the settings the
// books need, and turns the driver's errors into messages a shop owner can read.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <optional>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace zz {

struct AliasConfig {
    QString alias;
    QString driver;       // Qt SQL driver, "QSQLITE" (later also "QPSQL")
    QString database;     // file path for SQLite, database name for a server
    QString host;
    int port = -1;
    QString user;
    QString password;
    bool embeddedDefault = false; // no configuration: the default file in the user's data directory
};

class Engine {
public:
    static constexpr const char* kAlias = "Zuzevevur";

    // The engine's own configuration file, in the user's configuration directory.
    static QString configFilePath();
    // Reads the alias from the configuration; with no configuration, names the embedded default.
    static AliasConfig resolveAlias(const QString& alias = QString::fromLatin1(kAlias));
    // The alias as the text of a configuration file (named `path` in messages) defines it;
    // nothing when the text defines no alias at all. Throws EDBEngineError when the alias is
    // missing among others, or names no database, or when the file is no UTF-8 text (binary
    // bytes, UTF-16): such a file is no missing one.
    static std::optional<AliasConfig> aliasFromConfig(const QByteArray& text, const QString& alias, const QString& path);

    // Opens the database the alias names and checks it before anything is written to it: the
    // file and its folder writable, every table and every field the program uses present. A book
    // refused is left byte for byte as it was. The embedded default is created with empty tables
    // on first use and kept in write-ahead-log mode; a book named by the alias keeps its own
    // journal mode. Throws EDBEngineError with a readable message.
    static QSqlDatabase open(const QString& alias = QString::fromLatin1(kAlias));
    static QSqlDatabase open(const AliasConfig& config);
    static void close();
    static bool isOpen();
    // The open connection; throws when none is open.
    static QSqlDatabase database();
    // The SQLite connection behind the open database, for reading rows without the driver's
    // conversions. Only when the driver is SQLite and runs on the same SQLite library as this
    // program; nullptr otherwise (callers then go through QSqlQuery).
    static sqlite3* sqliteHandle();
    // The file (or database name) of the open book, for messages; empty when none is open.
    static QString bookName();

    // How long a statement waits for a lock another program holds before it gives up, in
    // milliseconds: short, so that a locked book is reported rather than looking like a hang.
    static int busyWait();
    static void setBusyWait(int milliseconds);
    // Called when a statement starts waiting for such a lock (the program shows the wait cursor);
    // returns the one called until now.
    using BusyNotifier = void (*)();
    static BusyNotifier setBusyNotifier(BusyNotifier notify);

    // Runs work as one transaction of the open database (a Transaction, below): what it writes
    // becomes durable together when it ends, so that a crash or a power loss before then leaves
    // none of it. When work fails, KeepDone commits what it wrote before the failure and RollBack
    // undoes it; either way the failure then goes on to the caller (a failing commit raises its own
    // error instead, having undone the work). Inside a transaction already running on SQLite, work
    // simply runs as part of it.
    enum class OnFailure { RollBack, KeepDone };
    static void runInTransaction(const std::function<void()>& work, OnFailure onFailure);
    // Whether a transaction is running on the open database.
    static bool inTransaction();
    // Inside a transaction: keeps other seats from writing the table until it ends, while they
    // may still read it, so that a run over many of its rows (stepping every unpaid invoice on)
    // cannot interleave with another seat's. On PostgreSQL; a writing SQLite transaction already
    // excludes every other writer.
    static void lockTableForWriting(const QString& table);
    // Whether an engine error means the connection to the database server is gone.
    static bool isConnectionLost(const QString& engineText);
};

// Runs before anything writes to the open database: the open results that are read on demand
// read their remaining rows first, so that they keep showing the rows as they were when they
// opened. The named queries set what it runs.
void beforeWriting();
void setBeforeWriting(void (*readOpenResults)());

// A statement prepared straight on the SQLite connection and kept between uses. The engine
// finalizes every kept statement before it closes the connection; the next use prepares it again.
class KeptStatement {
public:
    KeptStatement();
    ~KeptStatement();
    KeptStatement(const KeptStatement&) = delete;
    KeptStatement& operator=(const KeptStatement&) = delete;

    // The statement for sql on db, prepared now unless it already is; throws EDBEngineError
    // (naming the table) when the engine refuses it.
    sqlite3_stmt* prepare(sqlite3* db, const QByteArray& sql, const QString& table = QString());
    // The prepared statement; nullptr when there is none (never prepared, or finalized because
    // the engine closed its connection).
    sqlite3_stmt* get() const { return m_stmt; }
    void finalize();

private:
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_sql;
};

// The engine's own text of an error, without the driver's fragments ("Unable to fetch row").
QString engineText(const QSqlError& error);
// One transaction on the open database: the rows written while it is open land together when it
// is committed, or none of them does when it is rolled back or ends without a commit (an error on
// the way). Cursors that wrote rows inside a rolled-back transaction re-read them afterwards.
class Transaction {
public:
    // Begins the transaction; throws EDBEngineError when the engine cannot.
    Transaction();
    // Rolls back what was not committed.
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Makes everything written since the begin durable; throws EDBEngineError when the engine
    // cannot (the transaction then stays open for the rollback).
    void commit();
    // Drops everything written since the begin; nothing when it is already over.
    void rollback();
    bool active() const { return m_active; }

private:
    bool m_active = false;
};

// Runs a prepared statement, turning a failure into EDBEngineError with a readable message.
// With the row's values given, a key violation names the repeated key value.
void execOrThrow(QSqlQuery& query, const QString& table = QString(), const QVariantMap& values = {});
// Prepares a statement on the open connection, or throws.
QSqlQuery prepareOrThrow(const QString& sql);
// The message shown for an engine error while working on the given table: one plain sentence
// naming the book, the table or the field.
QString engineErrorText(const QString& driverText, const QString& table, const QVariantMap& values = {});
// Why a connection to the PostgreSQL server the alias names could not be opened, in words: the
// server cannot be reached (none runs there, the network does not reach it, no such host), or it
// answered and refused the database (missing, or the user or password refused). Names the server
// (host and port, or socket) and the database. driverText is the driver's full text of the failure.
QString serverOpenErrorText(const AliasConfig& config, const QString& driverText);
// A PostgreSQL server's refusal (key, check, required field, lost connection, missing table) in
// the same words engineErrorText gives the embedded engine's; empty for any other text.
QString serverErrorText(const QString& driverText, const QVariantMap& values = {});

} // namespace zz
