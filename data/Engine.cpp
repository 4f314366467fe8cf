#include "data/Engine.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <algorithm>
#include <utility>
#include <vector>
#include <sqlite3.h>
#include <unistd.h>

#include "data/Errors.h"
#include "data/Schema.h"

namespace zz {

namespace {
const QString kConnection = QStringLiteral("Zuzevevur");

QString userDir(QStandardPaths::StandardLocation location)
{
    // The folder is named after the alias so that tests and the program agree whatever the
    // application object is called.
    QString base = QStandardPaths::writableLocation(location);
    if (location == QStandardPaths::GenericDataLocation || location == QStandardPaths::GenericConfigLocation)
        base += QStringLiteral("/Zuzevevur");
    return base;
}

// The engine's configuration: "[Alias]" sections of "Key=Value" lines (keys without regard to
// case; lines starting with ";" or "#" are comments).
QMap<QString, QHash<QString, QString>> parseIni(const QByteArray& text)
{
    QMap<QString, QHash<QString, QString>> sections;
    QString section;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            sections[section];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !section.isEmpty())
            sections[section].insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return sections;
}

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

QString Engine::configFilePath()
{
    return userDir(QStandardPaths::GenericConfigLocation) + QStringLiteral("/engine.ini");
}

std::optional<AliasConfig> Engine::aliasFromConfig(const QByteArray& text, const QString& alias, const QString& path)
{
    const auto sections = parseIni(text);
    for (auto it = sections.begin(); it != sections.end(); ++it) {
        if (it.key().compare(alias, Qt::CaseInsensitive) != 0)
            continue;
        const QHash<QString, QString>& v = it.value();
        AliasConfig c;
        c.alias = alias;
        c.driver = v.value(QStringLiteral("driver"), QStringLiteral("QSQLITE"));
        c.database = v.value(QStringLiteral("database"));
        c.host = v.value(QStringLiteral("host"));
        bool ok = false;
        const int port = v.value(QStringLiteral("port")).toInt(&ok);
        c.port = ok && port > 0 && port < 65536 ? port : -1;
        c.user = v.value(QStringLiteral("user"));
        // A server's password belongs in the user's ~/.pgpass (read by the driver), never in this
        // file, which other programs and backups read.
        if (v.contains(QStringLiteral("password")))
            throw EDBEngineError(QStringLiteral("The alias %1 in %2 holds a password; remove it and keep the password "
                                                "in ~/.pgpass instead.").arg(alias, path));
        if (c.database.isEmpty())
            throw EDBEngineError(QStringLiteral("The alias %1 in %2 names no database.").arg(alias, path));
        return c;
    }
    if (!sections.isEmpty())
        throw EDBEngineError(QStringLiteral("Unknown database alias: %1 (not defined in %2)").arg(alias, path));
    return std::nullopt;
}

AliasConfig Engine::resolveAlias(const QString& alias)
{
    const QString path = configFilePath();
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw EDBEngineError(QStringLiteral("Cannot read the database configuration %1.").arg(path));
        if (const std::optional<AliasConfig> c = aliasFromConfig(file.readAll(), alias, path))
            return *c;
    }
    if (alias.compare(QLatin1String(kAlias), Qt::CaseInsensitive) != 0)
        throw EDBEngineError(QStringLiteral("Unknown database alias: %1").arg(alias));
    AliasConfig c;
    c.alias = alias;
    c.driver = QStringLiteral("QSQLITE");
    c.database = userDir(QStandardPaths::GenericDataLocation) + QStringLiteral("/Zuzevevur.db");
    c.embeddedDefault = true;
    return c;
}

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
            throw EDBEngineError(engineErrorText(engineText(db.lastError()), QString()));
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

namespace {
// The field of the schema a server names in lower case; the name as it stands in messages.
QString schemaFieldName(const QString& lowered)
{
    for (const TableDef& t : schemaTables())
        for (const FieldDef& f : t.fields)
            if (f.name.compare(lowered, Qt::CaseInsensitive) == 0)
                return f.name;
    return lowered;
}
QString schemaTableName(const QString& lowered)
{
    for (const TableDef& t : schemaTables())
        if (t.name.compare(lowered, Qt::CaseInsensitive) == 0)
            return t.name;
    return lowered;
}
} // namespace

