// Cancellations killed at random moments: a child process cancels invoice after invoice, each with
// its credit note, and is killed with SIGKILL while it works. Afterwards every cancelled invoice has
// exactly one credit note, no other invoice has one, the numbers run 1, 2, ... without a gap and
// the counter stands after the last: the cancellation and its credit note land together or not at all.
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>

#include "data/CreditNotes.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Invoices.h"
#include "data/Schema.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::test;

namespace {
constexpr int kInvoices = 4000;
constexpr int kRounds = 5;

// The child: cancels the invoices still open, one after another, until it is killed.
int runChild()
{
    try {
        TDataModule1 dm;
        std::fputs("cancelling\n", stdout);
        std::fflush(stdout);
        for (int n = 1; n <= kInvoices; ++n)
            cancelInvoice(n, QStringLiteral("killed test"));
        return 0;
    } catch (const Exception& e) {
        std::fprintf(stderr, "child: %s\n", qPrintable(e.message()));
        return 1;
    }
}
} // namespace

class TestCreditNoteCrash : public QObject {
    Q_OBJECT

private slots:
    void aKilledCancellationLeavesBothOrNeither()
    {
        TempHome home;
        {
            TDataModule1 dm;
            runSql("INSERT INTO Customer (Cus_Name) VALUES ('Acme')");
            QSqlDatabase db = Engine::database();
            QVERIFY(db.transaction());
            QSqlQuery q(db);
            q.prepare("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Paid, Inv_Cancelled, Inv_Days) "
                      "VALUES (?, 1, '2026-12-01', 'NO', 'NO', 'CURRENT')");
            for (int n = 1; n <= kInvoices; ++n) {
                q.addBindValue(n);
                QVERIFY(q.exec());
            }
            QVERIFY(db.commit());
        }
        Engine::close();
        int killed = 0;
        for (int round = 0; round < kRounds; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--child"});
            QVERIFY(child.waitForStarted(10000));
            QByteArray out;
            while (!out.contains("cancelling") && child.waitForReadyRead(30000))
                out += child.readAllStandardOutput();
            QVERIFY(out.contains("cancelling"));
            // Killed after a random stretch of its work (or finished, when it was quicker).
            const int workMs = 20 + int(QRandomGenerator::global()->bounded(200));
            if (!child.waitForFinished(workMs)) {
                child.kill();
                QVERIFY(child.waitForFinished(10000));
                ++killed;
            }

            Engine::open();
            const int cancelled = storedValue("SELECT COUNT(*) FROM Invoice WHERE Inv_Cancelled = 'YES'").toInt();
            if (checkCreditNoteTables(Engine::database()) != OptionalTables::Complete) {
                QCOMPARE(cancelled, 0);
                Engine::close();
                continue;
            }
            QCOMPARE(storedValue("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
            QCOMPARE(storedValue("SELECT COUNT(*) FROM CreditNote").toInt(), cancelled);
            QCOMPARE(storedValue("SELECT COUNT(*) FROM CreditNote C JOIN Invoice I ON I.Inv_Number = C.Inv_Number "
                                 "WHERE I.Inv_Cancelled = 'YES'").toInt(),
                     cancelled);
            QCOMPARE(storedValue("SELECT COUNT(DISTINCT Inv_Number) FROM CreditNote").toInt(), cancelled);
            if (cancelled > 0)
                QCOMPARE(storedValue("SELECT MAX(CN_Number) FROM CreditNote").toInt(), cancelled);
            QCOMPARE(nextCreditNoteNumber(), cancelled + 1);
            qInfo("round %d: %d cancelled with their credit notes", round, cancelled);
            Engine::close();
        }
        qInfo("%d of %d rounds killed while cancelling", killed, kRounds);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zz::TApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--child") == 0)
        return runChild();
    TestCreditNoteCrash tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_credit_note_crash.moc"
