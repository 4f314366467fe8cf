// The demonstration book with e-invoicing details: its company and every customer have details
// that pass the program's own checks, the customers alternate between Germany and South Africa
// with addresses and buyer references of their countries, and its cancelled invoices have their
// credit notes; without the option the book has none of these.
#include <QSqlQuery>

#include "data/EInvoiceDetails.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "tests/support/TestSupport.h"
#include "tools/demo_db/DemoDb.h"

using namespace zz;

class TestDemoEInvoicing : public QObject {
    Q_OBJECT

    static demo::DemoSize small(const QString& eInvoicing)
    {
        demo::DemoSize size{12, 5, 30, 80, 3, eInvoicing};
        return size;
    }

private slots:
    void everyInvoiceOfTheBookHasItsDetails_data()
    {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("currency");
        QTest::newRow("German company") << "DE" << "EUR";
        QTest::newRow("South African company") << "ZA" << "ZAR";
    }
    void everyInvoiceOfTheBookHasItsDetails()
    {
        QFETCH(QString, country);
        QFETCH(QString, currency);
        test::TempHome home;
        const QString file = home.path() + "/demo.db";
        QCOMPARE(demo::writeDemoDatabase(file, small(country)), QString());
        AliasConfig alias;
        alias.driver = "QSQLITE";
        alias.database = file;
        Engine::open(alias);

        const auto company = loadCompanyEInvoiceDetails();
        QVERIFY(company);
        QCOMPARE(company->country, country);
        QCOMPARE(company->currency, currency);
        QVERIFY(company->currencyOverridden);
        QVERIFY(!company->vatId.isEmpty() && !company->email.isEmpty() && company->paymentTermsDays == 30);
        QCOMPARE(companyDetailsProblem(*company), QString());
        if (country == "DE")
            QVERIFY(!company->iban.isEmpty() && ibanProblem(company->iban).isEmpty());

        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("SELECT Cus_Code, Cus_Address3, Cus_VAT_No FROM Customer ORDER BY Cus_Code"));
        int customers = 0;
        while (q.next()) {
            const int code = q.value(0).toInt();
            const auto details = loadCustomerEInvoiceDetails(code);
            QVERIFY2(details, qPrintable(QString::number(code)));
            QCOMPARE(customerDetailsProblem(*details), QString());
            const bool german = code % 2 == 1;
            QCOMPARE(details->country, QString(german ? "DE" : "ZA"));
            QVERIFY(!details->buyerReference.isEmpty());
            QCOMPARE(q.value(1).toString().size(), german ? 5 : 4); // the postal code of the country
            if (german)
                QVERIFY(q.value(2).toString().startsWith("DE"));
            ++customers;
        }
        QCOMPARE(customers, 12);
        // Every invoice is of a customer with details.
        QCOMPARE(test::storedValue("SELECT COUNT(*) FROM Invoice WHERE Cus_Code NOT IN (SELECT Cus_Code FROM CustomerEInvoicing)").toInt(), 0);
        // Every cancelled invoice has its credit note, no other has one, numbered 1, 2, ... with
        // the counter after the last.
        QCOMPARE(checkCreditNoteTables(Engine::database()), OptionalTables::Complete);
        const int cancelled = test::storedValue("SELECT COUNT(*) FROM Invoice WHERE Inv_Cancelled = 'YES'").toInt();
        QVERIFY(cancelled > 0);
        QCOMPARE(test::storedValue("SELECT COUNT(*) FROM CreditNote C JOIN Invoice I ON I.Inv_Number = C.Inv_Number "
                                   "WHERE I.Inv_Cancelled = 'YES'").toInt(), cancelled);
        QCOMPARE(test::storedValue("SELECT COUNT(*) FROM CreditNote").toInt(), cancelled);
        QCOMPARE(test::storedValue("SELECT MAX(CN_Number) FROM CreditNote").toInt(), cancelled);
        QCOMPARE(test::storedValue("SELECT CN_Next_No FROM CreditNoteCounter").toInt(), cancelled + 1);
        Engine::close();
    }

    void withoutTheOptionTheBookHasNoDetails()
    {
        test::TempHome home;
        const QString file = home.path() + "/plain.db";
        QCOMPARE(demo::writeDemoDatabase(file, small(QString())), QString());
        QCOMPARE(demo::writeDemoDatabase(home.path() + "/x.db", small("FR")), QString("the e-invoicing company is in DE or ZA, not FR"));
        AliasConfig alias;
        alias.driver = "QSQLITE";
        alias.database = file;
        Engine::open(alias);
        QCOMPARE(checkEInvoicingTables(Engine::database()), OptionalTables::Absent);
        QCOMPARE(checkCreditNoteTables(Engine::database()), OptionalTables::Absent);
        QVERIFY(!loadCompanyEInvoiceDetails());
        Engine::close();
    }
};

ZZ_TEST_MAIN(TestDemoEInvoicing)
#include "test_demo_einvoicing.moc"
