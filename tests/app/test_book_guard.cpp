// Start-up and the safety of the books: one program per book (a second start refused with its
// message, also by the restore), the day's backup made once, and a backup that fails told once
// while the program goes on.
#include <QProcess>

#include "app/BookGuard.h"
#include "data/Backup.h"
#include "data/BookLock.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {

QProcessEnvironment programEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// The default book of the temporary home, created and closed again.
QString defaultBook()
{
    TDataModule1 dm;
    return Engine::database().databaseName();
}

// Waits for the program's error stream to carry the text; returns all it wrote so far.
QString waitForText(QProcess& p, const QString& text)
{
    p.setReadChannel(QProcess::StandardError);
    QString seen;
    while (!seen.contains(text) && p.state() == QProcess::Running && p.waitForReadyRead(30000))
        seen += QString::fromLocal8Bit(p.readAllStandardError());
    return seen;
}

QString openElsewhere(const QString& book, qint64 pid)
{
    return QStringLiteral("The books %1 are already open in Zuzevevur Creator (process %2 on %3).")
        .arg(book)
        .arg(pid)
        .arg(QSysInfo::machineHostName());
}

} // namespace

class TestBookGuard : public QObject {
    Q_OBJECT
private slots:
    void aSecondProgramOnTheBooksIsToldAndEnds()
    {
        test::TempHome home;
        const QString book = defaultBook();
        test::RecordingSeam seam;
        BookLock first;
        QVERIFY(lockBooksForLife(first));
        QVERIFY(first.isLocked());
        QVERIFY(seam.messages.isEmpty());

        BookLock second;
        QVERIFY(!lockBooksForLife(second));
        QCOMPARE(seam.messages.size(), 1);
        const MessageRequest& box = seam.messages.front();
        QCOMPARE(box.kind, MsgKind::Error);
        QCOMPARE(box.title, QStringLiteral("Zuzevevur Creator"));
        QCOMPARE(box.buttons, MsgButtons::OK);
        QCOMPARE(box.text, openElsewhere(book, QCoreApplication::applicationPid())
                               + QStringLiteral("\n\nOnly one program may work on the books at a time, so that neither "
                                                "overwrites the other's work. Use the program that is open, or close it and "
                                                "start again."));
        // The first start on a new computer locks the books it is about to create.
        test::TempHome fresh;
        BookLock firstEver;
        QVERIFY(lockBooksForLife(firstEver));
        QVERIFY(firstEver.isLocked());
    }

    void theDaysBackupIsMadeOnceAndAFailureIsTold()
    {
        test::TempHome home;
        TDataModule1 dm;
        const QString book = Engine::database().databaseName();
        QCOMPARE(backUpBooksIfDue(), QString());
        QCOMPARE(backup::list(book).size(), 1);
        QCOMPARE(backUpBooksIfDue(), QString());
        QCOMPARE(backup::list(book).size(), 1);

        // Tomorrow's start, with a file where the backup folder should be.
        const QString folder = backup::folderFor(book);
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(backUpBooksIfDue(),
                 QStringLiteral("The books could not be backed up today: %1 is a file, not a folder for backups.\n\n"
                                "The books themselves are unchanged and the program goes on; the backup is tried again at "
                                "the next start.")
                     .arg(folder));
    }

    void whileTheProgramRunsABackupFailureIsToldOnceAndTheBooksAreItsAlone()
    {
        test::TempHome home;
        const QString book = defaultBook();
        QFile blocker(backup::folderFor(book));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        QProcess running;
        running.setProcessEnvironment(programEnvironment());
        running.start(QStringLiteral(ZZ_ANSWERING_PROGRAM), {});
        QVERIFY(running.waitForStarted());
        const QString told = waitForText(running, QStringLiteral("[Warning] The books could not be backed up today"));
        QVERIFY2(told.contains(QStringLiteral("[Warning] The books could not be backed up today: ")), qPrintable(told));

        // A second start ends at once, before its splash, with the message.
        QProcess second;
        second.setProcessEnvironment(programEnvironment());
        QElapsedTimer clock;
        clock.start();
        second.start(QStringLiteral(ZZ_ANSWERING_PROGRAM), {});
        QVERIFY(second.waitForFinished(30000));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(second.exitCode(), 1);
        const QString refused = QString::fromLocal8Bit(second.readAllStandardError());
        QVERIFY2(refused.contains(QStringLiteral("[Zuzevevur Creator] ") + openElsewhere(book, running.processId())),
                 qPrintable(refused));

        // Restoring is refused as well.
        QProcess restore;
        restore.start(QStringLiteral(ZZ_PROGRAM), {QStringLiteral("--restore"), book + QStringLiteral("-elsewhere.db")});
        QVERIFY(restore.waitForFinished(30000));
        QCOMPARE(restore.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(restore.readAllStandardError()).contains(openElsewhere(book, running.processId())));

        // The box was answered and the program went on; it told the warning once and nothing else.
        QCOMPARE(running.state(), QProcess::Running);
        running.terminate();
        QVERIFY(running.waitForFinished(30000));
        const QString all = told + QString::fromLocal8Bit(running.readAllStandardError());
        QCOMPARE(all.count(QStringLiteral("[Warning]")), 1);
        QCOMPARE(all.count(QRegularExpression(QStringLiteral("^\\[(Error|Application Error|Zuzevevur Creator)\\]"),
                                              QRegularExpression::MultilineOption)),
                 0);
    }
};

ZZ_TEST_MAIN(TestBookGuard)
#include "test_book_guard.moc"
