#pragma once
// The database engine layer: resolves the alias to a database, opens it with the settings the
// books need, and turns the driver's errors into messages a shop owner can read.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <optional>

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
    // missing among others, or names no database.
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
};

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
    void finalize();

private:
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_sql;
};

// The engine's own text of an error, without the driver's fragments ("Unable to fetch row").
QString engineText(const QSqlError& error);

// Runs a prepared statement, turning a failure into EDBEngineError with a readable message.
// With the row's values given, a key violation names the repeated key value.
void execOrThrow(QSqlQuery& query, const QString& table = QString(), const QVariantMap& values = {});
// Prepares a statement on the open connection, or throws.
QSqlQuery prepareOrThrow(const QString& sql);
// The message shown for an engine error while working on the given table: one plain sentence
// naming the book, the table or the field.
QString engineErrorText(const QString& driverText, const QString& table, const QVariantMap& values = {});

} // namespace zz
