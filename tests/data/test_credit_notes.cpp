// The credit notes of cancelled invoices, on both engines: two seats cancelling at the same
// moment get consecutive credit note numbers (the tables made once between them), a cancellation
// failing half-way leaves neither the mark nor the credit note, the first number is set and never
// set back onto a number given, and what is refused changes nothing.
#include <QProcess>
#include <QSqlQuery>
#include <set>

#include "data/Backup.h"
#include "data/CreditNotes.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Invoices.h"
#include "data/Schema.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::test;

namespace {
constexpr int kEach = 150;

void invoice(int number, const QString& payDate = QString())
{
    runSql(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_Paid, Inv_Cancelled, Inv_Days) "
                          "SELECT %1, Cus_Code, '2026-12-01', %2, '%3', 'NO', 'CURRENT' FROM Customer")
               .arg(number)
               .arg(payDate.isEmpty() ? QStringLiteral("NULL") : "'" + payDate + "'", payDate.isEmpty() ? "NO" : "YES"));
}

bool hasTables() { return checkCreditNoteTables(Engine::database()) == OptionalTables::Complete; }
int creditNotes() { return hasTables() ? storedValue("SELECT COUNT(*) FROM CreditNote").toInt() : 0; }

// The other seat: cancels the even invoices from 2 to 2 x count.
int runSeat(int count)
{
    try {
        TDataModule1 dm;
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        for (int i = 1; i <= count; ++i)
            cancelInvoice(2 * i, QStringLiteral("seat 2"));
        return 0;
    } catch (const Exception& e) {
        std::fprintf(stderr, "seat 2: %s\n", qPrintable(e.message()));
        return 1;
    }
}
} // namespace

class TestCreditNotes : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> home;
    std::unique_ptr<TDataModule1> dm;

