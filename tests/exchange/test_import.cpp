// The import of customers and products on both engines: a customer list as spreadsheets write it
// comes in with its names and umlauts; every row that breaks a rule of the windows is refused
// with its line and reason before anything is written; the sound rows land in one transaction,
// or none of them when a row cannot be written, the file is bad or it changed after the check. The
// export reads both engines alike.
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::exchange;

namespace {
QByteArray cp1252(const QString& text)
{
    QStringEncoder enc("windows-1252");
    return enc.encode(text);
}

qint64 count(const QString& table) { return test::storedValue("SELECT COUNT(*) FROM " + table).toLongLong(); }

QStringList notes(const std::vector<RowNote>& list)
{
    QStringList out;
    for (const RowNote& n : list)
        out << QStringLiteral("%1: %2").arg(n.line).arg(n.text);
    return out;
}
} // namespace

class TestImport : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempHome> m_home;
    std::unique_ptr<TDataModule1> m_dm;
    QTemporaryDir m_dir;

    QString file(const QByteArray& bytes)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QStringLiteral("list%1.csv").arg(++n));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // The options a user gets by taking what the file suggests.
    ImportOptions suggested(const QString& path, ImportKind kind)
    {
        ImportOptions o;
        o.csv = detectFormat(path);
        const CsvPreview p = firstRecords(path, o.csv, 1);
        o.csv.header = looksLikeHeader(kind, p.records.front().fields);
        o.mapping = guessMapping(kind, p.records.front().fields, o.csv.header);
        return o;
    }

