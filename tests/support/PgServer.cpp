#include "tests/support/PgServer.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

#include "data/Errors.h"
#include "data/Schema.h"

namespace zz::test {

namespace {
std::unique_ptr<PgServer>& server()
{
    static std::unique_ptr<PgServer> s;
    return s;
}
QString g_whyNot;
bool g_tried = false;
AliasConfig g_lastAlias;
bool g_onServer = false;

// The newest installed server's programs.
QString findBin()
{
    const QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions)
        if (QFile::exists(lib.filePath(v + QStringLiteral("/bin/pg_ctl"))))
            return lib.filePath(v + QStringLiteral("/bin"));
    return {};
}

// Runs a server program, as nobody when this process is root (the server refuses to run as root).
int run(const QString& program, const QStringList& args, QString* output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (::geteuid() == 0)
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), program} + args);
    else
        p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        if (output)
            *output = QStringLiteral("%1 did not finish").arg(program);
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(p.readAll()).trimmed();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void stopAtExit()
{
    if (server())
        server().reset();
}
} // namespace

PgServer* PgServer::instance(QString* whyNot)
{
    if (!g_tried) {
        g_tried = true;
        std::unique_ptr<PgServer> s(new PgServer);
        if (s->start(&g_whyNot)) {
            server() = std::move(s);
            std::atexit(stopAtExit);
        }
    }
    if (whyNot)
        *whyNot = g_whyNot;
    return server().get();
}

bool PgServer::start(QString* whyNot)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *whyNot = QStringLiteral("PostgreSQL tests skipped: the Qt driver QPSQL is not installed (Debian package libqt6sql6-psql).");
        return false;
    }
    m_bin = findBin();
    if (m_bin.isEmpty()) {
        *whyNot = QStringLiteral("PostgreSQL tests skipped: no PostgreSQL server is installed (Debian package postgresql).");
        return false;
    }
    if (!m_dir.isValid()) {
        *whyNot = QStringLiteral("PostgreSQL tests skipped: no temporary folder for the cluster.");
        return false;
    }
    if (!startWatchdog()) {
        *whyNot = QStringLiteral("PostgreSQL tests skipped: the cluster's watchdog cannot be started: %1.")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QDir().mkpath(socketDir());
    if (::geteuid() == 0) {
        QString out;
        if (QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("nobody"), m_dir.path()}) != 0) {
            *whyNot = QStringLiteral("PostgreSQL tests skipped: the cluster's folder cannot be handed to the user nobody.");
            return false;
        }
    }
    const QString data = m_dir.path() + QStringLiteral("/data");
    QString out;
    if (run(m_bin + QStringLiteral("/initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("--auth=trust"),
                                                QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
                                                QStringLiteral("-N")},
            &out) != 0) {
        *whyNot = QStringLiteral("PostgreSQL tests skipped: initdb failed: %1").arg(out.right(400));
        return false;
    }
    // Only the socket; no durability needed for a cluster thrown away after the tests.
    const QString options = QStringLiteral("-k %1 -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off")
                                .arg(socketDir());
    if (run(m_bin + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"),
                                                m_dir.path() + QStringLiteral("/server.log"), QStringLiteral("-w"), QStringLiteral("start")},
            &out) != 0) {
        QFile log(m_dir.path() + QStringLiteral("/server.log"));
        log.open(QIODevice::ReadOnly);
        *whyNot = QStringLiteral("PostgreSQL tests skipped: the server did not start: %1 %2").arg(out.right(300), QString::fromLocal8Bit(log.readAll().right(400)));
        return false;
    }
    m_running = true;
    return true;
}