private slots:
    void initTestCase_data() { addEngineColumn(); }
    void init()
    {
        home = std::make_unique<TempHome>();
        ZZ_USE_ENGINE();
        dm = std::make_unique<TDataModule1>();
        runSql("INSERT INTO Customer (Cus_Name, Cus_Phone) VALUES ('Acme Ltd', '111')");
    }
    void cleanup()
    {
        setCancelProbe(nullptr);
        dm.reset();
        home.reset();
    }

    void twoSeatsCancellingGetConsecutiveNumbers()
    {
        for (int n = 1; n <= 2 * kEach; ++n)
            invoice(n);
        QVERIFY(!hasTables()); // the first cancellation of either seat makes them
        // Two programs never share a book file (the program holds a lock on it), so on SQLite the
        // second seat exists only here: the day's backup, which one program makes, is made first.
        if (Engine::database().driverName() == QLatin1String("QSQLITE"))
            backup::write(Engine::database().databaseName(), QDateTime::currentDateTime());
        QProcess seat;
        seat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        seat.start(QCoreApplication::applicationFilePath(), {"--seat", QString::number(kEach)});
        QVERIFY(seat.waitForStarted());
        QVERIFY2(seat.waitForReadyRead(30000), "the second seat did not open the book");
        QCOMPARE(seat.readLine().trimmed(), QByteArray("ready"));
        std::set<int> mine;
        for (int i = 0; i < kEach; ++i)
            mine.insert(cancelInvoice(2 * i + 1, QStringLiteral("seat 1")));
        QVERIFY(seat.waitForFinished(120000));
        QCOMPARE(seat.exitCode(), 0);

        QCOMPARE(int(mine.size()), kEach);
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT C.CN_Number, C.Inv_Number, C.CN_Reason, I.Inv_Cancelled FROM CreditNote C "
                       "JOIN Invoice I ON I.Inv_Number = C.Inv_Number ORDER BY C.CN_Number"));
        int expected = 1;
        std::set<int> invoices;
        while (q.next()) {
            QCOMPARE(q.value(0).toInt(), expected++);
            invoices.insert(q.value(1).toInt());
            QCOMPARE(q.value(2).toString(), q.value(1).toInt() % 2 ? QStringLiteral("seat 1") : QStringLiteral("seat 2"));
            QCOMPARE(q.value(3).toString(), QStringLiteral("YES"));
        }
        QCOMPARE(expected - 1, 2 * kEach); // every number once, none skipped
        QCOMPARE(int(invoices.size()), 2 * kEach);
        QCOMPARE(nextCreditNoteNumber(), 2 * kEach + 1);
        QCOMPARE(storedValue("SELECT COUNT(*) FROM Invoice WHERE Inv_Cancelled <> 'YES'").toInt(), 0);
    }

    void cancellationFailingHalfWayLeavesNeither_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("after the mark") << "cancelled";
        QTest::newRow("after the credit note") << "recorded";
    }
    void cancellationFailingHalfWayLeavesNeither()
    {
        QFETCH(QString, step);
        invoice(1);
        invoice(2);
        cancelInvoice(1); // the tables exist now, with credit note 1
        setCancelProbe([&](const char* at) {
            if (step == QLatin1String(at))
                throw EDatabaseError(QStringLiteral("power lost"));
        });
        QCOMPARE(errorOf([] { cancelInvoice(2, QStringLiteral("wrong price")); }), QStringLiteral("power lost"));
        QCOMPARE(storedValue("SELECT Inv_Cancelled FROM Invoice WHERE Inv_Number = 2").toString(), QStringLiteral("NO"));
        QVERIFY(!creditNoteOfInvoice(2));
        QCOMPARE(creditNotes(), 1);
        // The number the failed one would have had is the next one's: none is skipped.
        setCancelProbe(nullptr);
        QCOMPARE(cancelInvoice(2, QStringLiteral("wrong price")), 2);
        QCOMPARE(creditNoteOfInvoice(2)->reason, QStringLiteral("wrong price"));
        QCOMPARE(creditNoteOfInvoice(2)->date, QDate::currentDate());
    }

    void firstCancellationFailingMakesNoTables()
    {
        invoice(7);
        setCancelProbe([](const char* at) {
            if (qstrcmp(at, "recorded") == 0)
                throw EDatabaseError(QStringLiteral("power lost"));
        });
        QCOMPARE(errorOf([] { cancelInvoice(7); }), QStringLiteral("power lost"));
        QVERIFY(!hasTables());
        QCOMPARE(storedValue("SELECT Inv_Cancelled FROM Invoice WHERE Inv_Number = 7").toString(), QStringLiteral("NO"));
    }

    void refusedCancellationsRecordNothing()
    {
        invoice(1, QStringLiteral("2026-12-05")); // paid
        invoice(2);
        QCOMPARE(errorOf([] { cancelInvoice(1); }), QStringLiteral("Cannot cancel a paid Invoice."));
        QCOMPARE(creditNotes(), 0);
        // A reason that cannot be stored is refused before anything changes.
        QVERIFY(errorOf([] { cancelInvoice(2, QString(201, QLatin1Char('x'))); }).startsWith("The reason is too long"));
        QVERIFY(errorOf([] { cancelInvoice(2, QStringLiteral("one\ntwo")); }).contains("line break"));
        QCOMPARE(storedValue("SELECT Inv_Cancelled FROM Invoice WHERE Inv_Number = 2").toString(), QStringLiteral("NO"));
        QCOMPARE(creditNotes(), 0);
        // An invoice cancelled already keeps its one credit note; no such invoice gets none.
        QCOMPARE(cancelInvoice(2, QStringLiteral("  ")), 1);
        QVERIFY(creditNoteOfInvoice(2)->reason.isEmpty());
        QCOMPARE(cancelInvoice(2), 0);
        QCOMPARE(cancelInvoice(99), 0);
        QCOMPARE(creditNotes(), 1);
        QCOMPARE(nextCreditNoteNumber(), 2);
    }

    void firstNumberIsSetAndNeverSetBack()
    {
        QCOMPARE(nextCreditNoteNumber(), 1);
        setNextCreditNoteNumber(100);
        QVERIFY(hasTables());
        invoice(1);
        invoice(2);
        QCOMPARE(cancelInvoice(1), 100);
        QCOMPARE(errorOf([] { setNextCreditNoteNumber(100); }),
                 QStringLiteral("The next credit note number cannot be 100: credit note 100 has been given already, so the "
                                "next is at least 101."));
        QVERIFY(errorOf([] { setNextCreditNoteNumber(0); }).startsWith("The first credit note number is 0"));
        QCOMPARE(nextCreditNoteNumber(), 101);
        setNextCreditNoteNumber(200);
        QCOMPARE(cancelInvoice(2), 200);
        QCOMPARE(readCreditNote(200)->invoiceNumber, 2);
        QCOMPARE(int(allCreditNotes().size()), 2);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zz::TApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--seat") == 0)
        return runSeat(QByteArray(argv[2]).toInt());
    TestCreditNotes tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_credit_notes.moc"
