// The export: a year's invoices give the revenue report's totals over the same pay dates, and each
// invoice the amounts its printout prints; the ranges pick invoices by date or pay date; customers
// and products exported and imported into a new book come back field for field; a failed export
// leaves the target as it was; the book tool runs the same code from the command line.
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "exchange/Csv.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "exchange/InvoiceAmounts.h"
#include "reports/documents/InvoiceReport.h"
#include "reports/documents/RevenueReport.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/engine/ReportGenerator.h"
#define ZZ_EXPECTED_DIR ""
#include "tests/reports/DocumentCheck.h"
#include "tests/support/TestSupport.h"
#include "tools/demo_db/DemoDb.h"
#include "tools/zzbook/BookExchange.h"
#include "data/Invoices.h"

using namespace zz;
using namespace zz::exchange;

namespace {
void nameBook(const test::TempHome& home, const QString& path)
{
    QDir().mkpath(home.configDir() + "/Zuzevevur");
    QFile ini(home.configDir() + "/Zuzevevur/engine.ini");
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write engine.ini");
    ini.write(("[Zuzevevur]\nDriver=QSQLITE\nDatabase=" + path + "\n").toUtf8());
}

// The rows of an exported file by column name.
struct Table {
    QStringList header;
    std::vector<QStringList> rows;
    QString at(size_t row, const QString& column) const { return rows[row][header.indexOf(column)]; }
};
Table readCsv(const QString& path)
{
    Table t;
    CsvReader reader(path, detectFormat(path));
    CsvRecord r;
    if (reader.next(r))
        t.header = r.fields;
    while (reader.next(r))
        t.rows.push_back(r.fields);
    return t;
}

// The three totals a report printed, through the mask "0.00".
QStringList printedTotals(report::Report& r)
{
    for (const char* name : {"QRExpr1", "QRExpr2", "QRExpr3"})
        r.setMask(QLatin1String(name), QStringLiteral("0.00"));
    report::ReportDocument doc;
    report::generateReport(r, doc);
    // Printed with the regional decimal comma; the files carry a point.
    return (test::textsOf(doc, "QRExpr1") + test::textsOf(doc, "QRExpr2") + test::textsOf(doc, "QRExpr3")).replaceInStrings(",", ".");
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<test::TempHome> m_home;
    std::unique_ptr<TDataModule1> m_dm;
    QString m_book;

private slots:
    void initTestCase()
    {
        m_book = m_dir.filePath("demo.db");
        QCOMPARE(demo::writeDemoDatabase(m_book, demo::DemoSize{300, 80, 3000, 12000}, 7), QString());
        // Texts a file must carry unchanged.
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "zz_prep");
        db.setDatabaseName(m_book);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("UPDATE Customer SET Cus_Name = 'Müller, \"Söhne\" & Co', Cus_Address1 = 'Hof 1\nHinterhaus' "
                       "WHERE Cus_Code = (SELECT MIN(Cus_Code) FROM Customer)"));
        QVERIFY(q.exec("UPDATE Product SET Prod_Description = 'Fräse; 3\" breit', Prod_Price = 1234.5678 "
                       "WHERE Prod_Code = (SELECT MIN(Prod_Code) FROM Product)"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("zz_prep");
    }
    void init()
    {
        setRegional(test::germanRegional());
        m_home = std::make_unique<test::TempHome>();
        nameBook(*m_home, m_book);
        m_dm = std::make_unique<TDataModule1>();
    }
    void cleanup()
    {
        m_dm.reset();
        Engine::close();
        m_home.reset();
    }

    void aYearsInvoicesGiveTheRevenueReportsTotals()
    {
        const QDate first = QDate::fromString(test::storedValue("SELECT MIN(Inv_PayDate) FROM Invoice").toString(), Qt::ISODate);
        QVERIFY(first.isValid());
        const QDate from(first.year() + 1, 1, 1), to(first.year() + 1, 12, 31);
        const QString path = m_dir.filePath("year.csv");
        const qint64 rows = exportCsv(ExportWhat::Invoices, path, {{ExportRange::Kind::PayDates, from, to}});
        const Table t = readCsv(path);
        QCOMPARE(qint64(t.rows.size()), rows);
        QVERIFY2(rows > 300, qPrintable(QString::number(rows)));

        // What a spreadsheet sums over the paid invoices of the file.
        double net = 0, vat = 0, total = 0;
        for (size_t i = 0; i < t.rows.size(); ++i) {
            QCOMPARE(t.at(i, "State"), QStringLiteral("paid"));
            const QDate paid = QDate::fromString(t.at(i, "Inv_PayDate"), Qt::ISODate);
            QVERIFY(paid >= from && paid <= to);
            net += t.at(i, "Net_Exact").toDouble();
            vat += t.at(i, "VAT_Exact").toDouble();
            total += t.at(i, "Total_Exact").toDouble();
        }
        // The revenue report over the same pay dates.
        TQuery* q = m_dm->qryReportRevenue;
        q->Close();
        q->Params(0).SetAsDate(from);
        q->Params(1).SetAsDate(to);
        q->Open();
        report::DataSetAdapter revenue(q), company(m_dm->tblCompany);
        auto report = report::buildRevenueReport(revenue, company);
        const QStringList printed = printedTotals(*report);
        QCOMPARE(printed, (QStringList{centsText(net), centsText(vat), centsText(total)}));
        // The report lists the invoices with lines; the file has those without too, at 0.00.
        const qint64 withoutLines = test::storedValue(
            QStringLiteral("SELECT COUNT(*) FROM Invoice B WHERE Inv_PayDate BETWEEN '%1' AND '%2' AND NOT EXISTS "
                           "(SELECT 1 FROM Line C WHERE C.Inv_Number = B.Inv_Number)")
                .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate))).toLongLong();
        QCOMPARE(qint64(q->RecordCount()), rows - withoutLines);
    }

    void eachInvoiceCarriesTheAmountsItsPrintoutPrints()
    {
        const QString path = m_dir.filePath("invoices.csv");
        exportCsv(ExportWhat::Invoices, path);
        const Table t = readCsv(path);
        QCOMPARE(qint64(t.rows.size()), test::storedValue("SELECT COUNT(*) FROM Invoice").toLongLong());
        QCOMPARE(t.header, exportColumns(ExportWhat::Invoices));
        int compared = 0;
        for (size_t i = 0; i < t.rows.size() && compared < 25; i += 97, ++compared) {
            TQuery* q = m_dm->qryInvReport;
            q->Close();
            q->Params(0).SetAsInteger(t.at(i, "Inv_Number").toInt());
            q->Open();
            report::DataSetAdapter lines(q), company(m_dm->tblCompany);
            auto r = report::buildInvoiceReport(lines, company);
            QCOMPARE(printedTotals(*r), (QStringList{t.at(i, "Net"), t.at(i, "VAT"), t.at(i, "Total")}));
        }
        // States, dates and age classes as the books hold them.
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT Inv_Number, Inv_Date, Inv_PayDate, Inv_Paid, Inv_Cancelled, Inv_Days FROM Invoice ORDER BY Inv_Number"));
        for (size_t i = 0; q.next(); ++i) {
            QCOMPARE(t.at(i, "Inv_Number"), q.value(0).toString());
            QCOMPARE(t.at(i, "Inv_Date"), q.value(1).toString());
            QCOMPARE(t.at(i, "Inv_PayDate"), q.value(2).toString());
            const QString state = q.value(4).toString() == "YES" ? "cancelled" : q.value(3).toString() == "YES" ? "paid" : "open";
            QCOMPARE(t.at(i, "State"), state);
            QCOMPARE(t.at(i, "Inv_Days"), q.value(5).toString());
        }
    }

    void theRangesPickInvoicesAndTheirLines()
    {
        const QDate from(2022, 3, 1), to(2022, 3, 31);
        const QString inv = m_dir.filePath("march.csv"), lines = m_dir.filePath("march-lines.csv");
        const qint64 n = exportCsv(ExportWhat::Invoices, inv, {{ExportRange::Kind::InvoiceDates, from, to}});
        QCOMPARE(n, test::storedValue("SELECT COUNT(*) FROM Invoice WHERE Inv_Date BETWEEN '2022-03-01' AND '2022-03-31'").toLongLong());
        const qint64 l = exportCsv(ExportWhat::Lines, lines, {{ExportRange::Kind::InvoiceDates, from, to}});
        QCOMPARE(l, test::storedValue("SELECT COUNT(*) FROM Line C JOIN Invoice B ON B.Inv_Number = C.Inv_Number "
                                      "WHERE Inv_Date BETWEEN '2022-03-01' AND '2022-03-31'").toLongLong());
        // The lines add up to their invoices' net amounts.
        const Table it = readCsv(inv), lt = readCsv(lines);
        QHash<QString, qint64> byInvoice;
        for (size_t i = 0; i < lt.rows.size(); ++i) {
            const Money net = *Money::fromDoubleChecked(lt.at(i, "Net").toDouble());
            QCOMPARE(lt.at(i, "Line_Price").section('.', 1).size() >= 2, true);
            byInvoice[lt.at(i, "Inv_Number")] += net.count();
        }
        for (size_t i = 0; i < it.rows.size(); ++i)
            QCOMPARE(Money::fromCount(byInvoice.value(it.at(i, "Inv_Number"))), *Money::fromDoubleChecked(it.at(i, "Net_Exact").toDouble()));
        QVERIFY(test::errorOf([&] { exportCsv(ExportWhat::Lines, lines, {{ExportRange::Kind::PayDates, QDate(), to}}); })
                    .contains("both dates"));
    }

    void customersAndProductsComeBackIntoANewBook()
    {
        const QString cus = m_dir.filePath("customers.csv"), prod = m_dir.filePath("products.csv");
        const qint64 customers = exportCsv(ExportWhat::Customers, cus);
        const qint64 products = exportCsv(ExportWhat::Products, prod);
        QByteArray bytes = test::fileBytes(cus);
        QVERIFY(bytes.contains("\"Müller, \"\"Söhne\"\" & Co\",\"Hof 1\nHinterhaus\""));
        QVERIFY(test::fileBytes(prod).contains(",1234.5678\r\n"));

        // Into a new, empty book, by the book tool as a script would.
        const QString fresh = m_dir.filePath("fresh.db");
        m_dm.reset();
        Engine::close();
        QFile::remove(fresh);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "zz_fresh");
            db.setDatabaseName(fresh);
            QVERIFY(db.open());
            createSchema(db);
        }
        QSqlDatabase::removeDatabase("zz_fresh");
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        QCOMPARE(book::runImport({fresh, "customers", cus}, out, err), 0);
        QCOMPARE(book::runImport({fresh, "products", prod}, out, err), 0);
        // A second import of the products leaves them; the customers would come twice, which
        // the books allow (names need not differ).
        QCOMPARE(book::runImport({fresh, "products", prod}, out, err), 0);
        std::fclose(out);
        std::fclose(err);

        const auto rowsOf = [](const QString& file, const QString& sql) {
            QStringList out;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "zz_rows");
                db.setDatabaseName(file);
                db.open();
                QSqlQuery q(db);
                q.exec(sql);
                while (q.next()) {
                    QStringList cells;
                    for (int i = 0; i < q.record().count(); ++i)
                        cells << (q.value(i).isNull() ? "NULL" : q.value(i).toString());
                    out << cells.join('|');
                }
            }
            QSqlDatabase::removeDatabase("zz_rows");
            return out;
        };
        const QString customerSql = "SELECT Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, Cus_Web_Address, Cus_Email, "
                                    "Cus_Phone, Cus_Contact, Cus_VAT_No FROM Customer ORDER BY Cus_Name, Cus_Code";
        const QString productSql = "SELECT Prod_Code, Prod_Description, Prod_Price FROM Product ORDER BY Prod_Code";
        const QStringList before = rowsOf(m_book, customerSql);
        QCOMPARE(before.size(), int(customers));
        QCOMPARE(rowsOf(fresh, customerSql), before);
        QCOMPARE(rowsOf(fresh, productSql), rowsOf(m_book, productSql));
        QCOMPARE(rowsOf(fresh, productSql).size(), int(products));
    }

    void aFailedExportLeavesTheTargetAsItWas()
    {
        const QString path = m_dir.filePath("kept.csv");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("last month's file\r\n");
        }
        int calls = 0;
        const QString error = test::errorOf([&] {
            exportCsv(ExportWhat::Lines, path, {}, [&](qint64) { return ++calls < 2; });
        });
        QVERIFY2(error.contains("stopped"), qPrintable(error));
        QCOMPARE(test::fileBytes(path), QByteArray("last month's file\r\n"));
        QVERIFY(!test::errorOf([&] { exportCsv(ExportWhat::Customers, m_dir.filePath("none/x.csv")); }).isEmpty());
    }

    // It cancels an invoice of the shared book, so it comes after the tests of amounts and states.
    void creditNotesGoOutWithTheAmountsOfTheirInvoices()
    {
        const QString path = m_dir.filePath("creditnotes.csv");
        // A book that never had a credit note gives the header alone.
        const bool hadNone = test::storedValue("SELECT COUNT(*) FROM sqlite_master WHERE name = 'CreditNote'").toInt() == 0;
        if (hadNone)
            QCOMPARE(exportCsv(ExportWhat::CreditNotes, path), qint64(0));
        QCOMPARE(readCsv(path).header, exportColumns(ExportWhat::CreditNotes));

        const int number = test::storedValue(
            "SELECT MIN(Inv_Number) FROM Invoice B WHERE Inv_Cancelled = 'NO' AND Inv_PayDate IS NULL "
            "AND EXISTS (SELECT 1 FROM Line C WHERE C.Inv_Number = B.Inv_Number)").toInt();
        QVERIFY(number > 0);
        const int note = cancelInvoice(number, QStringLiteral("Wrong address; \"sent twice\""));
        QVERIFY(note > 0);
        const QString invoices = m_dir.filePath("invoices-cn.csv");
        exportCsv(ExportWhat::Invoices, invoices);
        const Table inv = readCsv(invoices);
        size_t row = 0;
        while (row < inv.rows.size() && inv.at(row, "Inv_Number") != QString::number(number))
            ++row;
        QVERIFY(row < inv.rows.size());

        QVERIFY(exportCsv(ExportWhat::CreditNotes, path) >= 1);
        const Table t = readCsv(path);
        size_t at = 0;
        while (at < t.rows.size() && t.at(at, "CN_Number") != QString::number(note))
            ++at;
        QVERIFY(at < t.rows.size());
        QCOMPARE(t.at(at, "Inv_Number"), QString::number(number));
        QCOMPARE(t.at(at, "CN_Reason"), QStringLiteral("Wrong address; \"sent twice\""));
        for (const char* column : {"Net", "Inv_VAT", "VAT", "Total", "Inv_Date", "Cus_Name"})
            QCOMPARE(t.at(at, column), inv.at(row, column));
        // By the dates of the invoices they take back.
        const QDate date = QDate::fromString(inv.at(row, "Inv_Date"), Qt::ISODate);
        QVERIFY(exportCsv(ExportWhat::CreditNotes, path, {{ExportRange::Kind::InvoiceDates, date, date}}) >= 1);
        QCOMPARE(exportCsv(ExportWhat::CreditNotes, path, {{ExportRange::Kind::InvoiceDates, date.addYears(-50), date.addYears(-49)}}),
                 qint64(0));
    }

    void theBookToolSaysWhatIsWrong()
    {
        m_dm.reset();
        Engine::close();
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        const QString path = m_dir.filePath("tool.csv");
        QCOMPARE(book::runExport({m_book, "invoices", path, "--pay-dates", "2022-01-01", "2022-12-31"}, out, err), 0);
        QVERIFY(readCsv(path).rows.size() > 0);
        QCOMPARE(book::runExport({m_book, "invoices", path, "--pay-dates", "2022-01-01", "31.12.2022"}, out, err), 2);
        QCOMPARE(book::runExport({m_book, "orders", path}, out, err), 2);
        QCOMPARE(book::runExport({m_dir.filePath("missing.db"), "invoices", path}, out, err), 1);
        // Refused rows: nothing imported unless asked for the rest.
        const QString bad = m_dir.filePath("bad-products.csv");
        {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Code,Description,Price\nNEW1,New one,5\nNEW1,Again,6\n");
        }
        QCOMPARE(book::runImport({m_book, "products", bad}, out, err), 1);
        QCOMPARE(book::runImport({m_book, "products", bad, "--skip-refused"}, out, err), 0);
        std::rewind(err);
        char buffer[4096] = {};
        const size_t got = std::fread(buffer, 1, sizeof buffer - 1, err);
        const QString said = QString::fromUtf8(buffer, qsizetype(got));
        QVERIFY2(said.contains("line 3: the product code NEW1 is repeated; it is on line 2 already."), qPrintable(said));
        QVERIFY2(said.contains("nothing was imported"), qPrintable(said));
        std::fclose(out);
        std::fclose(err);
    }
};

ZZ_TEST_MAIN(TestExport)
#include "test_export.moc"
