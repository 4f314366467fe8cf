// The e-invoicing dialogs, opened where the user finds them: the company's from the company
// dialog, a customer's from the customer list and the customer editor. Wrong fields are refused
// with a message naming them and the dialog keeps what was typed; a save failing half-way stores
// nothing; a book without the tables opens the dialogs empty, one with damaged tables says so.
#include "admin/CompanyAdmin.h"
#include "admin/CompanyEInvoicing.h"
#include "admin/CusAdmin.h"
#include "admin/CustomerEInvoicing.h"
#include "admin/NewCustomer.h"
#include "data/CreditNotes.h"
#include "data/EInvoiceDetails.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "tests/admin/AdminTestUtil.h"

using namespace zz;

namespace {
bool tablesMade() { return test::AdminFixture::stored("SELECT COUNT(*) FROM sqlite_master WHERE name LIKE '%EInvoicing'").toInt() > 0; }

void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    edit->setFocus();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}
} // namespace

class TestEInvoicingDialogs : public QObject {
    Q_OBJECT
    test::AdminFixture fx;

private slots:
    void init()
    {
        fx.setUp();
        setRegional(test::germanRegional());
        frmAdminCompany = new TfrmAdminCompany;
        frmCompanyEInvoicing = new TfrmCompanyEInvoicing;
        frmCusAdmin = new TfrmCusAdmin;
        frmNewCustomer = new TfrmNewCustomer;
        frmCustomerEInvoicing = new TfrmCustomerEInvoicing;
    }
    void cleanup()
    {
        setEInvoiceSaveProbe({});
        for (TForm* f : std::initializer_list<TForm*>{frmCustomerEInvoicing, frmNewCustomer, frmCusAdmin,
                                                      frmCompanyEInvoicing, frmAdminCompany})
            delete f;
        frmCustomerEInvoicing = nullptr;
        frmNewCustomer = nullptr;
        frmCusAdmin = nullptr;
        frmCompanyEInvoicing = nullptr;
        frmAdminCompany = nullptr;
        fx.tearDown();
    }

    void theNextCreditNoteNumberIsSetWithTheDetails()
    {
        test::whileModal(frmCompanyEInvoicing, [&] {
            TfrmCompanyEInvoicing* d = frmCompanyEInvoicing;
            QCOMPARE(d->edtCreditNoteNo->text(), QString("1"));
            retype(d->edtCountry, "DE");
            retype(d->edtCreditNoteNo, "5O");
            d->btnSave->click();
            QVERIFY(fx.boxes().startsWith("Error: The credit note number '5O' is no whole number"));
            QVERIFY(d->isVisible());
            QVERIFY(!tablesMade());
            retype(d->edtCreditNoteNo, "50");
            d->btnSave->click();
            QCOMPARE(fx.boxes(), QString());
        });
        frmCompanyEInvoicing->Execute();
        QCOMPARE(nextCreditNoteNumber(), 50);
        QCOMPARE(loadCompanyEInvoiceDetails()->country, QString("DE"));

        // Once credit note 50 is given, the counter cannot be set back onto it: refused before
        // anything is saved, the dialog keeps what was typed.
        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO CreditNote (CN_Number, Inv_Number, CN_Date) VALUES (50, 1, '2026-12-09')"));
        test::whileModal(frmCompanyEInvoicing, [&] {
            TfrmCompanyEInvoicing* d = frmCompanyEInvoicing;
            QCOMPARE(d->edtCreditNoteNo->text(), QString("51"));
            retype(d->edtCountry, "AT");
            retype(d->edtCreditNoteNo, "50");
            d->btnSave->click();
            QCOMPARE(fx.boxes(), QString("Error: The next credit note number cannot be 50: credit note 50 has been given "
                                         "already, so the next is at least 51."));
            QVERIFY(d->isVisible());
            QCOMPARE(d->edtCreditNoteNo->text(), QString("50"));
            d->btnCancel->click();
        });
        frmCompanyEInvoicing->Execute();
        QCOMPARE(loadCompanyEInvoiceDetails()->country, QString("DE"));
        QCOMPARE(nextCreditNoteNumber(), 51);
    }

