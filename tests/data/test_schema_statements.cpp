// The database as the engine creates it, and the named statements run against a small fixture, on
// both engines: the embedded SQLite book and a PostgreSQL server.
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Logo.h"
#include "data/Regional.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
void exec(const QString& sql)
{
    QSqlQuery q(Engine::database());
    if (!q.exec(sql))
        QFAIL(qPrintable(sql + " -> " + q.lastError().text()));
}
} // namespace

class TestSchemaStatements : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

    // Two customers (Alpha with three invoices, Beta with one), two products.
    void fixture()
    {
        exec("INSERT INTO Customer (Cus_Name, Cus_Phone) VALUES ('Alpha Ltd', '111'), ('Beta', '222')");
        exec("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('P1', 'Widget', 10.0), ('P2', 'Gadget', 2.5)");
        // 1001 open with two lines of the same product; 1002 paid 2026-01-31; 1003 open, no lines;
        // 1004 cancelled; 1005 paid 2026-02-01 (Beta); 1006 open, class 30.
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT) VALUES (1001, 1, '2026-01-05', 15)");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT, Inv_PayDate, Inv_Paid) VALUES (1002, 1, '2026-01-06', 15, '2026-01-31', 'YES')");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT) VALUES (1003, 1, '2026-01-07', 15)");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT, Inv_Cancelled) VALUES (1004, 1, '2026-01-08', 15, 'YES')");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT, Inv_PayDate, Inv_Paid) VALUES (1005, 2, '2026-01-09', 10, '2026-02-01', 'YES')");
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT, Inv_Days) VALUES (1006, 1, '2026-01-10', 15, '30')");
        exec("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, Line_Discount_Price) VALUES "
             "(1001, 'P1', 2, 10.0, 0, 10.0), (1001, 'P1', 1, 10.0, 50, 5.0), (1002, 'P2', 4, 2.5, 0, 2.5),"
             "(1004, 'P1', 1, 10.0, 0, 10.0), (1005, 'P1', 3, 10.0, 10, 9.0), (1006, 'P2', 2, 2.5, 0, 2.5)");
        for (TTable* t : dm->tables())
            t->Refresh();
    }

    static QList<int> column(TQuery* q, const char* field)
    {
        QList<int> out;
        for (q->First(); !q->Eof(); q->Next())
            out << q->FieldByName(field)->AsInteger();
        return out;
    }

