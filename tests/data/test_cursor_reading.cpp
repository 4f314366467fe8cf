// Reading rows through the table cursors: straight from the SQLite connection and through the
// driver's statements alike, whatever the stored values, and every row in its place however the
// view is walked.
#include <QFile>
#include <QSqlQuery>

#include "data/DataMod.h"
#include "data/DataSource.h"
#include "data/Engine.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
bool run(const QString& sql)
{
    QSqlQuery q(Engine::database());
    return q.exec(sql);
}

// Every value of every row of the view, re-read from the engine first.
QList<QVariantList> readAll(TTable* t)
{
    t->Refresh();
    QList<QVariantList> rows;
    for (int r = 0; r < t->RecordCount(); ++r) {
        QVariantList row;
        for (int f = 0; f < t->FieldCount(); ++f)
            row << t->rowValue(r, f);
        rows << row;
    }
    return rows;
}

QString describe(const QVariant& v)
{
    return v.isValid() ? QStringLiteral("%1 '%2'").arg(QString::fromLatin1(v.typeName()), v.toString()) : QStringLiteral("null");
}
} // namespace

class TestCursorReading : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

private slots:
    void init()
    {
        home = std::make_unique<test::TempHome>();
        dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        TTable::setDirectReading(true);
        dm.reset();
        home.reset();
    }

    void directAndDriverReadingGiveTheSameValues()
    {
        QVERIFY2(Engine::sqliteHandle(), "the SQLite driver should run on the program's SQLite library");
        // Ordinary values, nulls, empty text and blobs, and storage the cursors never write.
        const QStringList rows = {
            "INSERT INTO Customer (Cus_Code, Cus_Name) VALUES (7, 'Acme'), (8, 'Beta')",
            "INSERT INTO Company (Com_Name, Com_Logo, Inv_Start_No) VALUES ('Müller & Søn ✓', X'424D0001FF807461696C', 1000)",
            "INSERT INTO Company (Com_Name, Com_Logo, Inv_Start_No) VALUES ('', X'', NULL)",
            "INSERT INTO Company (Com_Name, Com_Logo, Inv_Start_No) VALUES (NULL, 'text', 2.5)",
            "INSERT INTO Company (Com_Name, Com_Logo, Inv_Start_No) VALUES (42, NULL, '12abc')",
            "INSERT INTO Company (Com_Name, Com_Logo, Inv_Start_No) VALUES (X'3535352D31323334', 'logo', 9223372036854775807)",
            "INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_VAT) VALUES (1, 7, '2024-02-29', NULL, 15)",
            "INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_VAT) VALUES (2, 7, '2024-02-30', '2024-1-5 x', 'abc')",
            "INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT) VALUES (3, 8, '0001-01-01', 14.75)",
            "INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price) VALUES (1, 'P1', 3, 12.345), (1, 'P2', NULL, 7),"
            " (1, 'P3', -2147483649, 9007199254740993), (1, 'P4', 2147483647, -9007199254740992)",
            "INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('P1', 'Bolt', 0.1)",
            "INSERT INTO VAT (VAT_Percentage) VALUES (15)",
        };
        for (const QString& sql : rows)
            QVERIFY2(run(sql), qPrintable(sql));

        // With their masters the detail cursors show the rows of the current customer and invoice.
        auto detailNumbers = [&] {
            QList<int> numbers;
            dm->tblCustomer->Refresh();
            for (dm->tblCustomer->First(); !dm->tblCustomer->Eof(); dm->tblCustomer->Next())
                for (int r = 0; r < dm->tblInvoice->RecordCount(); ++r)
                    numbers << dm->tblInvoice->rowValue(r, 0).toInt() * 10 + dm->tblLine->RecordCount();
            return numbers;
        };
        const QList<int> followedDirect = detailNumbers();
        QCOMPARE(followedDirect, (QList<int>{14, 24, 30})); // the line cursor stands on invoice 1, then 3
        dm->tblInvoice->setMasterSource(nullptr, QString());
        dm->tblLine->setMasterSource(nullptr, QString());

        QMap<QString, QList<QVariantList>> direct;
        for (TTable* t : dm->tables())
            direct[t->Name()] = readAll(t);

        const QVariantList firstCompany = direct["tblCompany"][0];
        QCOMPARE(firstCompany[0], QVariant(QStringLiteral("Müller & Søn ✓")));
        QCOMPARE(firstCompany[10], QVariant(QByteArray("BM\0\x01\xff\x80tail", 10)));
        QCOMPARE(firstCompany[11], QVariant(1000));
        const QVariantList emptyCompany = direct["tblCompany"][1];
        QCOMPARE(emptyCompany[0].metaType().id(), int(QMetaType::QString));
        QVERIFY(!emptyCompany[10].isValid() && !emptyCompany[11].isValid());
        QVERIFY(!direct["tblCompany"][2][0].isValid());
        const QList<QVariantList>& invoices = direct["tblInvoice"];
        QCOMPARE(invoices[0][2], QVariant(QDate(2024, 2, 29)));
        QVERIFY(!invoices[0][3].isValid());
        QCOMPARE(invoices[0][5], QVariant(15.0));
        // Values a field's type cannot hold are kept as they are stored.
        QCOMPARE(invoices[1][2], QVariant(QStringLiteral("2024-02-30"))); // no 30 February
        QCOMPARE(invoices[1][5], QVariant(QStringLiteral("abc")));
        QCOMPARE(direct["tblCompany"][2][11], QVariant(2.5));
        QCOMPARE(direct["tblCompany"][3][11], QVariant(QStringLiteral("12abc")));
        QCOMPARE(direct["tblCompany"][4][11], QVariant(qlonglong(9223372036854775807LL)));
        QCOMPARE(direct["tblCompany"][4][0], QVariant(QStringLiteral("555-1234")));
        const QList<QVariantList>& lines = direct["tblLine"];
        QCOMPARE(lines[0][4], QVariant(12.345));
        QCOMPARE(lines[2][3], QVariant(qlonglong(-2147483649LL)));
        QCOMPARE(lines[2][4], QVariant(qlonglong(9007199254740993LL)));
        QCOMPARE(lines[3][3], QVariant(2147483647));
        QCOMPARE(lines[3][4], QVariant(-9007199254740992.0));

        TTable::setDirectReading(false);
        for (TTable* t : dm->tables()) {
            const QList<QVariantList> viaDriver = readAll(t);
            const QList<QVariantList>& viaConnection = direct[t->Name()];
            QCOMPARE(viaDriver.size(), viaConnection.size());
            for (int r = 0; r < viaDriver.size(); ++r)
                for (int f = 0; f < t->FieldCount(); ++f) {
                    const QVariant& a = viaConnection[r][f];
                    const QVariant& b = viaDriver[r][f];
                    QVERIFY2(a.metaType() == b.metaType() && a == b,
                             qPrintable(QStringLiteral("%1 row %2 %3: %4 directly, %5 through the driver")
                                            .arg(t->Name()).arg(r).arg(t->Fields()[size_t(f)]->FieldName(), describe(a), describe(b))));
                }
        }
        dm->tblInvoice->setMasterSource(dm->datCustomer, QStringLiteral("Cus_Code"));
        dm->tblLine->setMasterSource(dm->datInvoice, QStringLiteral("Inv_Number"));
        QCOMPARE(detailNumbers(), followedDirect);
    }

    void everyRowStaysInPlaceHoweverTheViewIsWalked()
    {
        // More rows than the cursor holds at once, named in an order unrelated to their codes.
        QVERIFY(Engine::database().transaction());
        for (int i = 0; i < 9000; ++i)
            QVERIFY(run(QStringLiteral("INSERT INTO Customer (Cus_Name, Cus_Phone) VALUES ('N%1', '%2')")
                            .arg((i * 7919) % 9000, 4, 10, QLatin1Char('0'))
                            .arg(i)));
        QVERIFY(Engine::database().commit());
        QList<QPair<int, QString>> expected;
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT Cus_Code, Cus_Phone FROM Customer ORDER BY Cus_Name, rowid"));
        while (q.next())
            expected << qMakePair(q.value(0).toInt(), q.value(1).toString());

        TTable* cus = dm->tblCustomer;
        cus->Refresh();
        QCOMPARE(cus->RecordCount(), expected.size());
        auto rowAt = [&](int pos) { return qMakePair(cus->rowValue(pos, 0).toInt(), cus->rowValue(pos, 7).toString()); };

        int pos = 0;
        for (cus->First(); !cus->Eof(); cus->Next(), ++pos)
            QCOMPARE(qMakePair(dm->tblCustomerCus_Code->AsInteger(), dm->tblCustomerCus_Phone->AsString()), expected[pos]);
        QCOMPARE(pos, expected.size());
        for (cus->Last(), pos = expected.size() - 1; !cus->Bof(); cus->Prior(), --pos)
            QCOMPARE(rowAt(cus->RecNo()), expected[pos]);
        QCOMPARE(pos, -1);
        for (int p : {8999, 0, 4500, 63, 64, 65, 127, 8936, 1, 7000, 6999})
            QCOMPARE(rowAt(p), expected[p]);

        // A deleted row closes up the view; a posted change shows at once.
        cus->MoveTo(100);
        cus->Delete();
        expected.removeAt(100);
        cus->MoveTo(5000);
        cus->Edit();
        dm->tblCustomerCus_Phone->SetAsString(QStringLiteral("changed"));
        cus->Post();
        expected[5000].second = QStringLiteral("changed");
        for (int p = expected.size() - 1; p >= 0; --p)
            QCOMPARE(rowAt(p), expected[p]);
    }

    void closingTheEngineReleasesTheDatabaseWhileCursorsReadFromIt()
    {
        QVERIFY(run("INSERT INTO Customer (Cus_Name) VALUES ('Acme')"));
        dm->tblCustomer->Refresh();
        QCOMPARE(dm->tblCustomerCus_Name->AsString(), QStringLiteral("Acme"));
        // SQLite removes the write-ahead log only when the last connection to the file closes.
        const QString log = Engine::database().databaseName() + QStringLiteral("-wal");
        QVERIFY(QFile::exists(log));
        Engine::close();
        QVERIFY(!QFile::exists(log));
    }
};

ZZ_TEST_MAIN(TestCursorReading)
#include "test_cursor_reading.moc"
