// The small tools' command lines: --help and --version print and end with 0, a wrong option is
// named on stderr and ends with 2, and a word beginning with "-" never becomes a file; checked on
// the parser and on the built tools run in a folder of their own.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "tools/common/ToolCommandLine.h"

using namespace zz::tools;

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

Run run(const QString& program, const QStringList& args, const QString& folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestToolCommandLines : public QObject {
    Q_OBJECT

private slots:
    void theParserTellsOptionsFromNames()
    {
        const std::vector<ToolOption> known{{QStringLiteral("--einvoicing"), true}, {QStringLiteral("--quiet"), false}};
        ToolCommandLine l = parseToolCommandLine({QStringLiteral("book.db"), QStringLiteral("--einvoicing=ZA"), QStringLiteral("5")}, known);
        QVERIFY(l.action == ToolCommandLine::Action::Run);
        QCOMPARE(l.operands, (QStringList{QStringLiteral("book.db"), QStringLiteral("5")}));
        bool given = false;
        QCOMPARE(l.value(QStringLiteral("--einvoicing"), &given), QStringLiteral("ZA"));
        QVERIFY(given);
        l.value(QStringLiteral("--quiet"), &given);
        QVERIFY(!given);
        // Help wins over a wrong option given with it; a value where none is taken is wrong.
        QVERIFY(parseToolCommandLine({QStringLiteral("--bogus"), QStringLiteral("-h")}, known).action == ToolCommandLine::Action::Help);
        QVERIFY(parseToolCommandLine({QStringLiteral("-v")}, known).action == ToolCommandLine::Action::Version);
        l = parseToolCommandLine({QStringLiteral("--quiet=1"), QStringLiteral("--x")}, known);
        QVERIFY(l.action == ToolCommandLine::Action::Invalid);
        QCOMPARE(l.error, QStringLiteral("unknown option '--quiet=1'"));
        l = parseToolCommandLine({QStringLiteral("-")}, known);
        QVERIFY(l.action == ToolCommandLine::Action::Invalid);
        QVERIFY(l.operands.isEmpty());
    }

    void theToolsAnswerAsTheProgramDoes_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::newRow("demo_db") << QStringLiteral(ZZ_DEMO_DB);
        QTest::newRow("zzbook") << QStringLiteral(ZZ_BOOK_TOOL);
    }
    void theToolsAnswerAsTheProgramDoes()
    {
        QFETCH(QString, tool);
        QTemporaryDir folder;
        const QString name = QFileInfo(tool).fileName();
        for (const char* help : {"--help", "-h"}) {
            const Run r = run(tool, {QLatin1String(help)}, folder.path());
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.contains(QStringLiteral("--version")), qPrintable(r.out));
            QCOMPARE(r.err, QString());
        }
        for (const char* version : {"--version", "-v"}) {
            const Run r = run(tool, {QLatin1String(version)}, folder.path());
            QCOMPARE(r.code, 0);
            QCOMPARE(r.out, toolVersionText(name) + QLatin1Char('\n'));
        }
        // A wrong option, alone or where a file or book would go: named, status 2, nothing written.
        const QStringList wrong = name == QLatin1String("demo_db")
                                      ? QStringList{QStringLiteral("--bogus")}
                                      : QStringList{QStringLiteral("create"), QStringLiteral("--bogus")};
        const Run r = run(tool, wrong, folder.path());
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, QStringLiteral("%1: unknown option '--bogus'\nTry '%1 --help' for more information.\n").arg(name));
        QCOMPARE(r.out, QString());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void theDemoBookToolRefusesWrongCountsAndCountries()
    {
        QTemporaryDir folder;
        for (const QStringList& args : {QStringList{QStringLiteral("a.db"), QStringLiteral("1"), QStringLiteral("2")},
                                        QStringList{QStringLiteral("a.db"), QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")},
                                        QStringList{QStringLiteral("--einvoicing=FR"), QStringLiteral("a.db")},
                                        QStringList{}}) {
            const Run r = run(QStringLiteral(ZZ_DEMO_DB), args, folder.path());
            QCOMPARE(r.code, 2);
            QVERIFY(r.err.startsWith(QStringLiteral("demo_db: ")));
        }
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("a.db"))));
        // A small book still is written as before.
        const Run ok = run(QStringLiteral(ZZ_DEMO_DB), {QStringLiteral("--einvoicing=za"), QStringLiteral("a.db"), QStringLiteral("3"),
                                                         QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6")},
                           folder.path());
        QVERIFY2(ok.code == 0, qPrintable(ok.err));
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("a.db"))).size() > 0);
    }
};

QTEST_MAIN(TestToolCommandLines)
#include "test_tool_command_lines.moc"