    void theCompanyDialogRefusesWrongFieldsAndKeepsWhatWasTyped()
    {
        fx.dm->tblCompany->Edit();
        frmAdminCompany->beginTestModal();
        test::activate(frmAdminCompany);
        QTest::keyClicks(frmAdminCompany->DBEdit2, "DE 123456789");
        bool ran = false;
        test::whileModal(frmCompanyEInvoicing, [&] {
            TfrmCompanyEInvoicing* d = frmCompanyEInvoicing;
            // With none stored: the VAT number as the identifier, its prefix as the country, the
            // currency the regional settings'.
            QCOMPARE(d->edtVATId->text(), QString("DE123456789"));
            QCOMPARE(d->edtCountry->text(), QString("DE"));
            QCOMPARE(d->edtCurrency->text(), QString());
            QCOMPARE(d->edtCurrency->placeholderText(), QString("EUR"));
            QVERIFY(d->edtCountry->hasFocus());
            QVERIFY(!d->edtExemption->isEnabled());

            retype(d->edtEmail, "rechnung@muster.example");
            retype(d->edtIBAN, "DE89 3704 0044 0532 0130 01");
            retype(d->edtPayDays, "30");
            d->btnSave->click();
            QCOMPARE(fx.boxes(), QString("Error: The IBAN DE89 3704 0044 0532 0130 01 is not valid: its check digits do not "
                                         "match the account; a character is wrong or two are swapped."));
            QVERIFY(d->isVisible());
            QCOMPARE(d->edtIBAN->text(), QString("DE89 3704 0044 0532 0130 01"));
            QVERIFY(!tablesMade());

            retype(d->edtIBAN, "DE89 3704 0044 0532 0130 00");
            retype(d->edtCountry, "XX");
            d->btnSave->click();
            QVERIFY(fx.boxes().startsWith("Error: The country code XX is not known"));
            retype(d->edtCountry, "de");
            retype(d->edtPayDays, "3O");
            d->btnSave->click();
            QVERIFY(fx.boxes().startsWith("Error: The payment days '3O' are no whole number"));
            retype(d->edtPayDays, "30");
            // Exempt supplies need their reason.
            d->cmbZeroRate->setCurrentIndex(1);
            QVERIFY(d->edtExemption->isEnabled());
            d->btnSave->click();
            QVERIFY(fx.boxes().startsWith("Error: The exemption reason is needed"));
            QVERIFY(!tablesMade());
            retype(d->edtExemption, "Steuerfrei nach § 4 UStG");
            d->btnSave->click();
            QCOMPARE(fx.boxes(), QString());
            QVERIFY(!d->isVisible());
            ran = true;
        });
        frmAdminCompany->btnEInvoicing->click();
        QVERIFY(ran);
        // The company row (a new one: the table was empty) is still the user's to save or cancel.
        QCOMPARE(fx.dm->tblCompany->State(), DataSetState::Insert);
        QCOMPARE(frmAdminCompany->DBEdit2->text(), QString("DE 123456789"));
        frmAdminCompany->endTestModal();

        const auto stored = loadCompanyEInvoiceDetails();
        QVERIFY(stored);
        QCOMPARE(stored->country, QString("DE"));
        QCOMPARE(stored->iban, QString("DE89370400440532013000"));
        QCOMPARE(stored->paymentTermsDays, 30);
        QCOMPARE(stored->zeroRateCategory, QString("E"));
        QCOMPARE(stored->exemptionReason, QString("Steuerfrei nach § 4 UStG"));
        QVERIFY(!stored->currencyOverridden);

        // Opened again, it shows what is stored; a currency typed overrides the regional one.
        test::whileModal(frmCompanyEInvoicing, [&] {
            TfrmCompanyEInvoicing* d = frmCompanyEInvoicing;
            QCOMPARE(d->edtIBAN->text(), QString("DE89 3704 0044 0532 0130 00"));
            QCOMPARE(d->cmbZeroRate->currentIndex(), 1);
            retype(d->edtCurrency, "chf");
            d->btnSave->click();
        });
        frmCompanyEInvoicing->Execute();
        QCOMPARE(loadCompanyEInvoiceDetails()->currency, QString("CHF"));
    }

