#include "data/Engine.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <algorithm>
#include <utility>
#include <vector>
#include <sqlite3.h>
#include <unistd.h>

#include "data/Errors.h"
#include "data/Schema.h"

// The connection to the book: opening and checking it, its transactions and kept statements.

namespace zz {

namespace {
const QString kConnection = QStringLiteral("Zuzevevur");

// The kept statements alive now (never destroyed, so that holders may outlive static data).
std::vector<KeptStatement*>& keptStatements()
{
    static auto* kept = new std::vector<KeptStatement*>;
    return *kept;
}

void pragma(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw EDBEngineError(engineErrorText(engineText(q.lastError()), QString()));
}

QString g_bookName;
int g_transactions = 0; // Transactions running (the driver does not say for a server)
int g_busyWaitMs = 2000;
void (*g_busyNotifier)() = nullptr;

// Waits for another program's lock in short steps, up to the busy wait; tells the program once
// when the waiting begins.
int onBusy(void*, int calls)
{
    constexpr int kStep = 20;
    if (calls == 0 && g_busyNotifier)
        g_busyNotifier();
    if (calls * kStep >= g_busyWaitMs)
        return 0;
    sqlite3_sleep(kStep);
    return 1;
}

// A book that cannot be written is refused before it is opened: the first save would fail.
void refuseReadOnly(const QString& path)
{
    const QFileInfo file(path);
    if (::access(QFile::encodeName(file.absoluteFilePath()).constData(), W_OK) != 0)
        throw EDBEngineError(QStringLiteral("The database %1 is read-only, so no change could be saved; "
                                            "make it writable and start the program again.").arg(path));
    // The engine writes its journal beside the book.
    if (::access(QFile::encodeName(file.absolutePath()).constData(), W_OK | X_OK) != 0)
        throw EDBEngineError(QStringLiteral("The folder %1 holding the database %2 is read-only, so no change could be saved; "
                                            "make it writable and start the program again.").arg(file.absolutePath(), path));
}
} // namespace

QSqlDatabase Engine::open(const QString& alias) { return open(resolveAlias(alias)); }

QSqlDatabase Engine::open(const AliasConfig& config)
{
    close();
    if (!QSqlDatabase::isDriverAvailable(config.driver))
        throw EDBEngineError(QStringLiteral("The database driver %1 of alias %2 is not installed.").arg(config.driver, config.alias));

    const bool sqlite = config.driver == QLatin1String("QSQLITE");
    bool create = false;
    if (sqlite) {
        const QFileInfo file(config.database);
        if (!file.exists()) {
            if (!config.embeddedDefault)
                throw EDBEngineError(QStringLiteral("The database %1 named by alias %2 does not exist.").arg(config.database, config.alias));
            if (!QDir().mkpath(file.absolutePath()))
                throw EDBEngineError(QStringLiteral("Cannot create the folder %1.").arg(file.absolutePath()));
            create = true;
        } else {
            refuseReadOnly(config.database);
        }
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(config.driver, kConnection);
    db.setDatabaseName(config.database);
    if (!sqlite) {
        if (!config.host.isEmpty()) db.setHostName(config.host);
        if (config.port > 0) db.setPort(config.port);
        if (!config.user.isEmpty()) db.setUserName(config.user);
        if (!config.password.isEmpty()) db.setPassword(config.password);
    } else {
        // Never let the driver create a file we did not ask for; wait only a moment on a lock.
        const QString wait = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(g_busyWaitMs);
        db.setConnectOptions(create ? wait : wait + QStringLiteral(";QSQLITE_OPEN_READWRITE_NOCREATE"));
    }
    g_bookName = config.database;
    try {
        if (!db.open())
            throw EDBEngineError(sqlite ? engineErrorText(engineText(db.lastError()), QString())
                                        : serverOpenErrorText(config, db.lastError().databaseText()));
        if (sqlite) {
            if (sqlite3* handle = sqliteHandle()) {
                sqlite3_busy_handler(handle, onBusy, nullptr);
                if (sqlite3_db_readonly(handle, "main") == 1)
                    throw EDBEngineError(engineErrorText(QStringLiteral("attempt to write a readonly database"), QString()));
            }
        }
        if (create) {
            pragma(db, QStringLiteral("PRAGMA journal_mode=WAL"));
            createSchema(db);
        }
        // Only reads: a book refused here is left as it was.
        checkSchema(db);
        if (sqlite) {
            // The embedded default is ours and runs with a write-ahead log; a named book keeps the
            // journal mode it has, which other programs may rely on.
            if (config.embeddedDefault && !create)
                pragma(db, QStringLiteral("PRAGMA journal_mode=WAL"));
            pragma(db, QStringLiteral("PRAGMA synchronous=FULL"));
            pragma(db, QStringLiteral("PRAGMA foreign_keys=OFF"));
            pragma(db, QStringLiteral("PRAGMA cache_size=-65536"));
        }
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnection);
        g_bookName.clear();
        throw;
    }
    return db;
}

void Engine::close()
{
    if (!QSqlDatabase::contains(kConnection))
        return;
    // SQLite keeps a connection with unfinished statements open.
    for (KeptStatement* s : keptStatements())
        s->finalize();
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnection);
    g_bookName.clear();
}

