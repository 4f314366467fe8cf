// The tests' throw-away PostgreSQL cluster leaves nothing behind however the test program ends:
// a program killed while it holds a cluster leaves no server running and no folder.
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstdio>

#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {

const char* const kHoldCluster = "--hold-cluster";

// The server's process, from the pid file in its data folder; 0 when there is none.
qint64 serverPid(const QString& folder)
{
    QFile file(folder + QStringLiteral("/data/postmaster.pid"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readLine().trimmed().toLongLong();
}

// Whether the process runs (a zombie waiting for its parent counts as gone).
bool running(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && line.mid(end + 2, 1) != "Z";
}

// The next line the child writes (making a cluster takes a while).
QString lineOf(QProcess& child)
{
    while (!child.canReadLine() && child.waitForReadyRead(180000)) {
    }
    return QString::fromLocal8Bit(child.readLine()).trimmed();
}

// The child's part: start the cluster, say where it is and which process serves it, and hold it
// until killed.
int holdCluster()
{
    QString whyNot;
    test::PgServer* server = test::PgServer::instance(&whyNot);
    if (!server) {
        std::printf("none %s\n", qPrintable(whyNot));
        return 0;
    }
    std::printf("%s\n%lld\n", qPrintable(server->folder()), serverPid(server->folder()));
    std::fflush(stdout);
    std::getchar(); // stdin stays open: this blocks until the process is killed
    return 0;
}

} // namespace

class TestPgServer : public QObject {
    Q_OBJECT
private slots:
    void aKilledProgramLeavesNoServerAndNoFolder()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldCluster)});
        QVERIFY(child.waitForStarted());
        const QString first = lineOf(child);
        if (first.startsWith(QLatin1String("none "))) {
            child.kill();
            child.waitForFinished();
            QSKIP(qPrintable(first.mid(5)));
        }
        const qint64 pid = lineOf(child).toLongLong();
        const QString folder = first;
        QVERIFY2(QFileInfo(folder).isDir(), qPrintable(folder));
        QVERIFY2(running(pid), qPrintable(QString::number(pid)));
        // Whatever happens below, nothing of the cluster outlives this test.
        struct Sweep {
            QString folder;
            qint64 pid;
            ~Sweep()
            {
                if (running(pid)) {
                    ::kill(pid_t(pid), SIGQUIT);
                    QDeadlineTimer deadline(30000);
                    while (running(pid) && !deadline.hasExpired())
                        QTest::qWait(50);
                }
                if (!folder.isEmpty() && QFileInfo(folder).isDir())
                    QDir(folder).removeRecursively();
            }
        } sweep{folder, pid};

        child.kill(); // SIGKILL: no handler, no exit function runs
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QTRY_VERIFY_WITH_TIMEOUT(!running(pid), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 60000);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], kHoldCluster) == 0) {
        QCoreApplication app(argc, argv);
        return holdCluster();
    }
    QCoreApplication app(argc, argv);
    TestPgServer tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "test_pg_server.moc"
