#pragma once
// What an e-invoice is made from, as read from the book: the rows the invoice printout prints
// (the invoice report query and the company row), the invoice's customer code and e-mail address,
// the product codes of its lines (also of lines whose product was deleted, which the printout
// leaves out) and the e-invoicing details. buildInvoice and invoiceProblems are pure, so that
// they are tested on rows made in the test.
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "data/EInvoiceDetails.h"
#include "data/Money.h"
#include "einvoice/EInvoice.h"

namespace zz::einvoice {

struct LineRow {
    int lineNumber = 0;
    QString productCode;
    QString description;
    qint64 units = 0;
    int discount = 0;
    Money price;
    Money discountPrice;
};

struct CompanyRow {
    QString name, vatNo, regNo, tel, address1, address2, address3, members;
};

struct InvoiceRows {
    int number = 0;
    bool invoiceFound = false;  // the invoice header exists
    bool customerFound = false; // its customer still exists
    int cusCode = 0;
    QDate date;
    double vatRate = 0;
    QString orderNo;
    QString cusName, cusAddress1, cusAddress2, cusAddress3, cusPhone, cusVatNo, cusContact, cusEmail;
    CompanyRow company;
    std::vector<LineRow> lines;          // the printed lines, in line-number order
    QStringList deletedProducts;         // codes of the lines the printout leaves out
    std::optional<CompanyEInvoiceDetails> companyDetails;
    std::optional<CustomerEInvoiceDetails> customerDetails;
};

// Reads the rows of one invoice from the open book, without the e-invoicing details. The company
// row is the data module's (where it stands) when the data module exists, else the company
// table's first row. Throws the engine's error.
InvoiceRows readInvoiceRows(int invoiceNumber);

// What is missing or wrong for an e-invoice in that profile; empty when it can be written.
QStringList invoiceProblems(const InvoiceRows& rows, Profile profile);
// The invoice the rows describe (check invoiceProblems first; missing details stay empty).
Invoice buildInvoice(const InvoiceRows& rows);
// Whether the invoice's totals add up as the standard requires: every line's net amount its
// price times its units rounded to the cent, the net total their sum, the VAT the net total at
// the rate rounded to the cent, the grand total their sum. Empty when they do, else what fails.
QString totalsProblem(const Invoice& invoice);

// A VAT identifier as the e-invoice carries it: blanks and dots removed, upper case, when it
// starts with the prefix of the country given (Greece: "EL", Northern Ireland also "XI");
// empty otherwise ("VAT 4999" is none).
QString vatIdentifierFor(const QString& text, const QString& country);

} // namespace zz::einvoice