private slots:
    void initTestCase_data() { test::addEngineColumn(); }
    void init()
    {
        m_home = std::make_unique<test::TempHome>();
        ZZ_USE_ENGINE();
        m_dm = std::make_unique<TDataModule1>();
        setRegional(RegionalSettings{});
    }
    void cleanup()
    {
        setBeforeRowWrite({});
        m_dm.reset();
        Engine::close();
        m_home.reset();
    }

    void aSpreadsheetsCustomerListKeepsItsNamesAndUmlauts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString list = QStringLiteral(
            "Name{s}Street{s}City{s}Postcode{s}E-mail{s}Phone{s}Contact person{s}VAT number{s}Notes\r\n"
            "Müller & Söhne GmbH{s}Hauptstraße 5{s}Köln{s}50667{s}info@mueller.example{s}0221 123{s}Jürgen Groß{s}DE123{s}x\r\n"
            "\"Smith{s} Jones\"{s}\"1 High St\"{s}London{s}{s}{s}{s}{s}{s}\r\n"
            "Ærø Café{s}Østergade 2{s}Århus{s}8000{s}{s}{s}Zoë{s}{s}\r\n");
        const auto with = [&](char s) { return QString(list).replace("{s}", QString(QLatin1Char(s))); };
        QTest::newRow("comma, UTF-8 with BOM") << ("\xEF\xBB\xBF" + with(',').toUtf8());
        QTest::newRow("semicolon, Windows-1252") << cp1252(with(';'));
        QTest::newRow("semicolon, UTF-8") << with(';').toUtf8();
    }
    void aSpreadsheetsCustomerListKeepsItsNamesAndUmlauts()
    {
        QFETCH(QByteArray, bytes);
        const QString path = file(bytes);
        const ImportOptions o = suggested(path, ImportKind::Customers);
        QVERIFY(o.csv.header);
        // Every field found by its column title; the notes column is left out.
        QCOMPARE(o.mapping.columns, (std::vector<int>{0, 1, 2, 3, -1, 4, 5, 6, 7}));
        const ImportCheck check = checkImport(path, ImportKind::Customers, o);
        QCOMPARE(check.rows, 3);
        QCOMPARE(check.toInsert, 3);
        QVERIFY2(check.refused.empty(), qPrintable(notes(check.refused).join('\n')));
        QCOMPARE(count("Customer"), 0); // the check writes nothing

        runImport(path, ImportKind::Customers, o, check, false);
        QCOMPARE(count("Customer"), 3);
        QCOMPARE(test::storedValue("SELECT Cus_Address2 FROM Customer WHERE Cus_Name = 'Müller & Söhne GmbH'").toString(),
                 QStringLiteral("Köln"));
        QCOMPARE(test::storedValue("SELECT Cus_Contact FROM Customer WHERE Cus_Address3 = '50667'").toString(),
                 QStringLiteral("Jürgen Groß"));
        QCOMPARE(test::storedValue("SELECT Cus_Address1 FROM Customer WHERE Cus_Address2 = 'Århus'").toString(),
                 QStringLiteral("Østergade 2"));
        // Empty cells stay empty fields, as an edit field left empty does.
        QVERIFY(test::storedValue("SELECT Cus_Email FROM Customer WHERE Cus_Address2 = 'London'").isNull());
        // The windows' cursor sees the new rows once it reads again.
        m_dm->tblCustomer->Refresh();
        QVERIFY(m_dm->tblCustomer->Locate("Cus_Name", "smith,", LocateOption::PartialKey | LocateOption::CaseInsensitive)
                || m_dm->tblCustomer->Locate("Cus_Name", "smith;", LocateOption::PartialKey | LocateOption::CaseInsensitive));
    }

    void aListWithoutHeaderIsReadInFieldOrder()
    {
        const QString path = file("Acme,1 Road,Springfield,12\r\nBeta,,,\r\n");
        const ImportOptions o = suggested(path, ImportKind::Customers);
        QVERIFY(!o.csv.header);
        QCOMPARE(o.mapping.columns, (std::vector<int>{0, 1, 2, 3, -1, -1, -1, -1, -1}));
        runImport(path, ImportKind::Customers, o, checkImport(path, ImportKind::Customers, o), false);
        QCOMPARE(count("Customer"), 2);
        QCOMPARE(test::storedValue("SELECT Cus_Address3 FROM Customer WHERE Cus_Name = 'Acme'").toString(), QStringLiteral("12"));
    }

    void refusedProductsAreListedAndTheRestImportedOnRequest()
    {
        const QString path = file("Product Code;Description;Unit Price\n"
                                  "A1;Widget, large;12.50\n"
                                  "B2;\"Board\nwith a break\";3\n"
                                  "A1;Widget again;13\n"
                                  "C3;Cable;abc\n"
                                  "D4;Drill;1e20\n"
                                  "E5;" + QByteArray(101, 'e') + ";1\n"
                                  "F6;;2\n"
                                  ";No code;2\n"
                                  "G7;Gauge;-0.5\n");
        const ImportOptions o = suggested(path, ImportKind::Products);
        const ImportCheck check = checkImport(path, ImportKind::Products, o);
        QCOMPARE(check.rows, 9);
        QCOMPARE(check.toInsert, 3);
        QCOMPARE(check.refusedCount, 6);
        QCOMPARE(notes(check.refused),
                 (QStringList{"5: the product code A1 is repeated; it is on line 2 already.",
                              "6: 'abc' is not a valid floating point value for field 'Prod_Price'.",
                              "7: the price 1e20 is beyond the amounts the books can hold.",
                              "8: Prod_Description is 101 characters long; the field holds at most 100.",
                              "9: Field 'Prod_Description' must have a value.",
                              "10: Field 'Prod_Code' must have a value."}));
        // All or nothing: with refused rows nothing is imported unless the user asks for the rest.
        QVERIFY(test::errorOf([&] { runImport(path, ImportKind::Products, o, check, false); }).contains("nothing was imported"));
        QCOMPARE(count("Product"), 0);
        const ImportCheck done = runImport(path, ImportKind::Products, o, check, true);
        QCOMPARE(done.toInsert, 3);
        QCOMPARE(count("Product"), 3);
        QCOMPARE(test::storedValue("SELECT Prod_Description FROM Product WHERE Prod_Code = 'A1'").toString(),
                 QStringLiteral("Widget, large"));
        QCOMPARE(test::storedValue("SELECT Prod_Price FROM Product WHERE Prod_Code = 'G7'").toDouble(), -0.5);
        QCOMPARE(test::storedValue("SELECT Prod_Description FROM Product WHERE Prod_Code = 'B2'").toString(),
                 QStringLiteral("Board\nwith a break"));
    }

    void productsInTheBooksAreLeftOrUpdatedAsTheUserSays()
    {
        test::runSql("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('A1', 'Old widget', 1)");
        test::runSql("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('B2', 'Board', 3)");
        const QString path = file("Prod_Code,Prod_Description,Prod_Price\nA1,New widget,2.5\nB2,Board,3.00\nC3,Cable,4\n");
        ImportOptions o = suggested(path, ImportKind::Products);
        ImportCheck check = checkImport(path, ImportKind::Products, o);
        QCOMPARE(check.toInsert, 1);
        QCOMPARE(check.unchanged, 2);
        QCOMPARE(notes(check.existing).first(), QStringLiteral("2: The product A1 is in the books already; it is left as it is."));
        runImport(path, ImportKind::Products, o, check, false);
        QCOMPARE(test::storedValue("SELECT Prod_Description FROM Product WHERE Prod_Code = 'A1'").toString(), QStringLiteral("Old widget"));
        QCOMPARE(count("Product"), 3);

        o.existing = ExistingProducts::Update;
        check = checkImport(path, ImportKind::Products, o);
        QCOMPARE(check.toUpdate, 1); // A1; B2 already reads so
        QCOMPARE(check.unchanged, 2); // B2, and C3 now in the books as in the file
        runImport(path, ImportKind::Products, o, check, false);
        QCOMPARE(test::storedValue("SELECT Prod_Description FROM Product WHERE Prod_Code = 'A1'").toString(), QStringLiteral("New widget"));
        QCOMPARE(test::storedValue("SELECT Prod_Price FROM Product WHERE Prod_Code = 'A1'").toDouble(), 2.5);
        QCOMPARE(count("Product"), 3);
    }

    void longTextsAreRefusedUnlessTheUserHasThemCut()
    {
        const QString path = file("Name,Address 3,Phone\nAcme,12345678901234,0123456789012345678\n");
        ImportOptions o = suggested(path, ImportKind::Customers);
        const ImportCheck refused = checkImport(path, ImportKind::Customers, o);
        QCOMPARE(notes(refused.refused),
                 QStringList{"2: Cus_Address3 is 14 characters long; the field holds at most 10; Cus_Phone is 19 characters "
                             "long; the field holds at most 15."});
        o.longTexts = LongTexts::Cut;
        runImport(path, ImportKind::Customers, o, checkImport(path, ImportKind::Customers, o), false);
        QCOMPARE(test::storedValue("SELECT Cus_Address3 FROM Customer").toString(), QStringLiteral("1234567890"));
        QCOMPARE(test::storedValue("SELECT Cus_Phone FROM Customer").toString(), QStringLiteral("012345678901234"));
    }

    void pricesAreReadWithAPointOrByTheRegionalSettings()
    {
        setRegional(test::germanRegional());
        const QString path = file("Code;Description;Price\nA1;Widget;12,50\nB2;Board;1.234,50\nC3;Cable;7\n");
        ImportOptions o = suggested(path, ImportKind::Products);
        o.prices = PriceReading::Regional;
        const ImportCheck check = checkImport(path, ImportKind::Products, o);
        QCOMPARE(notes(check.refused), QStringList{"3: '1.234,50' is not a valid floating point value for field 'Prod_Price'."});
        runImport(path, ImportKind::Products, o, check, true);
        QCOMPARE(test::storedValue("SELECT Prod_Price FROM Product WHERE Prod_Code = 'A1'").toDouble(), 12.5);
        o.prices = PriceReading::Point;
        QCOMPARE(checkImport(path, ImportKind::Products, o).refusedCount, 2); // "12,50" and "1.234,50" are no numbers with a point
    }

    void aRowThatCannotBeWrittenTakesEveryRowBack()
    {
        QByteArray list = "Name,Email\n";
        for (int i = 1; i <= 100; ++i)
            list += "Customer " + QByteArray::number(i) + ",c" + QByteArray::number(i) + "@example.com\n";
        const QString path = file(list);
        const ImportOptions o = suggested(path, ImportKind::Customers);
        const ImportCheck check = checkImport(path, ImportKind::Customers, o);
        QCOMPARE(check.toInsert, 100);
        setBeforeRowWrite([](qint64 line) {
            if (line == 60)
                throw EDBEngineError("the disk is full");
        });
        QCOMPARE(test::errorOf([&] { runImport(path, ImportKind::Customers, o, check, false); }), QStringLiteral("the disk is full"));
        QCOMPARE(count("Customer"), 0);
        setBeforeRowWrite({});
        // A store's own refusal midway (a product another seat entered after the check) too.
        const QString products = file("Code,Description,Price\nA1,One,1\nB2,Two,2\nC3,Three,3\n");
        const ImportOptions po = suggested(products, ImportKind::Products);
        const ImportCheck pcheck = checkImport(products, ImportKind::Products, po);
        setBeforeRowWrite([](qint64 line) {
            if (line == 3)
                test::runSql("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES ('C3', 'Elsewhere', 9)");
        });
        QVERIFY(!test::errorOf([&] { runImport(products, ImportKind::Products, po, pcheck, false); }).isEmpty());
        setBeforeRowWrite({});
        QCOMPARE(count("Product"), 0);
        // The books work on as before.
        runImport(path, ImportKind::Customers, o, check, false);
        QCOMPARE(count("Customer"), 100);
    }

    void aFileChangedAfterItsCheckWritesNothing()
    {
        const QString path = file("Name\nAnn\nBob\n");
        const ImportOptions o = suggested(path, ImportKind::Customers);
        const ImportCheck check = checkImport(path, ImportKind::Customers, o);
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write("Cyd\n");
        f.close();
        QVERIFY(test::errorOf([&] { runImport(path, ImportKind::Customers, o, check, false); }).contains("changed since the check"));
        QCOMPARE(count("Customer"), 0);
    }

    void badFilesWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("header only") << QByteArray("Name,Email\r\n") << "holds only a header row";
        QTest::newRow("cut in a quoted field") << QByteArray("Name,Email\nAnn,a@x\nBob,\"b@") << "line 3: the file ends inside a quoted field";
        QTest::newRow("column count changes") << QByteArray("Name,Email\nAnn,a@x\nBob\n") << "line 3: the row has 1 fields";
        QTest::newRow("binary") << QByteArray("Name,Email\nAnn,a@x\n\x7f" "ELF\x02\x01\x01\0\0", 28) << "line 3: the control character 0x02";
    }
    void badFilesWriteNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString path = file(bytes);
        ImportOptions o;
        o.csv = detectFormat(path);
        o.mapping = guessMapping(ImportKind::Customers, {"Name", "Email"}, true);
        const QString error = test::errorOf([&] { checkImport(path, ImportKind::Customers, o); });
        QVERIFY2(error.contains(says), qPrintable(error));
        // Written straight away (as after a check of the file before it was spoilt): rolled back.
        ImportCheck pretended;
        pretended.rows = pretended.toInsert = 2;
        QVERIFY(!test::errorOf([&] { runImport(path, ImportKind::Customers, o, pretended, false); }).isEmpty());
        QCOMPARE(count("Customer"), 0);
    }

    void invoicesGoOutAlikeFromEitherEngine()
    {
        test::runSql("INSERT INTO Customer (Cus_Name) VALUES ('Zoë, \"Café\"')");
        const qint64 code = test::storedValue("SELECT MAX(Cus_Code) FROM Customer").toLongLong();
        test::runSql(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_VAT, Inv_Paid) "
                                    "VALUES (57, %1, '2026-01-10', '2026-01-20', 15, 'YES')").arg(code));
        test::runSql("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_VAT, Inv_Cancelled) VALUES (58, 1, '2026-02-01', 15, 'YES')");
        test::runSql("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, Line_Discount_Price) "
                     "VALUES (57, 'A1', 3, 19.99, 15, 16.9915)");
        const QString path = m_dir.filePath("engine-invoices.csv");
        QCOMPARE(exportCsv(ExportWhat::Invoices, path, {{ExportRange::Kind::PayDates, QDate(2026, 1, 1), QDate(2026, 1, 31)}}), 1);
        QCOMPARE(test::fileBytes(path),
                 QByteArray("\xEF\xBB\xBFInv_Number,Inv_Date,Cus_Code,Cus_Name,Inv_Order_No,Net,Inv_VAT,VAT,Total,State,"
                            "Inv_PayDate,Inv_Days,Net_Exact,VAT_Exact,Total_Exact\r\n57,2026-01-10,")
                     + QByteArray::number(code)
                     + ",\"Zoë, \"\"Café\"\"\",,50.97,15,7.65,58.62,paid,2026-01-20,CURRENT,50.9745,7.646175,58.620675\r\n");
        QCOMPARE(exportCsv(ExportWhat::Lines, path, {{ExportRange::Kind::InvoiceDates, QDate(2026, 1, 1), QDate(2026, 2, 28)}}), 1);
        QVERIFY(test::fileBytes(path).endsWith("\r\n57,2026-01-10,1,A1,,3,19.99,15,16.9915,50.9745\r\n")
                || test::fileBytes(path).contains(",A1,,3,19.99,15,16.9915,50.9745\r\n"));
        QCOMPARE(exportCsv(ExportWhat::Invoices, path, {{ExportRange::Kind::InvoiceDates, QDate(2026, 2, 1), QDate(2026, 2, 1)}}), 1);
        QVERIFY(test::fileBytes(path).contains(",cancelled,,CURRENT,0.00,0.00,0.00\r\n"));
    }

    void aMappingWithoutTheRequiredFieldsIsRefused()
    {
        const QString path = file("Street,City\nRoad,Town\n");
        ImportOptions o = suggested(path, ImportKind::Customers);
        QCOMPARE(test::errorOf([&] { checkImport(path, ImportKind::Customers, o); }),
                 QStringLiteral("No column is chosen for Customer Name (Cus_Name), which every row needs."));
        o.mapping.columns[0] = 5;
        QVERIFY(test::errorOf([&] { checkImport(path, ImportKind::Customers, o); }).contains("only 2 columns"));
    }
};

ZZ_TEST_MAIN(TestImport)
#include "test_import.moc"
