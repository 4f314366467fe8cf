#pragma once
// A throw-away PostgreSQL server for the tests that run on both engines: a cluster made with initdb
// in a temporary folder, listening only on a Unix socket in that folder, started on first use and
// stopped when the test program ends, however it ends: a watchdog of its own session stops the
// server and removes the folder when the program is aborted or killed. Run as root, the server
// runs as the user nobody. When
// PostgreSQL or its Qt driver is not installed, or the server does not start, instance() gives
// nothing and says why; the tests that need it skip with that reason.
#include <QDir>
#include <QString>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <memory>

#include "data/Engine.h"

namespace zz::test {

class PgServer {
public:
    // The server of this test program; nullptr when there is none, with the reason in whyNot.
    static PgServer* instance(QString* whyNot = nullptr);
    ~PgServer();

    // The cluster's folder: its data, socket and log.
    QString folder() const { return m_dir.path(); }
    QString socketDir() const { return m_dir.path() + QStringLiteral("/sock"); }
    static QString user() { return QStringLiteral("zz"); }
    // A new empty database on the server; its name.
    QString createDatabase();
    // The alias of a database on the server (no password: the cluster trusts its socket).
    AliasConfig alias(const QString& database) const;
    // Runs one statement on the server's maintenance database; throws on failure.
    void admin(const QString& sql) const;

private:
    PgServer() = default;
    bool start(QString* whyNot);
    void stop();
    void stopServer();
    bool startWatchdog();

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/zz-pgtest-XXXXXX")};
    int m_watchdog = -1; // this program's end of the watchdog's pipe
    QString m_bin;
    bool m_running = false;
    int m_databases = 0;
};

// The engines a parameterised test runs on: adds a column "engine" with the rows "sqlite" and
// "postgresql" (for initTestCase_data(), so that every test function runs on both).
void addEngineColumn();
// Makes the alias name a fresh, empty book of the six tables on an engine ("sqlite": the
// embedded default, made when the data module first opens it; "postgresql": a new database on
// the throw-away server, named in the engine file). Call under a TempHome. False, with the reason,
// when the server is not available: the caller skips.
bool useEngine(const QString& engine, QString* whyNot);
// In a test function of a suite with the engine column: sets the book up for the row's engine,
// or skips the test saying why.
#define ZZ_USE_ENGINE()                                                                      \
    do {                                                                                     \
        QFETCH_GLOBAL(QString, engine);                                                      \
        QString zzWhyNot;                                                                    \
        if (!zz::test::useEngine(engine, &zzWhyNot))                                         \
            QSKIP(qPrintable(zzWhyNot));                                                     \
    } while (false)
// Whether the running test row is PostgreSQL's.
bool onServer();
// The alias the last useEngine set up.
AliasConfig engineAlias();
// A second connection to that book, as another seat would have, under the given name.
QSqlDatabase secondSeat(const QString& connection);

} // namespace zz::test
