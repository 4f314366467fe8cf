#pragma once
// Invoices as rows, made in the test: a South-African company billing a customer at 15 %, and a
// German company billing a German public buyer, each with complete e-invoicing details.
#include <QDir>
#include <QFile>

#include "data/Money.h"
#include "einvoice/InvoiceRows.h"

namespace zz::test {

inline Money amount(qint64 tenThousandths) { return Money::fromCount(tenThousandths); }

inline einvoice::LineRow lineRow(int number, const QString& code, const QString& description, qint64 units,
                                 qint64 price, int discount)
{
    einvoice::LineRow l;
    l.lineNumber = number;
    l.productCode = code;
    l.description = description;
    l.units = units;
    l.discount = discount;
    l.price = amount(price);
    l.discountPrice = discountedPrice(l.price, discount);
    return l;
}

// Invoice 57: 3 x 19.99 at 15 % discount, 15 % VAT: 50.97, 7.65, 58.62.
inline einvoice::InvoiceRows southAfricanRows()
{
    einvoice::InvoiceRows r;
    r.number = 57;
    r.invoiceFound = r.customerFound = true;
    r.cusCode = 3;
    r.date = QDate(2026, 1, 15);
    r.vatRate = 15;
    r.orderNo = QStringLiteral("PO-77");
    r.cusName = QStringLiteral("Acme Holdings");
    r.cusAddress1 = QStringLiteral("1 Main Road");
    r.cusAddress2 = QStringLiteral("Pretoria");
    r.cusAddress3 = QStringLiteral("0002");
    r.cusPhone = QStringLiteral("012 555 0199");
    r.cusVatNo = QStringLiteral("4999");
    r.cusContact = QStringLiteral("Mary");
    r.cusEmail = QStringLiteral("accounts@acme.example");
    r.company = {QStringLiteral("Zuzevevur Trading"), QStringLiteral("VAT 4100200300"), QStringLiteral("2001/012345/07"),
                 QStringLiteral("011 555 0100"), QStringLiteral("12 Long Street"), QStringLiteral("Johannesburg"),
                 QStringLiteral("2001"), QStringLiteral("J. Doe, A. N. Other")};
    r.lines = {lineRow(1, QStringLiteral("W-1"), QStringLiteral("Widget"), 3, 199900, 15)};
    CompanyEInvoiceDetails c;
    c.country = QStringLiteral("ZA");
    c.vatId = QStringLiteral("ZA4100200300");
    c.email = QStringLiteral("invoices@zuzevevur.example");
    c.paymentTermsDays = 30;
    c.paymentTermsText = QStringLiteral("Net 30 days");
    c.currency = QStringLiteral("ZAR");
    r.companyDetails = c;
    CustomerEInvoiceDetails b;
    b.cusCode = 3;
    b.country = QStringLiteral("ZA");
    r.customerDetails = b;
    return r;
}

// Invoice 58 to a German public buyer, 19 %, paid by SEPA credit transfer.
inline einvoice::InvoiceRows germanRows()
{
    einvoice::InvoiceRows r = southAfricanRows();
    r.number = 58;
    r.vatRate = 19;
    r.cusName = QStringLiteral("Stadtverwaltung Köln");
    r.cusAddress1 = QStringLiteral("Willy-Brandt-Platz 2");
    r.cusAddress2 = QStringLiteral("Köln");
    r.cusAddress3 = QStringLiteral("50679");
    r.cusVatNo = QString();
    r.cusEmail = QStringLiteral("rechnung@stadt-koeln.example");
    r.company = {QStringLiteral("Zuzevevur Handel GmbH"), QStringLiteral("DE 123 456 789"), QStringLiteral("HRB 12345"),
                 QStringLiteral("+49 711 555010"), QStringLiteral("Königstraße 1"), QStringLiteral("Stuttgart"),
                 QStringLiteral("70173"), QStringLiteral("Jörg Weiß")};
    r.companyDetails->country = QStringLiteral("DE");
    r.companyDetails->vatId = QString(); // the "VAT Number" already holds it
    r.companyDetails->taxNumber = QStringLiteral("93815/08152");
    r.companyDetails->email = QStringLiteral("rechnung@zuzevevur.example");
    r.companyDetails->iban = QStringLiteral("DE89 3704 0044 0532 0130 00");
    r.companyDetails->bic = QStringLiteral("COBADEFFXXX");
    r.companyDetails->currency = QStringLiteral("EUR");
    r.companyDetails->paymentTermsDays = 14;
    r.companyDetails->paymentTermsText = QStringLiteral("Zahlbar innerhalb von 14 Tagen");
    r.customerDetails->country = QStringLiteral("DE");
    r.customerDetails->buyerReference = QStringLiteral("05315-12345-67");
    return r;
}

// With ZZ_EINVOICE_DUMP naming a folder, the XML is also written there, for the official
// validation artefacts to be run on it outside the tests.
inline void dumpXml(const QString& name, const QByteArray& xml)
{
    const QByteArray dir = qgetenv("ZZ_EINVOICE_DUMP");
    if (dir.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    QFile f(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".xml"));
    if (f.open(QIODevice::WriteOnly))
        f.write(xml);
}

} // namespace zz::test
