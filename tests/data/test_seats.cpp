// Two seats on the same books, on both engines: invoices created at the same moment get
// consecutive numbers, an edit of a row another seat changed is refused without overwriting
// anything, a run over the unpaid invoices waits for another seat's, and a lost server connection
// is reported in words with the typed row kept.
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <set>

#include "data/DataMod.h"
#include "data/Invoices.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
constexpr int kCreates = 500;

// The other seat: opens the alias as this program does and creates invoices one after another.
int runSeat(int count)
{
    try {
        TDataModule1 dm;
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        for (int i = 0; i < count; ++i)
            createInvoice(QStringLiteral("seat 2"), QDate(2026, 12, 9));
        return 0;
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "seat 2: %s\n", qPrintable(e.message()));
        return 1;
    }
}
} // namespace

class TestSeats : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

    // One customer, the company row with its counter at 1, the VAT rate.
    void fixture()
    {
        test::runSql("INSERT INTO Customer (Cus_Name, Cus_Phone) VALUES ('Acme Ltd', '111')");
        test::runSql("INSERT INTO Company (Com_Name, Inv_Start_No) VALUES ('Us', 1)");
        test::runSql("INSERT INTO VAT (VAT_Percentage) VALUES (15)");
        for (TTable* t : dm->tables())
            t->Refresh();
    }

private slots:
    void initTestCase_data() { test::addEngineColumn(); }
    void init()
    {
        home = std::make_unique<test::TempHome>();
        ZZ_USE_ENGINE();
        dm = std::make_unique<TDataModule1>();
        fixture();
    }
    void cleanup()
    {
        dm.reset();
        QSqlDatabase::removeDatabase("seat2");
        home.reset();
    }

    void interleavedCreatesGetConsecutiveNumbers()
    {
        QProcess seat;
        seat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        seat.start(QCoreApplication::applicationFilePath(), {"--seat", QString::number(kCreates)});
        QVERIFY(seat.waitForStarted());
        QVERIFY2(seat.waitForReadyRead(30000), "the second seat did not open the book");
        QCOMPARE(seat.readLine().trimmed(), QByteArray("ready"));
        std::set<int> mine;
        for (int i = 0; i < kCreates; ++i)
            mine.insert(createInvoice("seat 1", QDate(2026, 12, 9)));
        QVERIFY(seat.waitForFinished(120000));
        QCOMPARE(seat.exitCode(), 0);

        QCOMPARE(int(mine.size()), kCreates);
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT Inv_Number, Inv_Order_No FROM Invoice ORDER BY Inv_Number"));
        int expected = 1;
        int theirs = 0;
        while (q.next()) {
            QCOMPARE(q.value(0).toInt(), expected++);
            theirs += q.value(1).toString() == "seat 2";
        }
        QCOMPARE(expected - 1, 2 * kCreates); // every number once, none skipped
        QCOMPARE(theirs, kCreates);
        QCOMPARE(test::storedValue("SELECT Inv_Start_No FROM Company").toInt(), 2 * kCreates + 1);
        // How far the two runs overlapped (timing decides; a block of 500 means they did not).
        qInfo("seat 1's numbers span %d..%d", *mine.begin(), *mine.rbegin());
    }

    void staleEditIsRefusedAndOverwritesNothing()
    {
        if (!test::onServer())
            QSKIP("A SQLite book is open in one program at a time.");
        QSqlDatabase other = test::secondSeat("seat2");
        TTable* t = dm->tblCustomer;
        t->Edit();
        dm->tblCustomerCus_Name->SetAsString("Acme Trading");
        test::runSql("UPDATE Customer SET Cus_Phone = '999' WHERE Cus_Name = 'Acme Ltd'", other);

        const QString refused = test::errorOf([&] { t->Post(); });
        QCOMPARE(refused, QStringLiteral("The customer Acme Ltd was changed or deleted by another user after you began to edit it, "
                                         "so your change was not saved. Cancel the edit to see it as it is now, then make your "
                                         "change again."));
        // The typed row stays to be saved again; the other seat's change stands, ours is not written.
        QCOMPARE(t->State(), DataSetState::Edit);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Acme Trading"));
        QCOMPARE(test::storedValue("SELECT Cus_Name || '/' || Cus_Phone FROM Customer").toString(), QStringLiteral("Acme Ltd/999"));

        t->Cancel();
        QCOMPARE(dm->tblCustomerCus_Phone->AsString(), QStringLiteral("999"));
        t->Edit();
        dm->tblCustomerCus_Name->SetAsString("Acme Trading");
        t->Post();
        QCOMPARE(test::storedValue("SELECT Cus_Name || '/' || Cus_Phone FROM Customer").toString(), QStringLiteral("Acme Trading/999"));

        // A row the other seat deleted is not written back either.
        t->Edit();
        dm->tblCustomerCus_Contact->SetAsString("Ann");
        test::runSql("DELETE FROM Customer", other);
        QVERIFY(test::errorOf([&] { t->Post(); }).startsWith("The customer Acme Trading was changed or deleted by another user"));
        QCOMPARE(test::storedValue("SELECT COUNT(*) FROM Customer").toInt(), 0);
        other.close();
    }

    void counterRaisedByAnotherSeatIsReadUnderTheLock()
    {
        // The company row held by this seat's cursor is old: the next number still comes from the store.
        QSqlDatabase other = test::secondSeat("seat2");
        test::runSql("UPDATE Company SET Inv_Start_No = 40", other);
        QCOMPARE(createInvoice("x", QDate(2026, 12, 9)), 40);
        QCOMPARE(test::storedValue("SELECT Inv_Start_No FROM Company").toInt(), 41);
        other.close();
    }

    void advancingWaitsForAnotherSeatsRun()
    {
        if (!test::onServer())
            QSKIP("SQLite refuses a second writer outright (the book is locked) instead of letting it wait.");
        createInvoice("x", QDate(2026, 12, 9));
        QSqlDatabase other = test::secondSeat("seat2");
        // The other seat is half-way through its run over the invoices.
        test::runSql("BEGIN", other);
        test::runSql("LOCK TABLE Invoice IN SHARE ROW EXCLUSIVE MODE", other);
        test::runSql("UPDATE Invoice SET Inv_Days = '30'", other);
        QSqlQuery(Engine::database()).exec("SET lock_timeout = '300ms'");
        const QString waited = test::errorOf([&] { payInvoice(1); });
        QVERIFY2(waited.contains("lock timeout"), qPrintable(waited));
        test::runSql("COMMIT", other);
        payInvoice(1);
        QCOMPARE(test::storedValue("SELECT Inv_Paid || '/' || Inv_Days FROM Invoice").toString(), QStringLiteral("YES/30"));
        other.close();
    }

    void lostConnectionIsReportedAndTheRowKept()
    {
        if (!test::onServer())
            QSKIP("An embedded book has no connection to lose.");
        QSqlDatabase other = test::secondSeat("seat2");
        const int pid = test::storedValue("SELECT pg_backend_pid()").toInt();
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetAsString("Typed");
        test::runSql(QString("SELECT pg_terminate_backend(%1)").arg(pid), other);
        const QString lost = test::errorOf([&] { dm->tblCustomer->Post(); });
        QVERIFY2(lost.startsWith("The connection to the database " + test::engineAlias().database + " on the server was lost"),
                 qPrintable(lost));
        QCOMPARE(dm->tblCustomer->State(), DataSetState::Edit);
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Typed"));
        other.close();
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zz::TApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--seat") == 0)
        return runSeat(QByteArray(argv[2]).toInt());
    TestSeats tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_seats.moc"
