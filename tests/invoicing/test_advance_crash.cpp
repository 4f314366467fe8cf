// "&Advance All" killed at random moments: a child process runs it over 50,000 open invoices and
// is killed with SIGKILL while it works. Afterwards the book passes SQLite's integrity check and its
// invoices are either all in their old classes or all one class on, never a part of them.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

#include "data/Engine.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
constexpr int kInvoices = 50000;
constexpr int kRounds = 6;

QString bookIn(const QString& home) { return home + QStringLiteral("/data/Zuzevevur/Zuzevevur.db"); }

// The first column of the first row of a statement on a book, as text.
QString single(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db));
    QString v = sqlite3_step(st) == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)))
                                               : QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    return v;
}
} // namespace

class TestAdvanceCrash : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString templateBook;

    // A book of 50,000 open invoices spread over the six classes, written once.
    void writeTemplate()
    {
        const QString home = dir.path() + QStringLiteral("/template");
        QDir().mkpath(home + QStringLiteral("/data/Zuzevevur"));
        qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
        QSqlDatabase db = Engine::open();
        QVERIFY(db.transaction());
        QSqlQuery q(db);
        q.prepare("INSERT INTO Customer (Cus_Name) VALUES (?)");
        for (int c = 0; c < 2000; ++c) {
            q.addBindValue(QStringLiteral("Customer %1").arg(c * 7919 % 2000, 4, 10, QLatin1Char('0')));
            QVERIFY(q.exec());
        }
        q.prepare("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Days) VALUES (?, ?, '2026-01-01', ?)");
        for (int i = 0; i < kInvoices; ++i) {
            q.addBindValue(100000 + i);
            q.addBindValue(1 + i % 2000);
            q.addBindValue(QStringList{"CURRENT", "30", "60", "90", "120", "120+"}[i % 6]);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QVERIFY(db.commit());
        q = QSqlQuery();
        db = QSqlDatabase();
        Engine::close(); // the last connection folds the journal into the file
        templateBook = bookIn(home);
    }

    // A fresh copy of the template in a home folder of its own.
    QString freshHome(int round)
    {
        const QString home = dir.path() + QStringLiteral("/round%1").arg(round);
        QDir().mkpath(home + QStringLiteral("/data/Zuzevevur"));
        if (!QFile::copy(templateBook, bookIn(home)))
            return {};
        return home;
    }

    // How the book's classes stand against the template's: "old", "stepped" or what was found.
    QString classesOf(const QString& home)
    {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(bookIn(home).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return QStringLiteral("cannot open");
        QString result = single(db, "PRAGMA integrity_check");
        if (result == QLatin1String("ok")) {
            const QByteArray attach = "ATTACH '" + templateBook.toUtf8() + "' AS tpl";
            sqlite3_exec(db, attach.constData(), nullptr, nullptr, nullptr);
            const int old = single(db, "SELECT count(*) FROM Invoice a JOIN tpl.Invoice b USING (Inv_Number) "
                                       "WHERE a.Inv_Days = b.Inv_Days").toInt();
            const int stepped = single(db, "SELECT count(*) FROM Invoice a JOIN tpl.Invoice b USING (Inv_Number) "
                                           "WHERE a.Inv_Days = CASE b.Inv_Days WHEN 'CURRENT' THEN '30' WHEN '30' THEN '60' "
                                           "WHEN '60' THEN '90' WHEN '90' THEN '120' ELSE '120+' END").toInt();
            const int total = single(db, "SELECT count(*) FROM Invoice").toInt();
            result = total != kInvoices ? QStringLiteral("%1 invoices").arg(total)
                : old == kInvoices      ? QStringLiteral("old")
                : stepped == kInvoices  ? QStringLiteral("stepped")
                                        : QStringLiteral("%1 old and %2 stepped of %3").arg(old).arg(stepped).arg(total);
        }
        sqlite3_close(db);
        return result;
    }

    // Starts the child on a home folder and waits until it begins to advance; the milliseconds
    // from then until it finished (or -1 when it was killed after waitMs).
    qint64 runChild(const QString& home, int waitMs, QString* failure)
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(ZZ_ADVANCE_CHILD), {home});
        if (!child.waitForStarted(10000)) {
            *failure = QStringLiteral("the child did not start");
            return -2;
        }
        QByteArray out;
        while (!out.contains("advancing") && child.waitForReadyRead(30000))
            out += child.readAllStandardOutput();
        if (!out.contains("advancing")) {
            *failure = QStringLiteral("the child never began: ") + QString::fromLocal8Bit(child.readAllStandardError());
            return -2;
        }
        QElapsedTimer t;
        t.start();
        if (child.waitForFinished(waitMs)) {
            const qint64 took = t.elapsed();
            if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
                *failure = QStringLiteral("the child failed: ") + QString::fromLocal8Bit(child.readAllStandardError());
            return took;
        }
        child.kill(); // SIGKILL
        child.waitForFinished(10000);
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        writeTemplate();
        QVERIFY(QFile::exists(templateBook));
    }

    void killedAtRandomTheBookHoldsAllOldOrAllSteppedClasses()
    {
        // An uncut run first: it steps every invoice, and says how long a run takes here.
        QString failure;
        const QString first = freshHome(0);
        const qint64 duration = runChild(first, 120000, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(duration >= 0);
        QCOMPARE(classesOf(first), QStringLiteral("stepped"));
        qInfo("an uncut run over %d invoices took %lld ms after the list was open", kInvoices, duration);

        // Then killed at random moments within such a run.
        QStringList outcomes;
        for (int round = 1; round <= kRounds; ++round) {
            const QString home = freshHome(round);
            QVERIFY(!home.isEmpty());
            // Mostly while it works, now and then around its commit and after.
            const int waitMs = int(QRandomGenerator::global()->bounded(qint64(duration) * 5 / 4 + 1));
            const qint64 took = runChild(home, waitMs, &failure);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            const QString classes = classesOf(home);
            outcomes << QStringLiteral("%1 after %2 ms: %3").arg(took < 0 ? "killed" : "finished").arg(waitMs).arg(classes);
            QVERIFY2(classes == QLatin1String("old") || classes == QLatin1String("stepped"), qPrintable(outcomes.join("; ")));
        }
        qInfo("%s", qPrintable(outcomes.join("; ")));
    }
};

ZZ_TEST_MAIN(TestAdvanceCrash)
#include "test_advance_crash.moc"
