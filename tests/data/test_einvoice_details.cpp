// The company's and customers' e-invoicing details on both engines: a book without their tables
// opens and answers "none", the first save makes the tables (after the day's backup of a local
// book) and writes everything or nothing, every field is checked with a message naming it, and
// damaged tables give a message instead of a crash while the six tables stay as they were.
#include <QSqlError>
#include <QSqlQuery>

#include "data/Backup.h"
#include "data/DataMod.h"
#include "data/EInvoiceDetails.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Regional.h"
#include "data/Schema.h"
#include "tests/support/PgServer.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
CompanyEInvoiceDetails germanCompany()
{
    CompanyEInvoiceDetails d;
    d.country = QStringLiteral("de");
    d.vatId = QStringLiteral("DE 123456789");
    d.email = QStringLiteral("billing@muster.example");
    d.iban = QStringLiteral("de89 3704 0044 0532 0130 00");
    d.bic = QStringLiteral("COBADEFFXXX");
    d.paymentTermsDays = 30;
    d.paymentTermsText = QStringLiteral("Net 30 days");
    return d;
}

bool tableExists(const QString& name)
{
    for (const QString& t : Engine::database().tables(QSql::Tables))
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int count(const QString& table) { return test::storedValue(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt(); }
} // namespace

class TestEInvoiceDetails : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home;
    std::unique_ptr<TDataModule1> dm;

private slots:
    void initTestCase_data() { test::addEngineColumn(); }
    void init()
    {
        home = std::make_unique<test::TempHome>();
        setRegional(test::germanRegional());
        ZZ_USE_ENGINE();
        dm = std::make_unique<TDataModule1>();
        test::runSql("INSERT INTO Customer (Cus_Name, Cus_Email) VALUES ('Acme Ltd', 'acme@acme.example')");
        test::runSql("INSERT INTO Company (Com_Name, Inv_Start_No) VALUES ('Muster GmbH', 57)");
    }
    void cleanup()
    {
        setEInvoiceSaveProbe({});
        dm.reset();
        home.reset();
        setRegional(RegionalSettings{});
    }

    void fieldChecksNameTheFieldAndWhatIsWrong()
    {
        QVERIFY(ibanProblem("DE89 3704 0044 0532 0130 00").isEmpty());
        QVERIFY(ibanProblem("gb82west12345698765432").isEmpty());
        QCOMPARE(normalisedIban(" de89 3704 0044 0532 0130 00 "), QString("DE89370400440532013000"));
        QVERIFY(ibanProblem("DE88 3704 0044 0532 0130 00").contains("check digits"));
        QVERIFY(ibanProblem("DE89 3704 0044 0532 0310 00").contains("check digits")); // two swapped
        QVERIFY(ibanProblem("DE89 3704 0044 0532 0130 0").contains("has 22 characters, and this one has 21"));
        QVERIFY(ibanProblem("ZA12 3456 7890 1234").contains("ZA is no country whose banks give IBANs"));
        QVERIFY(ibanProblem("DE89-3704").contains("letters and digits only"));
        QVERIFY(ibanProblem("").startsWith("The IBAN"));

        QVERIFY(countryProblem("DE").isEmpty() && countryProblem("za").isEmpty() && countryProblem("AX").isEmpty());
        for (const char* wrong : {"XX", "UK", "EU", "D", "DEU", "1A"})
            QVERIFY2(countryProblem(wrong).contains("country code"), wrong);
        QVERIFY(currencyProblem("EUR").isEmpty() && currencyProblem("zar").isEmpty());
        for (const char* wrong : {"EU", "EURO", "XXX", "ABC"})
            QVERIFY2(currencyProblem(wrong).contains("currency code"), wrong);

        QVERIFY(emailProblem("a.b@example.co.za", "e-mail address").isEmpty());
        for (const char* wrong : {"ab", "a@b", "a b@c.de", "a@@c.de", "@c.de", "a@c..de"})
            QVERIFY2(emailProblem(wrong, "e-mail address").startsWith("The e-mail address"), wrong);
        QVERIFY(bicProblem("DEUTDEFF").isEmpty() && bicProblem("deutdeff500").isEmpty());
        QVERIFY(bicProblem("DEUTDEF").contains("8 or 11"));
        QVERIFY(bicProblem("DEUTQQFF").contains("no country code"));
        QVERIFY(vatIdProblem("DE123456789").isEmpty() && vatIdProblem("EL123456789").isEmpty());
        QVERIFY(vatIdProblem("123456789").contains("two letters of its country"));
        QVERIFY(vatIdProblem("QQ123456789").contains("QQ is no country prefix"));

        // The whole set: the first wrong field is named.
        QVERIFY(companyDetailsProblem(germanCompany()).isEmpty());
        CompanyEInvoiceDetails d = germanCompany();
        d.paymentTermsDays = 3651;
        QVERIFY(companyDetailsProblem(d).contains("payment days are 3651"));
        d = germanCompany();
        d.paymentTermsText = QString(201, 'x');
        QVERIFY(companyDetailsProblem(d).contains("payment terms text is too long: at most 200 characters"));
        d = germanCompany();
        d.paymentTermsText = "Net 30\ndays";
        QVERIFY(companyDetailsProblem(d).contains("payment terms text holds a line break"));
        d = germanCompany();
        d.zeroRateCategory = "E";
        QVERIFY(companyDetailsProblem(d).contains("exemption reason is needed"));
        d.exemptionReason = "Kleinunternehmer, § 19 UStG";
        QVERIFY(companyDetailsProblem(d).isEmpty());
        d.zeroRateCategory = "O";
        QVERIFY(companyDetailsProblem(d).contains("Z (the supplies are zero-rated) or E"));
        d = germanCompany();
        d.currencyOverridden = true;
        d.currency = "EURO";
        QVERIFY(companyDetailsProblem(d).contains("currency code EURO"));

        CustomerEInvoiceDetails c{1, "ZA", "04011000-12345-67", ""};
        QVERIFY(customerDetailsProblem(c).isEmpty());
        c.electronicAddress = "not an address";
        QVERIFY(customerDetailsProblem(c).startsWith("The electronic address"));
        c = {0, "DE", "", ""};
        QVERIFY(customerDetailsProblem(c).contains("Save the customer first"));
    }

    void aBookWithoutTheTablesAnswersNoneAndTheFirstSaveMakesThem()
    {
        QVERIFY(!hasEInvoicingTables());
        QVERIFY(!loadCompanyEInvoiceDetails());
        QVERIFY(!loadCustomerEInvoiceDetails(1));
        QVERIFY(!tableExists("CompanyEInvoicing") && !tableExists("CustomerEInvoicing"));
        // The book check does not ask for them.
        checkSchema(Engine::database());

        saveCompanyEInvoiceDetails(germanCompany());
        QVERIFY(tableExists("CompanyEInvoicing") && tableExists("CustomerEInvoicing"));
        QCOMPARE(checkEInvoicingTables(Engine::database()), OptionalTables::Complete);
        auto d = loadCompanyEInvoiceDetails();
        QVERIFY(d);
        QCOMPARE(d->country, QString("DE"));
        QCOMPARE(d->vatId, QString("DE123456789"));
        QCOMPARE(d->iban, QString("DE89370400440532013000"));
        QCOMPARE(d->bic, QString("COBADEFFXXX"));
        QCOMPARE(d->paymentTermsDays, 30);
        QCOMPARE(d->paymentTermsText, QString("Net 30 days"));
        QCOMPARE(d->zeroRateCategory, QString("Z"));
        // The currency is the regional settings' until the user chooses one.
        QCOMPARE(d->currency, QString("EUR"));
        QVERIFY(!d->currencyOverridden);
        setRegional(test::southAfricanRegional());
        QCOMPARE(loadCompanyEInvoiceDetails()->currency, QString("ZAR"));

        CompanyEInvoiceDetails changed = *d;
        changed.currencyOverridden = true;
        changed.currency = "chf";
        changed.zeroRateCategory = "E";
        changed.exemptionReason = "Exempt under section 12";
        saveCompanyEInvoiceDetails(changed);
        d = loadCompanyEInvoiceDetails();
        QCOMPARE(d->currency, QString("CHF"));
        QVERIFY(d->currencyOverridden);
        QCOMPARE(d->zeroRateCategory, QString("E"));
        QCOMPARE(d->exemptionReason, QString("Exempt under section 12"));
        QCOMPARE(count("CompanyEInvoicing"), 1); // saved again into the same row

        // A customer's details, written and changed.
        saveCustomerEInvoiceDetails({1, "za", " 991-77 ", ""});
        auto c = loadCustomerEInvoiceDetails(1);
        QVERIFY(c);
        QCOMPARE(c->country, QString("ZA"));
        QCOMPARE(c->buyerReference, QString("991-77"));
        QCOMPARE(c->electronicAddress, QString());
        saveCustomerEInvoiceDetails({1, "DE", "04011000-12345-67", "einkauf@acme.example"});
        c = loadCustomerEInvoiceDetails(1);
        QCOMPARE(c->electronicAddress, QString("einkauf@acme.example"));
        QCOMPARE(count("CustomerEInvoicing"), 1);
        QVERIFY(!loadCustomerEInvoiceDetails(2));
        // The six tables are as they were.
        QCOMPARE(count("Customer"), 1);
        QCOMPARE(count("Company"), 1);
        QCOMPARE(test::storedValue("SELECT Cus_Email FROM Customer").toString(), QString("acme@acme.example"));
    }

    void aWrongFieldStoresNothingAndMakesNoTables()
    {
        CompanyEInvoiceDetails d = germanCompany();
        d.iban = "DE88 3704 0044 0532 0130 00";
        QVERIFY(test::errorOf([&] { saveCompanyEInvoiceDetails(d); }).contains("The IBAN DE88 3704 0044 0532 0130 00 is not valid"));
        d = germanCompany();
        d.country = "XX";
        QVERIFY(test::errorOf([&] { saveCompanyEInvoiceDetails(d); }).contains("country code XX is not known"));
        QVERIFY(test::errorOf([] { saveCustomerEInvoiceDetails({1, "QQ", "", ""}); }).contains("country code QQ"));
        QVERIFY(!tableExists("CompanyEInvoicing") && !tableExists("CustomerEInvoicing"));
        // A customer that is not in the book.
        QVERIFY(test::errorOf([] { saveCustomerEInvoiceDetails({42, "DE", "", ""}); }).contains("no longer in the book"));
        QVERIFY(!tableExists("CustomerEInvoicing"));
    }

    void aSaveFailingHalfWayLeavesNothing()
    {
        // After the tables were made: neither table stays.
        setEInvoiceSaveProbe([](const char* step) {
            if (QByteArray(step) == "tables")
                throw EDBEngineError("the disk is full");
        });
        QCOMPARE(test::errorOf([] { saveCompanyEInvoiceDetails(germanCompany()); }), QString("the disk is full"));
        QVERIFY(!tableExists("CompanyEInvoicing") && !tableExists("CustomerEInvoicing"));
        QVERIFY(!loadCompanyEInvoiceDetails());

        // With the tables there: the row written is taken back, the stored one stays.
        setEInvoiceSaveProbe({});
        saveCompanyEInvoiceDetails(germanCompany());
        saveCustomerEInvoiceDetails({1, "DE", "A-1", ""});
        setEInvoiceSaveProbe([](const char* step) {
            if (QByteArray(step) == "row")
                throw EDBEngineError("the connection to the server was lost");
        });
        CompanyEInvoiceDetails d = germanCompany();
        d.iban = "GB82 WEST 1234 5698 7654 32";
        d.paymentTermsDays = 14;
        QVERIFY(!test::errorOf([&] { saveCompanyEInvoiceDetails(d); }).isEmpty());
        QVERIFY(!test::errorOf([] { saveCustomerEInvoiceDetails({1, "ZA", "B-2", ""}); }).isEmpty());
        setEInvoiceSaveProbe({});
        QCOMPARE(loadCompanyEInvoiceDetails()->iban, QString("DE89370400440532013000"));
        QCOMPARE(loadCompanyEInvoiceDetails()->paymentTermsDays, 30);
        QCOMPARE(loadCustomerEInvoiceDetails(1)->buyerReference, QString("A-1"));
        QCOMPARE(count("CompanyEInvoicing"), 1);
    }

    void damagedTablesGiveAMessageAndTheBookStillOpens()
    {
        // Only one of the two tables.
        test::runSql("CREATE TABLE CompanyEInvoicing (Com_Country TEXT)");
        dm.reset();
        dm = std::make_unique<TDataModule1>(); // the book opens as before
        QCOMPARE(dm->tblCustomer->RecordCount(), 1);
        const QString partial = test::errorOf([] { loadCompanyEInvoiceDetails(); });
        QVERIFY2(partial.contains("e-invoicing details of the book") && partial.contains("CustomerEInvoicing is missing"),
                 qPrintable(partial));
        QCOMPARE(test::errorOf([] { saveCustomerEInvoiceDetails({1, "DE", "", ""}); }), partial);
        QCOMPARE(test::errorOf([] { loadCustomerEInvoiceDetails(1); }), partial);

        // Both there, one lacking a field.
        test::runSql("CREATE TABLE CustomerEInvoicing (Cus_Code INTEGER, Cus_Country TEXT, Cus_Buyer_Ref TEXT, Cus_E_Address TEXT)");
        const QString lacking = test::errorOf([] { saveCompanyEInvoiceDetails(germanCompany()); });
        QVERIFY2(lacking.contains("the table CompanyEInvoicing has no field Com_VAT_Id"), qPrintable(lacking));
        QCOMPARE(count("CompanyEInvoicing"), 0);
        QCOMPARE(count("Customer"), 1);
    }

    void theFirstSaveBacksALocalBookUpBeforeMakingTheTables()
    {
        if (test::onServer())
            QSKIP("a server's books are backed up with the server's own tools");
        const QString book = Engine::database().databaseName();
        QVERIFY(backup::list(book).isEmpty());
        saveCustomerEInvoiceDetails({1, "DE", "", ""});
        const auto backups = backup::list(book);
        QCOMPARE(backups.size(), 1);
        // Taken before the tables were made: the backup has none of them.
        {
            QSqlDatabase copy = QSqlDatabase::addDatabase("QSQLITE", "copy");
            copy.setDatabaseName(backups.front().path);
            QVERIFY(copy.open());
            QCOMPARE(checkEInvoicingTables(copy), OptionalTables::Absent);
        }
        QSqlDatabase::removeDatabase("copy");
        // Saving again the same day writes no second backup.
        saveCompanyEInvoiceDetails(germanCompany());
        QCOMPARE(backup::list(book).size(), 1);
    }
};

ZZ_TEST_MAIN(TestEInvoiceDetails)
#include "test_einvoice_details.moc"
