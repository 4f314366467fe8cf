#pragma once
// The details an EN 16931 e-invoice needs that the six tables do not hold: the company's country,
// tax identifiers, electronic address, bank account, payment terms, currency and VAT category, and
// each customer's country, buyer reference and electronic address. They live in tables of their
// own, made in a book the first time the user saves such details; a book without them works as
// before, and every load below then answers "none".
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zz {

struct CompanyEInvoiceDetails {
    QString country;          // ISO 3166-1 alpha-2, upper case ("DE", "ZA")
    QString vatId;            // VAT identifier with its country prefix ("DE123456789"); empty when none
    QString taxNumber;        // the seller's tax registration number, when there is no VAT identifier
    QString email;            // the seller's electronic address and contact e-mail
    QString iban;             // upper case, no blanks; empty when none
    QString bic;              // optional
    int paymentTermsDays = 0; // the due date is the invoice date plus these days
    QString paymentTermsText; // printed and sent as the payment terms ("Net 30 days")
    QString currency;         // ISO 4217 ("EUR", "ZAR"); the regional settings' unless the user overrides it
    // Whether currency is the user's own choice; when not, the book stores none and currency
    // follows the regional settings (regionalCurrency()).
    bool currencyOverridden = false;
    // The VAT category of the invoices: "S" when the rate is above zero; at a zero rate "Z"
    // (zero-rated) or "E" (exempt, with the reason that then prints and goes into the e-invoice).
    QString zeroRateCategory = QStringLiteral("Z");
    QString exemptionReason;
};

struct CustomerEInvoiceDetails {
    int cusCode = 0;
    QString country;           // ISO 3166-1 alpha-2
    QString buyerReference;    // the German public buyers' routing id (Leitweg-ID) goes here
    QString electronicAddress; // e-mail address; the customer's Cus_Email when left empty
};

// The company's details; none when the book has no such table or row.
std::optional<CompanyEInvoiceDetails> loadCompanyEInvoiceDetails();
// One customer's details; none when the book has no such table or row for the customer.
std::optional<CustomerEInvoiceDetails> loadCustomerEInvoiceDetails(int cusCode);

// Checks every field and writes them all in one transaction, or throws with a message naming the
// first field that is wrong and writes nothing. Makes the tables first when the book lacks them
// (after the day's backup of a local book).
void saveCompanyEInvoiceDetails(const CompanyEInvoiceDetails& details);
void saveCustomerEInvoiceDetails(const CustomerEInvoiceDetails& details);

// Field checks, each empty when the value is sound, else one sentence naming the field.
QString ibanProblem(const QString& iban);       // ISO 13616: country, length, check digits (mod 97)
QString countryProblem(const QString& code);    // ISO 3166-1 alpha-2
QString currencyProblem(const QString& code);   // ISO 4217 alphabetic
// The IBAN as stored: blanks removed, upper case.
QString normalisedIban(const QString& iban);
QString emailProblem(const QString& address, const QString& field); // name@domain.tld; field as the user knows it
QString bicProblem(const QString& bic);          // ISO 9362: 8 or 11 characters
QString vatIdProblem(const QString& vatId);      // two letters of the country, then 2 to 13 letters or digits

// Every field of the details, checked as the save checks them: empty when all are sound, else
// one sentence naming the first field that is wrong.
QString companyDetailsProblem(const CompanyEInvoiceDetails& details);
QString customerDetailsProblem(const CustomerEInvoiceDetails& details);

// The currency's ISO 4217 code from the regional settings.
QString regionalCurrency();
// Whether the open book holds the e-invoicing tables (throws when they are damaged).
bool hasEInvoicingTables();

// For tests: called inside the saving transaction after each of its steps ("tables" when the
// tables were made, "row" when the row was written); a test throws from it to see that a save
// failing half-way stores nothing. None is set in the program.
void setEInvoiceSaveProbe(std::function<void(const char* step)> probe);

} // namespace zz
