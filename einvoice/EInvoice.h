#pragma once
// An invoice as the EN 16931 e-invoice carries it, read from the same rows the invoice printout
// prints (qryInvReport, the company and customer rows and their e-invoicing details), and written
// as UN/CEFACT Cross Industry Invoice XML (the EN 16931 profile, or XRechnung 3.0). Amounts are
// money (ten-thousandths, exact): line net amounts rounded to the cent, their sum the total net,
// the VAT from its basis and rate, every total adding up to the cent.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "data/EInvoiceDetails.h"
#include "data/Money.h"

namespace zz::einvoice {

struct Party {
    QString name;
    QStringList addressLines; // as the books hold them, in order, blanks left out
    // The address as the books use its three fields: street (Address 1), city (Address 2) and
    // postal code (Address 3, ten characters).
    QString street, city, postcode;
    QString legalId;          // the company's registration number
    QString country;          // ISO 3166-1 alpha-2
    QString vatId;
    QString taxNumber;
    QString email;            // electronic address
    QString phone;
    QString contact;
};

struct Line {
    int lineNumber = 0;       // Line_Number
    QString productCode;      // Prod_Code
    QString description;      // Prod_Description (an invoice with a line whose product was deleted is refused)
    qint64 units = 0;         // Line_Units
    int discountPercent = 0;  // Line_Discount
    Money grossPrice;         // Line_Price
    Money netPrice;           // Line_Discount_Price
    Money netAmount;          // netPrice x units, rounded to the cent
};

struct Invoice {
    enum class Type { Invoice = 380, CreditNote = 381 };
    Type type = Type::Invoice;
    QString number;           // "57"
    QDate issueDate;
    QDate dueDate;            // invalid when no payment terms
    QString orderNumber;      // buyer's order reference
    QString currency;         // ISO 4217
    QString paymentTermsText;
    QString iban, bic;
    QString buyerReference;
    Party seller, buyer;
    double vatRate = 0;       // percent, from Inv_VAT
    QString vatCategory;      // "S", "Z" or "E"
    QString exemptionReason;  // for "E"
    std::vector<Line> lines;
    Money lineTotal;          // sum of the lines' net amounts
    Money vatTotal;           // lineTotal x rate, rounded to the cent
    Money grandTotal;         // lineTotal + vatTotal (= amount due)
    // For a credit note: the invoice it takes back.
    QString precedingNumber;
    QDate precedingDate;
};

enum class Profile { EN16931, XRechnung };

// Reads the invoice with its lines and details from the open book (through the data module's
// company row where the data module exists). Throws an Exception whose message names, in one
// sentence, every e-invoicing detail that is missing or wrong. XRechnung asks for more than
// EN 16931 (the buyer reference, the company's phone, city and postal code, an IBAN, the
// customer's e-mail address, city and postal code).
Invoice loadInvoice(int invoiceNumber, Profile profile = Profile::EN16931);
// The details missing for an e-invoice of that invoice (empty when it can be written), each as
// the user knows it ("the company's country", "the customer's e-mail address"). Also names what
// keeps the invoice from being one (no such invoice, no lines, a line whose product was deleted,
// a wrong IBAN, totals that do not add up).
QStringList missingDetails(int invoiceNumber, Profile profile = Profile::EN16931);
// The one sentence loadInvoice throws for those problems.
QString missingDetailsMessage(int invoiceNumber, const QStringList& problems);

// What the invoice printout takes from the e-invoice, read in one pass over the book. When the
// e-invoice can be written (missing is empty), the printout prints its totals instead of the sums
// of the unrounded rows, so that the page and the XML agree to the cent on every copy of the
// invoice, on paper and in the hybrid PDF alike; otherwise it prints as always. The exemption
// reason of an exempt invoice prints whenever the company's details make the invoice exempt.
// When the company has a sound IBAN and the invoice is in euro (and due above zero), the printout
// also carries the payment QR code for its total; it then prints the e-invoice's totals even
// when details are missing, so that the code asks for exactly the Total on the page.
struct PrintoutStatement {
    QStringList missing; // as missingDetails gives it (EN 16931)
    Money subTotal, vat, total;
    QString vatNote;
    QByteArray paymentCode; // the code's payload; empty: no code
    bool statesTotals() const { return missing.isEmpty() || !paymentCode.isEmpty(); }
};
PrintoutStatement printoutStatement(int invoiceNumber);

// The CII XML of the invoice, UTF-8.
QByteArray writeCii(const Invoice& invoice, Profile profile);

} // namespace zz::einvoice