    void aSaveFailingHalfWayStoresNothingAndTheDialogStaysOpen()
    {
        setEInvoiceSaveProbe([](const char* step) {
            if (QByteArray(step) == "row")
                throw EDBEngineError("The disk is full.");
        });
        test::whileModal(frmCompanyEInvoicing, [&] {
            TfrmCompanyEInvoicing* d = frmCompanyEInvoicing;
            retype(d->edtCountry, "ZA");
            d->btnSave->click();
            QCOMPARE(fx.boxes(), QString("Error: The disk is full."));
            QVERIFY(d->isVisible());
            QCOMPARE(d->edtCountry->text(), QString("ZA"));
            QVERIFY(!tablesMade());
            setEInvoiceSaveProbe({});
            d->btnSave->click();
            QVERIFY(!d->isVisible());
        });
        frmCompanyEInvoicing->Execute();
        QCOMPARE(loadCompanyEInvoiceDetails()->country, QString("ZA"));
    }

    void aBookWithoutTheTablesOpensEmptyAndDamagedTablesAreReported()
    {
        fx.addCustomer("Acme Ltd");
        test::whileModal(frmCustomerEInvoicing, [&] {
            QCOMPARE(frmCustomerEInvoicing->edtCountry->text(), QString());
            QCOMPARE(frmCustomerEInvoicing->edtBuyerReference->text(), QString());
        });
        frmCustomerEInvoicing->ExecuteForCurrentCustomer();
        QCOMPARE(fx.boxes(), QString());
        QVERIFY(!tablesMade());

        test::runSql("CREATE TABLE CustomerEInvoicing (Cus_Code INTEGER)");
        frmCustomerEInvoicing->ExecuteForCurrentCustomer();
        frmCompanyEInvoicing->Execute();
        const QString shown = fx.boxes();
        QVERIFY2(shown.count("Error: The e-invoicing details of the book") == 2 && shown.contains("CompanyEInvoicing is missing"),
                 qPrintable(shown));
        QVERIFY(!frmCustomerEInvoicing->isVisible() && !frmCompanyEInvoicing->isVisible());
        QCOMPARE(test::AdminFixture::count("Customer"), 1);
    }

    void aCustomersDetailsFromTheListAndTheEditor()
    {
        frmCusAdmin->btnEInvoicing->click();
        QCOMPARE(fx.boxes(), QString("Error: Cannot perform this operation on an empty dataset"));

        fx.addCustomer("Müller GmbH");
        fx.dm->tblCustomer->Edit();
        fx.dm->tblCustomerCus_Email->SetAsString("info@mueller.example");
        fx.dm->tblCustomer->Post();
        test::whileModal(frmCustomerEInvoicing, [&] {
            TfrmCustomerEInvoicing* d = frmCustomerEInvoicing;
            QCOMPARE(d->lblCustomer->text(), QString("Müller GmbH"));
            QCOMPARE(d->edtElectronicAddress->placeholderText(), QString("info@mueller.example"));
            retype(d->edtCountry, "QQ");
            d->btnSave->click();
            QVERIFY(fx.boxes().startsWith("Error: The country code QQ is not known"));
            retype(d->edtCountry, "de");
            retype(d->edtBuyerReference, "04011000-12345-67");
            retype(d->edtElectronicAddress, "einkauf@mueller");
            d->btnSave->click();
            QVERIFY(fx.boxes().startsWith("Error: The electronic address einkauf@mueller is not valid"));
            retype(d->edtElectronicAddress, "");
            d->btnSave->click();
            QVERIFY(!d->isVisible());
        });
        frmCusAdmin->btnEInvoicing->click();
        const int code = fx.dm->tblCustomerCus_Code->AsInteger();
        const auto stored = loadCustomerEInvoiceDetails(code);
        QVERIFY(stored);
        QCOMPARE(stored->country, QString("DE"));
        QCOMPARE(stored->buyerReference, QString("04011000-12345-67"));
        QCOMPARE(stored->electronicAddress, QString());

        // From the editor: a stored customer's details; a new one must be saved first.
        fx.dm->tblCustomer->Edit();
        test::whileModal(frmCustomerEInvoicing, [&] {
            QCOMPARE(frmCustomerEInvoicing->customer(), code);
            QCOMPARE(frmCustomerEInvoicing->edtBuyerReference->text(), QString("04011000-12345-67"));
        });
        frmNewCustomer->btnEInvoicing->click();
        fx.dm->tblCustomer->Cancel();
        fx.dm->tblCustomer->Insert();
        frmNewCustomer->btnEInvoicing->click();
        QCOMPARE(fx.boxes(), QString("Information: Save the new customer first: its e-invoicing details belong to a stored customer."));
        fx.dm->tblCustomer->Cancel();
    }
};

ZZ_TEST_MAIN(TestEInvoicingDialogs)
#include "test_einvoicing_dialogs.moc"