private slots:
    void initTestCase_data() { test::addEngineColumn(); }
    void init()
    {
        setRegional(RegionalSettings{});
        home = std::make_unique<test::TempHome>();
        ZZ_USE_ENGINE();
        dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        dm.reset();
        home.reset();
    }

    void firstStartCreatesSixEmptyTablesInOrder()
    {
        const QStringList tables = Engine::database().tables();
        // The server's tables carry the cursors' row identity first, and lower-case names.
        const int hidden = test::onServer() ? 1 : 0;
        for (const TableDef& t : schemaTables()) {
            QVERIFY2(tables.contains(t.name, Qt::CaseInsensitive), qPrintable(t.name));
            QSqlRecord rec = Engine::database().record(test::onServer() ? t.name.toLower() : t.name);
            QCOMPARE(rec.count(), int(t.fields.size()) + hidden);
            if (hidden)
                QCOMPARE(rec.fieldName(0), QStringLiteral("rowid"));
            for (int i = hidden; i < rec.count(); ++i)
                QCOMPARE(rec.fieldName(i).toLower(), t.fields[size_t(i - hidden)].name.toLower());
        }
        for (TTable* t : dm->tables()) {
            QVERIFY(t->Active());
            QVERIFY(t->IsEmpty());
        }
        if (test::onServer())
            return;
        const AliasConfig c = Engine::resolveAlias();
        QVERIFY(c.embeddedDefault);
        QVERIFY(QFileInfo::exists(c.database));
        QVERIFY(c.database.startsWith(home->dataDir()));
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
        QVERIFY(q.exec("PRAGMA synchronous") && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
    }

    void defaultsKeysAndAutoIncrement()
    {
        exec("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (7, 1, '2026-12-09')");
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT Inv_Paid, Inv_Cancelled, Inv_Days, Inv_PayDate FROM Invoice"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("NO"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("NO"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("CURRENT"));
        QVERIFY(q.value(3).isNull());

        // A repeated invoice number or product code is a key violation naming table and value.
        QSqlQuery dup = prepareOrThrow("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date) VALUES (?, 1, '2026-12-09')");
        dup.addBindValue(7);
        try {
            execOrThrow(dup, "Invoice", {{"Inv_Number", 7}});
            QFAIL("a repeated Inv_Number was accepted");
        } catch (const EDBEngineError& e) {
            QCOMPARE(e.message(), QStringLiteral("Key violation: the Invoice table already has a row with Inv_Number 7."));
        }
        exec("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('A', 'x', 1)");
        QVERIFY(!QSqlQuery(Engine::database()).exec("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('A', 'y', 2)"));

        // Auto-increment keys never repeat, even after the highest row is deleted.
        exec("INSERT INTO Customer (Cus_Name) VALUES ('a'), ('b')");
        exec("DELETE FROM Customer WHERE Cus_Code = 2");
        exec("INSERT INTO Customer (Cus_Name) VALUES ('c')");
        QVERIFY(q.exec("SELECT MAX(Cus_Code) FROM Customer") && q.next());
        QCOMPARE(q.value(0).toInt(), 3);
        exec("INSERT INTO Line (Inv_Number, Prod_Code) VALUES (7, 'A'), (7, 'A')");
        exec("DELETE FROM Line WHERE Line_Number = 2");
        exec("INSERT INTO Line (Inv_Number, Prod_Code) VALUES (7, 'A')");
        QVERIFY(q.exec("SELECT MAX(Line_Number) FROM Line") && q.next());
        QCOMPARE(q.value(0).toInt(), 3);

        // Text longer than its field is refused by the store too.
        QVERIFY(!QSqlQuery(Engine::database()).exec("INSERT INTO Customer (Cus_Name) VALUES ('" + QString(51, 'x') + "')"));
        // The store refuses to delete a customer that has invoices or a product that lines use,
        // whoever asks; rows nothing refers to are deleted.
        QVERIFY(!q.exec("DELETE FROM Customer WHERE Cus_Code = 1"));
        QCOMPARE(engineText(q.lastError()), QStringLiteral("The customer has invoices and cannot be deleted."));
        QVERIFY(!q.exec("DELETE FROM Product WHERE Prod_Code = 'A'"));
        QCOMPARE(engineText(q.lastError()), QStringLiteral("The product is used on invoices and cannot be deleted."));
        QVERIFY(q.exec("SELECT COUNT(*) FROM Invoice WHERE Cus_Code = 1") && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        exec("DELETE FROM Customer WHERE Cus_Code = 3");
        QCOMPARE(test::storedValue("SELECT COUNT(*) FROM Customer").toInt(), 1);
    }

    void persistentFieldsAndStatementsAreDeclared()
    {
        QCOMPARE(dm->queries().size(), 16);
        QCOMPARE(dm->tblInvoiceInv_Number->FieldName(), QStringLiteral("Inv_Number"));
        QCOMPARE(dm->persistentField("tblCompanyInv_Start_No"), dm->tblCompanyInv_Start_No);
        QCOMPARE(dm->qryStatementDetailTotal->index(), 3); // declared order, not the SELECT's
        QCOMPARE(dm->qryPayInv->sqlText(),
                 QStringLiteral("UPDATE Invoice\n   SET Inv_PayDate = :payDate,\n       Inv_Paid    = 'YES'\n WHERE Inv_Number  = :invNo "));
        QCOMPARE(dm->qryPayInv->ParamCount(), 2);
        QCOMPARE(dm->qryPayInv->Params(1).name, QStringLiteral("invNo"));
        QVERIFY(dm->component("datStat120Plus"));
        QVERIFY(!dm->component("datPayInv"));
        QVERIFY(dm->tblLine->MasterSource() == dm->datInvoice);
    }

    void invoiceLinesAndReportRows()
    {
        fixture();
        TQuery* d = dm->qryInvDetail;
        d->Params(0).SetAsInteger(1001);
        d->Open();
        QCOMPARE(d->RecordCount(), 2); // the same product twice: one row per line
        QCOMPARE(dm->qryInvDetailTotal->AsMoney().count(), 200000);
        QCOMPARE(dm->qryInvDetailLine_Discount->DisplayText(), QStringLiteral("0 %"));
        d->Next();
        QCOMPARE(dm->qryInvDetailLine_Discount->DisplayText(), QStringLiteral("50 %"));
        QCOMPARE(dm->qryInvDetailLine_Discount_Price->DisplayText(), QStringLiteral("$5.00"));

        TQuery* r = dm->qryInvReport;
        r->Params(0).SetAsInteger(1001);
        r->Open();
        QCOMPARE(r->RecordCount(), 2);
        QCOMPARE(dm->qryInvReportCus_Name->AsString(), QStringLiteral("Alpha Ltd"));
        QCOMPARE(dm->qryInvReportInv_VAT->DisplayText(), QStringLiteral("15.00 %"));
        QCOMPARE(dm->qryInvReportInv_Date->AsDate(), QDate(2026, 1, 5));
        r->Close();
        r->Params(0).SetAsInteger(1003); // no lines
        r->Open();
        QVERIFY(r->IsEmpty());
        r->Close();
        r->Params(0).SetAsInteger(999999); // no such invoice
        r->Open();
        QVERIFY(r->IsEmpty());
    }

    void openListsAndParametersThatPersist()
    {
        fixture();
        TQuery* u = dm->qryUnpaidInv;
        u->Open();
        QCOMPARE(column(u, "Inv_Number"), (QList<int>{1001, 1003, 1006})); // without lines too
        dm->qryCancelledInv->Open();
        QCOMPARE(column(dm->qryCancelledInv, "Inv_Number"), QList<int>{1004});

        // Paying runs with a date parameter; a time of day is dropped. The open query keeps its rows.
        dm->qryPayInv->Params(0).SetAsDateTime(QDateTime(QDate(2026, 3, 1), QTime(17, 45)));
        dm->qryPayInv->Params(1).SetAsInteger(1001);
        dm->qryPayInv->ExecSQL();
        QCOMPARE(u->RecordCount(), 3);
        u->Close();
        u->Open();
        QCOMPARE(column(u, "Inv_Number"), (QList<int>{1003, 1006}));
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT Inv_PayDate, Inv_Paid FROM Invoice WHERE Inv_Number = 1001") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("2026-03-01"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("YES"));

        dm->qryAdvancePeriod->Params(0).SetAsString("60");
        dm->qryAdvancePeriod->Params(1).SetAsInteger(1006);
        dm->qryAdvancePeriod->ExecSQL();
        dm->qryCancelInv->Params(0).SetAsInteger(1003);
        dm->qryCancelInv->ExecSQL();
        dm->qryDelLine->Params(0).SetAsInteger(1);
        dm->qryDelLine->ExecSQL();
        QVERIFY(q.exec("SELECT COUNT(*) FROM Line WHERE Inv_Number = 1001") && q.next());
        QCOMPARE(q.value(0).toInt(), 1);

        // Reopened without new values, a query runs with the previous ones.
        TQuery* d = dm->qryInvDetail;
        d->Params(0).SetAsInteger(1002);
        d->Open();
        d->Close();
        d->Open();
        QCOMPARE(d->RecordCount(), 1);
        QCOMPARE(dm->qryInvDetailProd_Description->AsString(), QStringLiteral("Gadget"));
    }

    void revenueRangeIncludesBothEnds()
    {
        fixture();
        TQuery* r = dm->qryReportRevenue;
        r->Params(0).SetAsDate(QDate(2026, 1, 31));
        r->Params(1).SetAsDate(QDate(2026, 2, 1));
        r->Open();
        QCOMPARE(column(r, "Inv_Number"), (QList<int>{1002, 1005}));
        r->First();
        QCOMPARE(r->FieldByName("cus_name")->AsString(), QStringLiteral("Alpha Ltd"));
        QCOMPARE(r->FieldByName("Total")->AsFloat(), 10.0);
        QCOMPARE(r->FieldByName("Inv_VAT")->AsFloat(), 15.0);
        r->Close();
        r->Params(0).SetAsDate(QDate(2026, 2, 2));
        r->Params(1).SetAsDate(QDate(2026, 1, 1)); // start after end
        r->Open();
        QVERIFY(r->IsEmpty());
    }

    void statementTotalsPerAgeClass()
    {
        fixture();
        TQuery* const classes[] = {dm->qryStatementDetail, dm->qryStatCurrent, dm->qryStat30, dm->qryStat60,
                                   dm->qryStat90, dm->qryStat120, dm->qryStat120Plus};
        for (TQuery* q : classes) {
            q->Close();
            q->Params(0).SetAsInteger(1);
            q->Open();
        }
        // Open invoices with lines: 1001 (25.00 net) and 1006 (5.00 net), VAT 15 %.
        QCOMPARE(column(dm->qryStatementDetail, "Inv_Number").size(), 2);
        QCOMPARE(dm->qryStatCurrentTotal->AsMoney().count(), 287500);
        QCOMPARE(dm->qryStat30Total->AsMoney().count(), 57500);
        // A class without invoices gives one row whose total is null, shown empty.
        QCOMPARE(dm->qryStat60->RecordCount(), 1);
        QVERIFY(dm->qryStat60Total->IsNull());
        QCOMPARE(dm->qryStat60Total->DisplayText(), QString());
    }

    void logoHeaderRule()
    {
        const QByteArray bmp = QByteArray("BM") + QByteArray(30, 'x');
        const QByteArray stored = logoStoredForm(bmp);
        QCOMPARE(stored.size(), bmp.size() + 8);
        QCOMPARE(logoImageBytes(stored), bmp);
        QCOMPARE(logoImageBytes(bmp), bmp); // no header: read whole
        QByteArray wrongCount = stored; wrongCount[0] = 2;
        QCOMPARE(logoImageBytes(wrongCount), wrongCount);
        QByteArray wrongType = stored; wrongType[3] = 2;
        QCOMPARE(logoImageBytes(wrongType), wrongType);
        QByteArray wrongLength = stored + "z";
        QCOMPARE(logoImageBytes(wrongLength), wrongLength);
        QCOMPARE(logoImageBytes(QByteArray()), QByteArray());
        QCOMPARE(logoImageBytes(stored.left(7)), stored.left(7));
    }
};

namespace {
// A port of this computer that nothing listened on a moment ago.
int freeLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}
} // namespace