// A PostgreSQL server's refusals, in the same words as the embedded engine's; empty for others.
QString serverErrorText(const QString& text, const QVariantMap& values)
{
    // duplicate key value violates unique constraint "invoice_inv_number_key"
    static const QRegularExpression unique(QStringLiteral("unique constraint \"([a-z]+)_(\\w+)_key\""));
    if (const auto m = unique.match(text); m.hasMatch()) {
        const QString table = schemaTableName(m.captured(1));
        const QString field = schemaFieldName(m.captured(2));
        for (auto it = values.begin(); it != values.end(); ++it)
            if (it.key().compare(field, Qt::CaseInsensitive) == 0)
                return QStringLiteral("Key violation: the %1 table already has a row with %2 %3.").arg(table, field, it.value().toString());
        return QStringLiteral("Key violation: the %1 table already has a row with this %2.").arg(table, field);
    }
    // new row for relation "customer" violates check constraint "cus_name_fits"
    static const QRegularExpression check(QStringLiteral("violates check constraint \"(\\w+?)_fits\""));
    if (const auto m = check.match(text); m.hasMatch())
        return QStringLiteral("The value of %1 does not fit the field.").arg(schemaFieldName(m.captured(1)));
    // null value in column "cus_name" of relation "customer" violates not-null constraint
    static const QRegularExpression notNull(QStringLiteral("null value in column \"(\\w+)\".*not-null"));
    if (const auto m = notNull.match(text); m.hasMatch())
        return QStringLiteral("Field '%1' must have a value").arg(schemaFieldName(m.captured(1)));
    if (Engine::isConnectionLost(text)) {
        const QString book = g_bookName.isEmpty() ? QStringLiteral("database") : QStringLiteral("database %1").arg(g_bookName);
        return QStringLiteral("The connection to the %1 on the server was lost, so the last change was not saved. "
                              "Check the network and the server, then start the program again: nothing can be saved until then.").arg(book);
    }
    static const QRegularExpression missing(QStringLiteral("(relation|column) \"(?:\\w+\\.)?(\\w+)\" does not exist"));
    if (const auto m = missing.match(text); m.hasMatch()) {
        const QString book = g_bookName.isEmpty() ? QStringLiteral("database") : QStringLiteral("database %1").arg(g_bookName);
        return m.captured(1) == QLatin1String("relation")
            ? QStringLiteral("The table %1 is missing from the %2.").arg(schemaTableName(m.captured(2)), book)
            : QStringLiteral("The field %1 is missing from the %2.").arg(schemaFieldName(m.captured(2)), book);
    }
    return {};
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

QString engineText(const QSqlError& error)
{
    QString own = error.databaseText().trimmed();
    // A server's message comes as "ERROR:  text" with more lines of detail: the text alone.
    static const QRegularExpression severity(QStringLiteral("^(?:ERROR|FATAL|PANIC):\\s+"));
    own.remove(severity);
    if (const qsizetype end = own.indexOf(QLatin1Char('\n')); end > 0)
        own = own.left(end).trimmed();
    return own.isEmpty() ? error.driverText().trimmed() : own;
}

bool Engine::isConnectionLost(const QString& text)
{
    static const char* const signs[] = {"server closed the connection", "no connection to the server", "terminating connection",
                                        "connection to server", "could not connect to server", "could not send data to server",
                                        "could not receive data from server", "Unable to send query", "Connection refused"};
    for (const char* sign : signs)
        if (text.contains(QLatin1String(sign), Qt::CaseInsensitive))
            return true;
    return false;
}

QString engineErrorText(const QString& driverText, const QString& table, const QVariantMap& values)
{
    // "UNIQUE constraint failed: Invoice.Inv_Number" -> a key violation naming table and key.
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: (\\w+)\\.(\\w+)"));
    const auto m = unique.match(driverText);
    if (m.hasMatch()) {
        const QString field = m.captured(2);
        for (auto it = values.begin(); it != values.end(); ++it)
            if (it.key().compare(field, Qt::CaseInsensitive) == 0)
                return QStringLiteral("Key violation: the %1 table already has a row with %2 %3.")
                    .arg(m.captured(1), field, it.value().toString());
        return QStringLiteral("Key violation: the %1 table already has a row with this %2.").arg(m.captured(1), field);
    }
    // "CHECK constraint failed: length(Cus_Name) <= 50" -> the field is the first name in the
    // check that is neither a function nor a keyword.
    static const QRegularExpression check(QStringLiteral("CHECK constraint failed: (.*)"));
    const auto c = check.match(driverText);
    if (c.hasMatch()) {
        static const QRegularExpression name(QStringLiteral("([A-Za-z_]\\w*)\\s*(\\()?"));
        static const QStringList keywords = {QStringLiteral("IS"), QStringLiteral("NOT"), QStringLiteral("NULL"),
                                             QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("IN")};
        QString field = c.captured(1).trimmed();
        for (auto it = name.globalMatch(c.captured(1)); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(2).isEmpty() && !keywords.contains(m.captured(1), Qt::CaseInsensitive)) {
                field = m.captured(1);
                break;
            }
        }
        return QStringLiteral("The value of %1 does not fit the field.").arg(field);
    }
    static const QRegularExpression notNull(QStringLiteral("NOT NULL constraint failed: \\w+\\.(\\w+)"));
    if (const auto n = notNull.match(driverText); n.hasMatch())
        return QStringLiteral("Field '%1' must have a value").arg(n.captured(1));
    static const QRegularExpression noSuch(QStringLiteral("no such (table|column): (?:\\w+\\.)?(\\w+)"));
    if (const QString pg = serverErrorText(driverText, values); !pg.isEmpty())
        return pg;

    if (isDeleteRefusedText(driverText))
        return driverText.trimmed();
    // The book's state, in words: the engine's own texts (SQLite's, stable across its versions).
    const QString book = g_bookName.isEmpty() ? QStringLiteral("database") : QStringLiteral("database %1").arg(g_bookName);
    const QString text = driverText.trimmed();
    // SQLite's own words only: "database is locked", "database table is locked", "database schema
    // is locked"; a trigger's message that happens to say "locked" is the book's own text.
    static const QRegularExpression locked(QStringLiteral("^database (table |schema )?is locked"));
    if (locked.match(text).hasMatch())
        return QStringLiteral("The %1 is locked by another program; try again in a moment.").arg(book);
    if (text.contains(QLatin1String("readonly database")) || text.contains(QLatin1String("read-only")))
        return QStringLiteral("The %1 is read-only, so no change could be saved.").arg(book);
    if (text.contains(QLatin1String("not a database")))
        return g_bookName.isEmpty() ? QStringLiteral("The file is not a database.")
                                    : QStringLiteral("The file %1 is not a database.").arg(g_bookName);
    if (text.contains(QLatin1String("malformed")) || text.contains(QLatin1String("corrupt")))
        return QStringLiteral("The %1 is damaged.").arg(book);
    if (text.contains(QLatin1String("disk is full")))
        return QStringLiteral("The disk holding the %1 is full, so the change was not saved.").arg(book);
    if (text.contains(QLatin1String("I/O error")))
        return QStringLiteral("The %1 could not be read or written because of a disk error.").arg(book);
    if (text.contains(QLatin1String("unable to open")))
        return QStringLiteral("The %1 cannot be opened.").arg(book);
    if (const auto n = noSuch.match(text); n.hasMatch())
        return n.captured(1) == QLatin1String("table")
            ? QStringLiteral("The table %1 is missing from the %2.").arg(n.captured(2), book)
            : QStringLiteral("The field %1 is missing from the %2.").arg(n.captured(2), book);
    QString sentence = text;
    while (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    if (!table.isEmpty())
        return QStringLiteral("The table %1 of the %2 could not be read or written: %3.").arg(table, book, sentence);
    return QStringLiteral("The %1 reported an error: %2.").arg(book, sentence);
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
