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
#include <vector>
#include <sqlite3.h>

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
// case; lines starting with ";" or "#" are comments). Read fresh on every call.
QMap<QString, QHash<QString, QString>> readIniFile(const QString& path)
{
    QMap<QString, QHash<QString, QString>> sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EDBEngineError(QStringLiteral("Cannot read the database configuration %1.").arg(path));
    QString section;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            sections[section];
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
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
        throw EDBEngineError(QStringLiteral("Cannot open the database %1: %2").arg(db.databaseName(), q.lastError().text()));
}
} // namespace

QString Engine::configFilePath()
{
    return userDir(QStandardPaths::GenericConfigLocation) + QStringLiteral("/engine.ini");
}

AliasConfig Engine::resolveAlias(const QString& alias)
{
    AliasConfig c;
    c.alias = alias;
    const QString path = configFilePath();
    if (QFileInfo::exists(path)) {
        const auto sections = readIniFile(path);
        for (auto it = sections.begin(); it != sections.end(); ++it) {
            if (it.key().compare(alias, Qt::CaseInsensitive) != 0)
                continue;
            const QHash<QString, QString>& v = it.value();
            c.driver = v.value(QStringLiteral("driver"), QStringLiteral("QSQLITE"));
            c.database = v.value(QStringLiteral("database"));
            c.host = v.value(QStringLiteral("host"));
            c.port = v.value(QStringLiteral("port"), QStringLiteral("-1")).toInt();
            c.user = v.value(QStringLiteral("user"));
            c.password = v.value(QStringLiteral("password"));
            if (c.database.isEmpty())
                throw EDBEngineError(QStringLiteral("The alias %1 in %2 names no database.").arg(alias, path));
            return c;
        }
        if (!sections.isEmpty())
            throw EDBEngineError(QStringLiteral("Unknown database alias: %1 (not defined in %2)").arg(alias, path));
    }
    if (alias.compare(QLatin1String(kAlias), Qt::CaseInsensitive) != 0)
        throw EDBEngineError(QStringLiteral("Unknown database alias: %1").arg(alias));
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
        // Never let the driver create a file we did not ask for; wait a while on a lock.
        db.setConnectOptions(create ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000")
                                    : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READWRITE_NOCREATE"));
    }
    try {
        if (!db.open())
            throw EDBEngineError(QStringLiteral("Cannot open the database %1: %2").arg(config.database, db.lastError().text()));
        if (sqlite) {
            // A file that is not a database fails on its first read, here.
            pragma(db, QStringLiteral("PRAGMA journal_mode=WAL"));
            pragma(db, QStringLiteral("PRAGMA synchronous=FULL"));
            pragma(db, QStringLiteral("PRAGMA foreign_keys=OFF"));
            pragma(db, QStringLiteral("PRAGMA busy_timeout=5000"));
            pragma(db, QStringLiteral("PRAGMA cache_size=-65536"));
        }
        if (create)
            createSchema(db);
        checkSchema(db);
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnection);
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
}

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

void Engine::runInTransaction(const std::function<void()>& work, OnFailure onFailure)
{
    sqlite3* handle = sqliteHandle();
    const auto running = [handle] { return handle && sqlite3_get_autocommit(handle) == 0; };
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
        // transaction then rolls back as it ends.
        if (onFailure == OnFailure::KeepDone && (!handle || running()))
            transaction.commit();
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
    if (driverText.contains(QLatin1String("database is locked")))
        return QStringLiteral("The database is locked by another program; try again in a moment.");
    if (!table.isEmpty())
        return QStringLiteral("%1 (table %2)").arg(driverText.trimmed(), table);
    return driverText.trimmed();
}

void execOrThrow(QSqlQuery& query, const QString& table, const QVariantMap& values)
{
    if (!query.exec()) {
        const QSqlError e = query.lastError();
        const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
        throw EDBEngineError(engineErrorText(text, table, values));
    }
}

QSqlQuery prepareOrThrow(const QString& sql)
{
    QSqlQuery q(Engine::database());
    if (!q.prepare(sql)) {
        const QSqlError e = q.lastError();
        throw EDBEngineError(engineErrorText(e.databaseText().isEmpty() ? e.text() : e.databaseText(), QString()));
    }
    return q;
}

Transaction::Transaction()
{
    QSqlDatabase db = Engine::database();
    if (!db.transaction())
        throw EDBEngineError(engineErrorText(db.lastError().text(), QString()));
    m_active = true;
}

Transaction::~Transaction() { rollback(); }

void Transaction::commit()
{
    if (!m_active)
        return;
    QSqlDatabase db = Engine::database();
    if (!db.commit())
        throw EDBEngineError(engineErrorText(db.lastError().text(), QString()));
    m_active = false;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    if (Engine::isOpen())
        Engine::database().rollback();
}

} // namespace zz