QString Engine::bookName() { return g_bookName; }
int Engine::busyWait() { return g_busyWaitMs; }
void Engine::setBusyWait(int milliseconds) { g_busyWaitMs = std::max(0, milliseconds); }
Engine::BusyNotifier Engine::setBusyNotifier(BusyNotifier notify) { return std::exchange(g_busyNotifier, notify); }

bool Engine::isOpen()
{
    return QSqlDatabase::contains(kConnection) && QSqlDatabase::database(kConnection, false).isOpen();
}

QSqlDatabase Engine::database()
{
    if (!isOpen())
        throw EDBEngineError(QStringLiteral("The database of alias %1 is not open.").arg(QLatin1String(kAlias)));
    return QSqlDatabase::database(kConnection, false);
}

sqlite3* Engine::sqliteHandle()
{
    QSqlDatabase db = database();
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    sqlite3* handle = *static_cast<sqlite3* const*>(h.constData());
    if (!handle)
        return nullptr;
    // A driver carrying its own copy of SQLite hands out a connection that this program's library
    // must not touch; the two agree on the library's source identity only when they are the same.
    static int sameLibrary = -1;
    if (sameLibrary < 0) {
        QSqlQuery q(db);
        sameLibrary = q.exec(QStringLiteral("SELECT sqlite_source_id()")) && q.next()
                && q.value(0).toString() == QLatin1String(sqlite3_sourceid())
            ? 1 : 0;
    }
    return sameLibrary ? handle : nullptr;
}

namespace {
void (*g_readOpenResults)() = nullptr;
} // namespace

void setBeforeWriting(void (*readOpenResults)()) { g_readOpenResults = readOpenResults; }

void beforeWriting()
{
    if (g_readOpenResults)
        g_readOpenResults();
}

bool Engine::inTransaction()
{
    if (sqlite3* handle = sqliteHandle())
        return sqlite3_get_autocommit(handle) == 0;
    return g_transactions > 0;
}

void Engine::lockTableForWriting(const QString& table)
{
    if (dialectOf(database()) != SqlDialect::PostgreSQL)
        return;
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table)))
        throw EDBEngineError(engineErrorText(engineText(q.lastError()), table));
}

void Engine::runInTransaction(const std::function<void()>& work, OnFailure onFailure)
{
    sqlite3* handle = sqliteHandle();
    const auto running = [handle] { return handle ? sqlite3_get_autocommit(handle) == 0 : g_transactions > 0; };
    if (running()) {
        work();
        return;
    }
    beforeWriting();
    Transaction transaction;
    try {
        work();
    } catch (...) {
        // Some failures (a full disk, an I/O error) end the transaction in the engine itself:
        // then nothing is left to commit. A failing commit raises its own error; the
        // transaction then rolls back as it ends. A server undoes the whole transaction when one
        // of its statements fails, and then refuses the commit: the failure itself is what the
        // user is told.
        if (onFailure == OnFailure::KeepDone && (!handle || running())) {
            try {
                transaction.commit();
            } catch (const EDBEngineError&) {
                if (handle)
                    throw;
            }
        }
        throw;
    }
    transaction.commit();
}

KeptStatement::KeptStatement() { keptStatements().push_back(this); }

KeptStatement::~KeptStatement()
{
    finalize();
    std::erase(keptStatements(), this);
}

sqlite3_stmt* KeptStatement::prepare(sqlite3* db, const QByteArray& sql, const QString& table)
{
    if (m_stmt && (sqlite3_db_handle(m_stmt) != db || m_sql != sql))
        finalize();
    if (!m_stmt) {
        if (sqlite3_prepare_v3(db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            finalize();
            throw EDBEngineError(engineErrorText(message, table));
        }
        m_sql = sql;
    }
    return m_stmt;
}

void KeptStatement::finalize()
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

void execOrThrow(QSqlQuery& query, const QString& table, const QVariantMap& values)
{
    if (!query.exec()) {
        throw EDBEngineError(engineErrorText(engineText(query.lastError()), table, values));
    }
}

QSqlQuery prepareOrThrow(const QString& sql)
{
    QSqlQuery q(Engine::database());
    if (!q.prepare(sql))
        throw EDBEngineError(engineErrorText(engineText(q.lastError()), QString()));
    return q;
}

Transaction::Transaction()
{
    QSqlDatabase db = Engine::database();
    // SQLite refuses a second begin itself; a server would only warn and go on in the first.
    if (g_transactions > 0 && !Engine::sqliteHandle())
        throw EDBEngineError(engineErrorText(QStringLiteral("cannot start a transaction within a transaction"), QString()));
    if (!db.transaction())
        throw EDBEngineError(engineErrorText(engineText(db.lastError()), QString()));
    m_active = true;
    ++g_transactions;
}

Transaction::~Transaction() { rollback(); }

void Transaction::commit()
{
    if (!m_active)
        return;
    QSqlDatabase db = Engine::database();
    if (!db.commit())
        throw EDBEngineError(engineErrorText(engineText(db.lastError()), QString()));
    m_active = false;
    --g_transactions;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    --g_transactions;
    if (Engine::isOpen())
        Engine::database().rollback();
}

} // namespace zz
