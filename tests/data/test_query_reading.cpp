// Named queries reading their results on demand: only the first rows at opening, the rest as they
// are walked or scrolled to, the same values straight from SQLite and through the driver, and the
// rows as they were when the query opened whatever is written meanwhile. Transactions that keep or
// undo the work done before a failure.
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "tests/support/TestSupport.h"
#include "widgets/DBGrid.h"

using namespace zz;

namespace {
void exec(const QString& sql)
{
    QSqlQuery q(Engine::database());
    if (!q.exec(sql))
        QFAIL(qPrintable(sql + " -> " + q.lastError().text()));
}

// Customers named with equal names in different letter case, so that the name order has ties,
// and their invoices with numbers that interleave across those customers; every fifth invoice
// paid, every seventh cancelled.
void manyInvoices(int customers, int invoices)
{
    QSqlDatabase db = Engine::database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("INSERT INTO Customer (Cus_Name, Cus_Phone) VALUES (?, ?)");
    for (int c = 1; c <= customers; ++c) {
        q.addBindValue(QStringLiteral("%1 Trading").arg(c % 2 ? QStringLiteral("Alpha") : QStringLiteral("alpha")) + QString::number(c / 2 % 40));
        q.addBindValue(QString::number(5550000 + c));
        q.exec();
    }
    q.prepare("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_Order_No, Inv_Paid, Inv_Cancelled, Inv_Days) "
              "VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < invoices; ++i) {
        q.addBindValue(10000 - i * 7 % 5000 * 2 + i % 2); // numbers not in insertion order
        q.addBindValue(1 + i * 13 % customers);
        q.addBindValue(QDate(2026, 1, 1).addDays(i % 300).toString(Qt::ISODate));
        q.addBindValue(QStringLiteral("PO-%1").arg(i));
        q.addBindValue(i % 5 == 0 ? "YES" : "NO");
        q.addBindValue(i % 7 == 0 && i % 5 != 0 ? "YES" : "NO");
        q.addBindValue(QStringList{"CURRENT", "30", "60", "90", "120", "120+"}[i % 6]);
        if (!q.exec())
            QFAIL(qPrintable(q.lastError().text()));
    }
    db.commit();
}

// Every row of a statement run past the cursors, each row's columns joined.
QStringList storedRows(const QString& sql)
{
    QSqlQuery q(Engine::database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        return {QStringLiteral("error: ") + q.lastError().text()};
    QStringList rows;
    while (q.next()) {
        QStringList cols;
        for (int c = 0; c < q.record().count(); ++c)
            cols << q.value(c).toString();
        rows << cols.join('|');
    }
    return rows;
}

// Every row of an open query, walked with First and Next, each row's fields' edit texts joined
// (dates as the engine stores them).
QStringList walked(TQuery* q)
{
    QStringList rows;
    for (q->First(); !q->Eof(); q->Next()) {
        QStringList cols;
        for (const auto& f : q->Fields())
            cols << (f->DataType() == FieldType::Date && !f->IsNull() ? f->AsDate().toString(Qt::ISODate) : f->AsString());
        rows << cols.join('|');
    }
    return rows;
}
} // namespace

class TestQueryReading : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        setRegional(RegionalSettings{});
        dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        TTable::setDirectReading(true);
        dm.reset();
        home.reset();
    }

    void aLargeResultOpensWithItsFirstRowsAndReadsOnAsItIsWalked()
    {
        manyInvoices(120, 1500);
        TQuery* u = dm->qryUnpaidInv;
        u->Open();
        QVERIFY(!u->IsEmpty());
        QVERIFY2(u->FetchedCount() < 200, qPrintable(QString::number(u->FetchedCount())));
        QVERIFY(!u->AllFetched());
        QCOMPARE(u->RecNo(), 0);

        // The engine's form of the list walks customers first; rows and order are the stored
        // statement's, ties of names in different case included.
        const QStringList expected = storedRows(u->sqlText());
        QCOMPARE(u->sqlText() == u->engineSql(), false);
        QCOMPARE(walked(u), expected);
        QVERIFY(u->AllFetched());
        QCOMPARE(u->RecordCount(), int(expected.size()));

        // Moving to a row not read yet reads up to it; Last reads to the end.
        u->Close();
        u->Open();
        u->MoveTo(700);
        QCOMPARE(u->RecNo(), 700);
        QCOMPARE(dm->qryUnpaidInvInv_Order_No->AsString(), expected[700].section('|', 2, 2));
        u->Close();
        u->Open();
        u->Last();
        QVERIFY(u->Eof());
        QCOMPARE(u->RecNo(), int(expected.size()) - 1);

        // The cancelled list likewise.
        TQuery* c = dm->qryCancelledInv;
        c->Open();
        QCOMPARE(walked(c), storedRows(c->sqlText()));
    }

    void driverAndDirectReadingGiveTheSameRows()
    {
        manyInvoices(30, 400);
        exec("INSERT INTO Product VALUES ('P1', 'Widget', 10.125)");
        exec("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, Line_Discount_Price) "
             "SELECT Inv_Number, 'P1', 3, 10.125, 10, 9.1125 FROM Invoice");
        TQuery* d = dm->qryInvDetail;
        TQuery* u = dm->qryUnpaidInv;
        d->Params(0).SetAsInteger(10000);
        QStringList direct[2], driver[2];
        for (int pass = 0; pass < 2; ++pass) {
            TTable::setDirectReading(pass == 0);
            for (TQuery* q : {d, u})
                q->Close();
            d->Open();
            u->Open();
            QStringList& out0 = pass == 0 ? direct[0] : driver[0];
            QStringList& out1 = pass == 0 ? direct[1] : driver[1];
            out0 = walked(d);
            out1 = walked(u);
            if (pass == 1)
                QVERIFY(u->AllFetched()); // through the driver every row is read at once
        }
        QCOMPARE(direct[0], driver[0]);
        QCOMPARE(direct[1], driver[1]);
        QCOMPARE(direct[0].size(), 1);
        QCOMPARE(dm->qryInvDetailTotal->AsMoney().count(), 273375); // 3 x 9.1125
    }

    void anOpenResultKeepsItsRowsWhateverIsWrittenMeanwhile()
    {
        manyInvoices(40, 600);
        TQuery* u = dm->qryUnpaidInv;
        u->Open();
        const QStringList before = storedRows(u->sqlText());
        QVERIFY(!u->AllFetched());
        // Rows far beyond those read so far change through a statement, through a table cursor
        // and inside a transaction; the open list still shows them as they were.
        const QString lastNumber = before.last().section('|', 0, 0);
        dm->qryPayInv->Params(0).SetAsDate(QDate(2026, 5, 1));
        dm->qryPayInv->Params(1).SetAsInteger(lastNumber.toInt());
        dm->qryPayInv->ExecSQL();
        Engine::runInTransaction([&] {
            dm->qryAdvancePeriod->Params(0).SetAsString("zzz");
            dm->qryAdvancePeriod->Params(1).SetAsInteger(before[before.size() - 3].section('|', 0, 0).toInt());
            dm->qryAdvancePeriod->ExecSQL();
        }, Engine::OnFailure::RollBack);
        dm->tblCustomer->Refresh();
        QVERIFY(dm->tblCustomer->Locate("Cus_Name", before.last().section('|', 4, 4)));
        dm->tblCustomer->Edit();
        dm->tblCustomerCus_Name->SetAsString("Renamed");
        dm->tblCustomer->Post();
        QCOMPARE(walked(u), before);

        // Opened again, it shows the rows as they are now.
        u->Close();
        u->Open();
        const QStringList after = walked(u);
        QCOMPARE(after, storedRows(u->sqlText()));
        QCOMPARE(after.size(), before.size() - 1);
        QVERIFY(after.join('\n').contains("zzz"));
        QVERIFY(after.join('\n').contains("Renamed"));
    }

    void aGridShowsTheRowsReadAndReadsOnWhenScrolledToTheEnd()
    {
        manyInvoices(50, 1000);
        TDBGrid grid;
        grid.resize(600, 300);
        grid.setColumns({{"Inv_Number", "Invoice Number", 80}, {"Cus_Name", "Customer Name", 200}});
        grid.setDataSource(dm->datUnpaidInv);
        dm->qryUnpaidInv->Open();
        TDBGridModel* model = grid.gridModel();
        const int first = model->rowCount();
        QCOMPARE(first, dm->qryUnpaidInv->FetchedCount());
        QVERIFY(model->canFetchMore({}));
        model->fetchMore({});
        QVERIFY(model->rowCount() > first);
        QCOMPARE(model->rowCount(), dm->qryUnpaidInv->FetchedCount());
        QCOMPARE(model->index(first, 0).data().toString(), dm->qryUnpaidInv->rowValue(first, 0).toString());
        // Walking the query reads on; the grid learns of the rows and follows the cursor.
        dm->qryUnpaidInv->MoveTo(600);
        QCOMPARE(model->rowCount(), dm->qryUnpaidInv->FetchedCount());
        QCOMPARE(grid.currentIndex().row(), 600);
        // Ctrl+End goes to the last row of the whole result.
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(dm->qryUnpaidInv->AllFetched());
        QVERIFY(!model->canFetchMore({}));
        QCOMPARE(model->rowCount(), dm->qryUnpaidInv->RecordCount());
        QCOMPARE(dm->qryUnpaidInv->RecNo(), model->rowCount() - 1);
        QCOMPARE(grid.currentIndex().row(), model->rowCount() - 1);
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(dm->qryUnpaidInv->RecNo(), 0);
    }

    void disabledControlsHearNothingUntilEnabled()
    {
        manyInvoices(10, 300);
        TQuery* u = dm->qryUnpaidInv;
        u->Open();
        QSignalSpy moved(dm->datUnpaidInv, &TDataSource::rowChanged);
        QSignalSpy reset(dm->datUnpaidInv, &TDataSource::dataReset);
        QSignalSpy fetched(dm->datUnpaidInv, &TDataSource::rowsFetched);
        u->DisableControls();
        u->DisableControls();
        for (u->First(); !u->Eof(); u->Next()) {
        }
        u->EnableControls();
        QCOMPARE(moved.count() + reset.count() + fetched.count(), 0);
        u->EnableControls(); // the outer call tells them once
        QCOMPARE(moved.count(), 1);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(u->RecNo(), u->RecordCount() - 1);
    }

    void aQueryWithoutDeclaredFieldsIsTypedByItsValues()
    {
        exec("INSERT INTO Customer (Cus_Name) VALUES ('A')");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT) VALUES (5, 1, '2026-02-03', 15)");
        for (bool direct : {true, false}) {
            TTable::setDirectReading(direct);
            TQuery q("qryFree", {"SELECT Inv_Number, Inv_VAT, Inv_Date, Inv_PayDate, 2 * 1.5 AS x",
                                 "  FROM Invoice WHERE Inv_Number = :n"});
            q.Params(0).SetAsInteger(5);
            q.Open();
            QCOMPARE(q.FieldCount(), 5);
            QCOMPARE(q.FieldByName("Inv_Number")->DataType(), FieldType::Integer);
            QCOMPARE(q.FieldByName("Inv_VAT")->DataType(), FieldType::Float);
            QCOMPARE(q.FieldByName("Inv_Date")->AsString(), QStringLiteral("2026-02-03"));
            QVERIFY(q.FieldByName("Inv_PayDate")->IsNull());
            QCOMPARE(q.FieldByName("x")->AsFloat(), 3.0);
            q.Close();
            q.Params(0).SetAsInteger(6);
            q.Open();
            QVERIFY(q.IsEmpty());
            QVERIFY(q.Eof());
        }
    }

    void aStatementStaysPreparedAcrossRunsAndReconnections()
    {
        exec("INSERT INTO Customer (Cus_Name) VALUES ('A')");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (1, 1, '2026-01-01'), (2, 1, '2026-01-01')");
        TQuery* adv = dm->qryAdvancePeriod;
        for (int n : {1, 2}) {
            adv->Params(0).SetAsString("60");
            adv->Params(1).SetAsInteger(n);
            adv->ExecSQL();
        }
        QCOMPARE(test::storedValue("SELECT group_concat(Inv_Days) FROM Invoice").toString(), QStringLiteral("60,60"));
        // A failing run reports the engine's own message and leaves the statement usable.
        exec("CREATE TRIGGER refuse BEFORE UPDATE ON Invoice WHEN NEW.Inv_Number = 2 "
             "BEGIN SELECT RAISE(ABORT, 'Invoice 2 is locked'); END");
        adv->Params(1).SetAsInteger(2);
        QCOMPARE(test::errorOf([&] { adv->ExecSQL(); }), test::bookError("Invoice 2 is locked"));
        adv->Params(1).SetAsInteger(1);
        adv->Params(0).SetAsString("90");
        adv->ExecSQL();
        QCOMPARE(test::storedValue("SELECT Inv_Days FROM Invoice WHERE Inv_Number = 1").toString(), QStringLiteral("90"));

        // The connection closes and opens again under a statement: it is prepared again on the new one.
        TQuery own("qryOwn", {"UPDATE Invoice SET Inv_Days = :d WHERE Inv_Number = :n"});
        own.Params(0).SetAsString("120");
        own.Params(1).SetAsInteger(1);
        own.ExecSQL();
        dm.reset();
        dm = std::make_unique<TDataModule1>();
        own.Params(0).SetAsString("120+");
        own.ExecSQL();
        QCOMPARE(test::storedValue("SELECT Inv_Days FROM Invoice WHERE Inv_Number = 1").toString(), QStringLiteral("120+"));
    }

    void aTransactionIsDurableOnlyWhenItEnds_data()
    {
        QTest::addColumn<bool>("direct");
        QTest::newRow("statements straight on SQLite") << true;
        QTest::newRow("statements through the driver") << false;
    }
    void aTransactionIsDurableOnlyWhenItEnds()
    {
        QFETCH(bool, direct);
        TTable::setDirectReading(direct);
        exec("INSERT INTO Customer (Cus_Name) VALUES ('A')");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (1, 1, '2026-01-01'), (2, 1, '2026-01-01'), "
             "(3, 1, '2026-01-01')");
        // Another connection to the book sees nothing of the work until it is committed.
        const QString file = Engine::database().databaseName();
        sqlite3* other = nullptr;
        // Closed however the test ends: a failed comparison returns early.
        const auto closeOther = qScopeGuard([&] { sqlite3_close(other); });
        QCOMPARE(sqlite3_open_v2(file.toUtf8().constData(), &other, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        const auto seen = [&] {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(other, "SELECT group_concat(Inv_Days, ',') FROM (SELECT Inv_Days FROM Invoice ORDER BY Inv_Number)",
                               -1, &st, nullptr);
            sqlite3_step(st);
            const QString v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
            return v;
        };
        const auto step = [&](int number, const char* ageClass) {
            dm->qryAdvancePeriod->Params(0).SetAsString(ageClass);
            dm->qryAdvancePeriod->Params(1).SetAsInteger(number);
            dm->qryAdvancePeriod->ExecSQL();
        };
        QString during;
        Engine::runInTransaction([&] {
            step(1, "30");
            step(2, "30");
            // A run inside a transaction is part of it.
            Engine::runInTransaction([&] { step(3, "30"); }, Engine::OnFailure::RollBack);
            during = seen();
        }, Engine::OnFailure::RollBack);
        QCOMPARE(during, QStringLiteral("CURRENT,CURRENT,CURRENT"));
        QCOMPARE(seen(), QStringLiteral("30,30,30"));

        // A failure: KeepDone commits what ran before it, RollBack undoes it; both raise it.
        exec("CREATE TRIGGER refuse BEFORE UPDATE ON Invoice WHEN NEW.Inv_Number = 3 "
             "BEGIN SELECT RAISE(ABORT, 'no'); END");
        QCOMPARE(test::errorOf([&] {
                     Engine::runInTransaction([&] { step(1, "60"); step(3, "60"); step(2, "60"); },
                                              Engine::OnFailure::RollBack);
                 }),
                 test::bookError("no"));
        QCOMPARE(seen(), QStringLiteral("30,30,30"));
        QCOMPARE(test::errorOf([&] {
                     Engine::runInTransaction([&] { step(1, "60"); step(3, "60"); step(2, "60"); },
                                              Engine::OnFailure::KeepDone);
                 }),
                 test::bookError("no"));
        QCOMPARE(seen(), QStringLiteral("60,30,30"));
        // No transaction is left open: the next write is durable at once.
        step(2, "90");
        QCOMPARE(seen(), QStringLiteral("60,90,30"));
    }
};

ZZ_TEST_MAIN(TestQueryReading)
#include "test_query_reading.moc"