// The watchdog waits, in a session of its own (so that signals sent to this program's process
// group do not reach it), for its end of a pipe to read end-of-file: the moment this program
// closes the other end or ends, however it ends. It then stops the server, if one runs, and
// removes the cluster's folder. Started before the cluster is made, so that nothing of a
// half-made cluster stays either.
bool PgServer::startWatchdog()
{
    static const char* const script =
        "cat >/dev/null\n"
        "if [ -f \"$1/data/postmaster.pid\" ]; then\n"
        "  if [ \"$3\" = 1 ]; then runuser -u nobody -- \"$2/pg_ctl\" -D \"$1/data\" -m immediate -w stop\n"
        "  else \"$2/pg_ctl\" -D \"$1/data\" -m immediate -w stop; fi\n"
        "fi\n"
        "rm -rf \"$1\"\n";
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const QByteArray folder = QFile::encodeName(m_dir.path());
    const QByteArray bin = QFile::encodeName(m_bin);
    const char* argv[] = {"/bin/sh", "-c", script, "zz-pgtest-watchdog", folder.constData(), bin.constData(),
                          ::geteuid() == 0 ? "1" : "0", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    // Not this program's output: whoever reads that would wait for the watchdog as well.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, "/bin/sh", &actions, &attributes, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[0]);
    if (rc != 0) {
        ::close(fds[1]);
        errno = rc;
        return false;
    }
    m_watchdog = fds[1];
    return true;
}

void PgServer::stop()
{
    stopServer();
    // The watchdog then finds nothing running and only removes what is left of the folder.
    if (m_watchdog >= 0)
        ::close(m_watchdog);
    m_watchdog = -1;
}

void PgServer::stopServer()
{
    if (!m_running)
        return;
    m_running = false;
    // Fast and independent of the event loop: the program is ending.
    const QByteArray cmd = (::geteuid() == 0 ? QByteArrayLiteral("runuser -u nobody -- ") : QByteArray())
        + QFile::encodeName(m_bin) + "/pg_ctl -D '" + QFile::encodeName(m_dir.path()) + "/data' -m immediate -w stop >/dev/null 2>&1";
    if (std::system(cmd.constData()) != 0)
        qWarning("The test cluster did not stop cleanly.");
}

PgServer::~PgServer() { stop(); }

void PgServer::admin(const QString& sql) const
{
    const QString name = QStringLiteral("zz_test_admin");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(socketDir());
        db.setUserName(user());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open())
            throw EDBEngineError(db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw EDBEngineError(q.lastError().text());
    }
    QSqlDatabase::removeDatabase(name);
}

QString PgServer::createDatabase()
{
    const QString name = QStringLiteral("book%1").arg(++m_databases);
    admin(QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

AliasConfig PgServer::alias(const QString& database) const
{
    AliasConfig c;
    c.alias = QString::fromLatin1(Engine::kAlias);
    c.driver = QStringLiteral("QPSQL");
    c.database = database;
    c.host = socketDir();
    c.user = user();
    return c;
}

void addEngineColumn()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

bool useEngine(const QString& engine, QString* whyNot)
{
    Engine::close();
    g_onServer = engine == QLatin1String("postgresql");
    if (!g_onServer) {
        g_lastAlias = Engine::resolveAlias();
        return true;
    }
    PgServer* pg = PgServer::instance(whyNot);
    if (!pg)
        return false;
    g_lastAlias = pg->alias(pg->createDatabase());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("zz_test_schema"));
        db.setHostName(g_lastAlias.host);
        db.setUserName(g_lastAlias.user);
        db.setDatabaseName(g_lastAlias.database);
        if (!db.open())
            throw EDBEngineError(db.lastError().text());
        createSchema(db);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("zz_test_schema"));
    const QString ini = Engine::configFilePath();
    QDir().mkpath(QFileInfo(ini).absolutePath());
    QFile f(ini);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EDBEngineError(QStringLiteral("cannot write %1").arg(ini));
    f.write(QStringLiteral("[Zuzevevur]\nDriver=QPSQL\nHost=%1\nDatabase=%2\nUser=%3\n")
                .arg(g_lastAlias.host, g_lastAlias.database, g_lastAlias.user)
                .toUtf8());
    return true;
}

bool onServer() { return g_onServer; }

AliasConfig engineAlias() { return g_lastAlias; }

QSqlDatabase secondSeat(const QString& connection)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(g_lastAlias.driver, connection);
    db.setDatabaseName(g_lastAlias.database);
    if (g_onServer) {
        db.setHostName(g_lastAlias.host);
        db.setUserName(g_lastAlias.user);
    }
    if (!db.open())
        throw EDBEngineError(db.lastError().text());
    return db;
}

} // namespace zz::test