// Opening an alias that names something else than a complete database fails and creates nothing.
class TestEngineFailures : public QObject {
    Q_OBJECT
private slots:
    void explicitAliasFailures()
    {
        test::TempHome home;
        QDir().mkpath(home.configDir() + "/Zuzevevur");
        const QString ini = home.configDir() + "/Zuzevevur/engine.ini";
        auto writeText = [&](const QByteArray& text) {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        };
        auto writeIni = [&](const QString& db) { writeText(("[Zuzevevur]\nDriver=QSQLITE\nDatabase=" + db + "\n").toUtf8()); };
        auto expectFailure = [&](const QString& fragment) {
            try {
                TDataModule1 dm;
                QFAIL("the data module opened");
            } catch (const EDBEngineError& e) {
                QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
            }
            QVERIFY(!Engine::isOpen());
        };

        const QString missing = home.path() + "/none.db";
        writeIni(missing);
        expectFailure("does not exist");
        QVERIFY(!QFileInfo::exists(missing));

        const QString notDb = home.path() + "/text.db";
        { QFile f(notDb); QVERIFY(f.open(QIODevice::WriteOnly)); f.write(QByteArray(4096, 'x')); }
        writeIni(notDb);
        expectFailure("The file " + notDb + " is not a database.");

        // A database without the VAT table.
        const QString partial = home.path() + "/partial.db";
        {
            AliasConfig c; c.alias = "Zuzevevur"; c.driver = "QSQLITE"; c.database = partial; c.embeddedDefault = true;
            Engine::open(c);
            QSqlQuery(Engine::database()).exec("DROP TABLE VAT");
            Engine::close();
        }
        writeIni(partial);
        expectFailure("VAT");

        writeText("[Other]\nDatabase=/tmp/x.db\n");
        expectFailure("Unknown database alias");

        // A server's password is never kept in the engine file.
        writeText("[Zuzevevur]\nDriver=QPSQL\nHost=server\nDatabase=books\nUser=ann\nPassword=secret\n");
        expectFailure("holds a password; remove it and keep the password in ~/.pgpass instead.");
    }

