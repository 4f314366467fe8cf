// The command line: what each option asks for, help and version printed without a window, a wrong
// command line refused with status 2, and listing and restoring backups from the console.
#include <QProcess>

#include "app/BookGuard.h"
#include "app/CommandLine.h"
#include "data/Backup.h"
#include "data/BookLock.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using Action = CommandLine::Action;

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

// The program as shipped, with the environment of this test (its temporary home) and no display.
Run program(const QStringList& arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZZ_PROGRAM), arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

// The default book with the given customers; returns its path.
QString bookWith(const QStringList& customers)
{
    TDataModule1 dm;
    for (const QString& name : customers) {
        dm.tblCustomer->Insert();
        dm.tblCustomerCus_Name->SetAsString(name);
        dm.tblCustomer->Post();
    }
    return Engine::database().databaseName();
}

QStringList customers()
{
    TDataModule1 dm;
    QStringList names;
    for (dm.tblCustomer->First(); !dm.tblCustomer->Eof(); dm.tblCustomer->Next())
        names << dm.tblCustomerCus_Name->AsString();
    return names;
}

void writeAlias(const test::TempHome& home, const QByteArray& settings)
{
    QDir().mkpath(home.configDir() + QStringLiteral("/Zuzevevur"));
    QFile ini(home.configDir() + QStringLiteral("/Zuzevevur/engine.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Zuzevevur]\n" + settings);
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void optionsAreReadAsTheyAreMeant_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("detail"); // the backup file, or the error
        QTest::newRow("none") << QStringList{} << int(Action::Run) << "";
        QTest::newRow("help") << QStringList{"--help"} << int(Action::Help) << "";
        QTest::newRow("-h") << QStringList{"-h"} << int(Action::Help) << "";
        QTest::newRow("version") << QStringList{"--version"} << int(Action::Version) << "";
        QTest::newRow("-v") << QStringList{"-v"} << int(Action::Version) << "";
        QTest::newRow("help wins") << QStringList{"--version", "--list-backups", "--help"} << int(Action::Help) << "";
        QTest::newRow("list") << QStringList{"--list-backups"} << int(Action::ListBackups) << "";
        QTest::newRow("restore") << QStringList{"--restore", "b 1.db"} << int(Action::Restore) << "b 1.db";
        QTest::newRow("restore=") << QStringList{"--restore=b=1.db"} << int(Action::Restore) << "b=1.db";
        QTest::newRow("window options") << QStringList{"-platform", "offscreen", "--style=Fusion", "-reverse", "--qwindowtitle", "x"}
                                        << int(Action::Run) << "";
        QTest::newRow("unknown") << QStringList{"--colour"} << int(Action::Invalid) << "unknown option '--colour'";
        QTest::newRow("unknown short") << QStringList{"-x"} << int(Action::Invalid) << "unknown option '-x'";
        QTest::newRow("flag with a value") << QStringList{"-reverse=1"} << int(Action::Invalid) << "unknown option '-reverse=1'";
        QTest::newRow("value missing") << QStringList{"-platform"} << int(Action::Invalid) << "option '-platform' needs a value";
        QTest::newRow("restore what") << QStringList{"--restore"} << int(Action::Invalid)
                                      << "option '--restore' needs the backup file to restore";
        QTest::newRow("restore empty") << QStringList{"--restore="} << int(Action::Invalid)
                                       << "option '--restore' needs the backup file to restore";
        QTest::newRow("restore twice") << QStringList{"--restore", "a", "--restore", "b"} << int(Action::Invalid)
                                       << "option '--restore' given twice";
        QTest::newRow("argument") << QStringList{"books.db"} << int(Action::Invalid) << "unexpected argument 'books.db'";
        QTest::newRow("list and restore") << QStringList{"--list-backups", "--restore", "a"} << int(Action::Invalid)
                                          << "'--list-backups' and '--restore' cannot be given together";
    }
    void optionsAreReadAsTheyAreMeant()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, detail);
        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.action == Action::Invalid ? line.error : line.backupFile, detail);
    }

    void helpAndVersionPrintWithoutAWindow()
    {
        // No display at all: the program would fail if it reached for the window system.
        const Run help = program({QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QCOMPARE(help.err, QString());
        QCOMPARE(help.out, helpText(QStringLiteral("Zuzevevur")));
        QVERIFY(help.out.startsWith(QStringLiteral("Usage: Zuzevevur [option]\n")));
        for (const char* option : {"--help", "--version", "--list-backups", "--restore FILE"})
            QVERIFY2(help.out.contains(QLatin1String(option)), option);

        const Run version = program({QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.err, QString());
        QVERIFY(version.out.contains(QRegularExpression(QStringLiteral("^Zuzevevur Creator \\d+\\.\\d+(\\.\\d+)?\\n$"))));
    }

    void aWrongCommandLineSaysSoAndEndsWithStatusTwo()
    {
        const Run unknown = program({QStringLiteral("--colour")});
        QCOMPARE(unknown.code, 2);
        QCOMPARE(unknown.out, QString());
        QCOMPARE(unknown.err, QStringLiteral("Zuzevevur: unknown option '--colour'\nTry 'Zuzevevur --help' for more information.\n"));
        const Run stray = program({QStringLiteral("books.db")});
        QCOMPARE(stray.code, 2);
        QVERIFY(stray.err.startsWith(QStringLiteral("Zuzevevur: unexpected argument 'books.db'\n")));
    }

    void restoreIsRefusedOnOpenBooksAndOtherwiseSavesThemFirst()
    {
        test::TempHome home;
        const QString book = bookWith({QStringLiteral("Anna")});
        const QString chosen = backup::write(book, QDateTime::currentDateTime().addDays(-2));
        bookWith({QStringLiteral("Bert")});
        const QByteArray before = test::fileBytes(book);

        {
            // The books are open in a program: nothing happens to them.
            BookLock open;
            QCOMPARE(open.lock(book), BookLock::Outcome::Locked);
            const Run refused = program({QStringLiteral("--restore"), chosen});
            QCOMPARE(refused.code, 1);
            QCOMPARE(refused.out, QString());
            QCOMPARE(refused.err, QStringLiteral("Nothing was restored: The books %1 are already open in Zuzevevur Creator "
                                                 "(process %2 on %3).\nClose the program there, then restore again.\n")
                                      .arg(book)
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(QSysInfo::machineHostName()));
            QCOMPARE(test::fileBytes(book), before);
            QCOMPARE(backup::list(book).size(), 1);
        }

        const Run done = program({QStringLiteral("--restore"), chosen});
        QCOMPARE(done.code, 0);
        QCOMPARE(done.err, QString());
        const QList<backup::BackupFile> backups = backup::list(book);
        QCOMPARE(backups.size(), 2);
        QCOMPARE(done.out, QStringLiteral("The backup %1 is now the books %2.\nThe books as they were are saved as %3.\n")
                               .arg(chosen, book, backups.first().path));
        QCOMPARE(customers(), QStringList{"Anna"});

        const Run listed = program({QStringLiteral("--list-backups")});
        QCOMPARE(listed.code, 0);
        const QStringList lines = listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Backups of the books %1, newest first:").arg(book));
        QVERIFY(lines[1].endsWith(backups[0].path) && lines[2].endsWith(chosen));

        // A file that is no backup is refused with its reason.
        const Run bad = program({QStringLiteral("--restore"), home.path() + QStringLiteral("/missing.db")});
        QCOMPARE(bad.code, 1);
        QVERIFY2(bad.err.startsWith(QStringLiteral("Nothing was restored: The backup ")), qPrintable(bad.err));
    }

    void namedBooksOnAFolderThatIsNotThereAreNotMadeUp()
    {
        // Books on a disk that is not connected: the restore makes no folder in its place.
        test::TempHome home;
        const QString folder = home.path() + QStringLiteral("/usb/books");
        writeAlias(home, "Driver=QSQLITE\nDatabase=" + folder.toUtf8() + "/shop.db\n");
        const Run refused = program({QStringLiteral("--restore"), home.path() + QStringLiteral("/backup.db")});
        QCOMPARE(refused.code, 1);
        QCOMPARE(refused.err, QStringLiteral("Nothing was restored: the folder %1 of the books does not exist.\n").arg(folder));
        QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("/usb")));
    }

    void aServerAliasHasNeitherLockNorBackupsHere()
    {
        test::TempHome home;
        writeAlias(home, "Driver=QPSQL\nDatabase=shop\nHost=db.example\n");

        const Run listed = program({QStringLiteral("--list-backups")});
        QCOMPARE(listed.code, 1);
        QCOMPARE(listed.err, QStringLiteral("The alias Zuzevevur names the QPSQL database shop on a server; back it up and "
                                            "restore it with the server's own tools.\n"));
        // Start-up takes no lock and says nothing.
        test::RecordingSeam seam;
        BookLock lock;
        QVERIFY(lockBooksForLife(lock));
        QVERIFY(!lock.isLocked());
        QVERIFY(seam.messages.isEmpty());
        QVERIFY(backUpBooksIfDue().isEmpty());
    }
};

ZZ_TEST_MAIN(TestCommandLine)
#include "test_command_line.moc"