    // An engine file that is no UTF-8 text stops the start with its name; the default book is not
    // opened in its place (the user's own books would seem gone) nor made.
    void anEngineFileThatIsNoTextStopsTheStart_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray ini("[Zuzevevur]\nDriver=QSQLITE\nDatabase=/srv/books.db\n");
        QByteArray utf16le("\xff\xfe", 2), utf16be("\xfe\xff", 2);
        for (const QChar c : QString::fromLatin1(ini)) {
            utf16le += char(c.unicode()) + QByteArray(1, '\0');
            utf16be += QByteArray(1, '\0') + char(c.unicode());
        }
        QByteArray junk;
        for (int i = 0; i < 512; ++i)
            junk += char((i * 37 + 11) & 0xff);
        QTest::newRow("binary junk") << junk << "it is not UTF-8 text.";
        QTest::newRow("UTF-16, little-endian") << utf16le << "it is saved as UTF-16; save it as UTF-8 text.";
        QTest::newRow("UTF-16, big-endian") << utf16be << "it is saved as UTF-16; save it as UTF-8 text.";
        QTest::newRow("UTF-16 without a mark") << utf16le.mid(2) << "it is not UTF-8 text.";
        QTest::newRow("UTF-32") << QByteArray("\xff\xfe\0\0[\0\0\0", 8) << "it is saved as UTF-32; save it as UTF-8 text.";
        QTest::newRow("Latin-1") << QByteArray("[Zuzevevur]\nDatabase=/srv/B\xfc" "cher.db\n") << "it is not UTF-8 text.";
    }
    void anEngineFileThatIsNoTextStopsTheStart()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        test::TempHome home;
        const QString ini = Engine::configFilePath();
        QDir().mkpath(QFileInfo(ini).absolutePath());
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        const QString error = test::errorOf([] { TDataModule1 dm; });
        QCOMPARE(error, QStringLiteral("The database configuration %1 cannot be read: %2").arg(ini, reason));
        QVERIFY(!Engine::isOpen());
        QVERIFY(!QFileInfo::exists(home.dataDir() + QStringLiteral("/Zuzevevur/Zuzevevur.db")));
    }

    // A server that cannot be reached at start-up is named as such, with where it was looked for
    // and the database; nothing was connected, so nothing was lost.
    void anUnreachableServerIsNamed_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("a socket folder without a server") << "socket";
        QTest::newRow("a port nobody listens on") << "port";
        QTest::newRow("a host name that names no host") << "host";
    }
    void anUnreachableServerIsNamed()
    {
        QFETCH(QString, where);
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            QSKIP("the Qt driver QPSQL is not installed");
        test::TempHome home;
        AliasConfig c;
        c.alias = QStringLiteral("Zuzevevur");
        c.driver = QStringLiteral("QPSQL");
        c.database = QStringLiteral("books");
        c.user = QStringLiteral("ann");
        QString server;
        if (where == QLatin1String("socket")) {
            c.host = home.path();
            server = QStringLiteral("the socket %1/.s.PGSQL.5432").arg(home.path());
        } else if (where == QLatin1String("port")) {
            c.port = freeLocalPort();
            QVERIFY(c.port > 0);
            c.host = QStringLiteral("127.0.0.1");
            server = QStringLiteral("127.0.0.1:%1").arg(c.port);
        } else {
            c.host = QStringLiteral("no-such-host.invalid");
            server = QStringLiteral("no-such-host.invalid:5432");
        }
        const QString error = test::errorOf([&] { Engine::open(c); });
        const QString expected = QStringLiteral("The database server at %1 cannot be reached, so the database books cannot be opened: ").arg(server);
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        QVERIFY2(error.endsWith(QLatin1String(". Check that the server is running and that this computer can reach it, then start the program again.")),
                 qPrintable(error));
        QVERIFY2(!error.contains(QLatin1String("lost")) && !error.contains(QLatin1String("change")), qPrintable(error));
        QVERIFY(!Engine::isOpen());
    }

    // A server that answers and refuses the database says so, naming both.
    void aServerThatRefusesTheDatabaseIsNamed()
    {
        QString whyNot;
        test::PgServer* pg = test::PgServer::instance(&whyNot);
        if (!pg)
            QSKIP(qPrintable(whyNot));
        test::TempHome home;
        AliasConfig c = pg->alias(QStringLiteral("nosuchbooks"));
        const QString error = test::errorOf([&] { Engine::open(c); });
        QCOMPARE(error, QStringLiteral("The database server at the socket %1/.s.PGSQL.5432 refused to open the database nosuchbooks: "
                                       "database \"nosuchbooks\" does not exist.").arg(pg->socketDir()));
        QVERIFY(!Engine::isOpen());
    }

    // A byte-order mark that some editors put before UTF-8 text is no part of the text.
    void anEngineFileWithTheUtf8MarkIsRead()
    {
        const auto c = Engine::aliasFromConfig(QByteArray("\xef\xbb\xbf[Zuzevevur]\r\nDatabase=/srv/B\xc3\xbc" "cher.db\r\n"),
                                               QStringLiteral("Zuzevevur"), QStringLiteral("engine.ini"));
        QVERIFY(c.has_value());
        QCOMPARE(c->database, QStringLiteral("/srv/B\u00fccher.db"));
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zz::TApplication app(argc, argv);
    TestSchemaStatements a;
    TestEngineFailures b;
    return QTest::qExec(&a, argc, argv) | QTest::qExec(&b, argc, argv);
}
#include "test_schema_statements.moc"
