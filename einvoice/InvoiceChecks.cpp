#include "einvoice/Amounts.h"
#include "einvoice/InvoiceRows.h"

namespace zz::einvoice {

namespace {

// "The IBAN's check digits are wrong." -> "the IBAN's check digits are wrong"
QString reason(QString sentence)
{
    sentence = sentence.trimmed();
    while (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    if (!sentence.isEmpty() && sentence.size() > 1 && sentence.at(1).isLower())
        sentence[0] = sentence.at(0).toLower();
    return sentence;
}

void need(QStringList& out, bool missing, const QString& what)
{
    if (missing)
        out.push_back(what);
}

// A value that must be there and be sound: missing names it, wrong names it with the reason.
void needValid(QStringList& out, const QString& value, const QString& what, QString (*problem)(const QString&))
{
    if (value.trimmed().isEmpty()) {
        out.push_back(what);
        return;
    }
    const QString p = problem(value.trimmed());
    if (!p.isEmpty())
        out.push_back(QStringLiteral("%1 (%2)").arg(what, reason(p)));
}

void needEmail(QStringList& out, const QString& address, const QString& what)
{
    if (address.isEmpty()) {
        out.push_back(what);
        return;
    }
    const QString p = emailProblem(address, QStringLiteral("e-mail address"));
    if (!p.isEmpty())
        out.push_back(QStringLiteral("%1 (%2)").arg(what, reason(p)));
}

} // namespace

QStringList invoiceProblems(const InvoiceRows& rows, Profile profile)
{
    QStringList out;
    if (!rows.invoiceFound)
        return {QStringLiteral("an invoice numbered %1").arg(rows.number)};
    if (!rows.customerFound)
        return {QStringLiteral("the invoice's customer (it was deleted)")};
    for (const QString& code : rows.deletedProducts)
        out.push_back(QStringLiteral("the product \"%1\" of one of its lines (it was deleted; add it again under that code)").arg(code));
    if (rows.lines.empty() && rows.deletedProducts.isEmpty())
        out.push_back(QStringLiteral("at least one line"));

    const bool xr = profile == Profile::XRechnung;
    const Invoice inv = buildInvoice(rows);
    const CompanyEInvoiceDetails company = rows.companyDetails.value_or(CompanyEInvoiceDetails{});
    const CustomerEInvoiceDetails customer = rows.customerDetails.value_or(CustomerEInvoiceDetails{});

    // The company.
    need(out, rows.company.name.isEmpty(), QStringLiteral("the company's name"));
    needValid(out, company.country, QStringLiteral("the company's country"), &countryProblem);
    if (!company.vatId.trimmed().isEmpty() && inv.seller.vatId.isEmpty())
        out.push_back(QStringLiteral("the company's VAT identifier (it must start with the country's prefix, as %1)")
                          .arg((company.country.isEmpty() ? QStringLiteral("DE") : company.country.toUpper()) + QStringLiteral("123456789")));
    else
        need(out, inv.seller.vatId.isEmpty() && inv.seller.taxNumber.isEmpty(),
             QStringLiteral("the company's VAT identifier or tax number"));
    needEmail(out, inv.seller.email, QStringLiteral("the company's e-mail address"));
    needValid(out, inv.currency, QStringLiteral("the company's currency"), &currencyProblem);
    if (xr) {
        need(out, inv.seller.street.isEmpty(), QStringLiteral("the company's address"));
        need(out, inv.seller.city.isEmpty(), QStringLiteral("the company's city"));
        need(out, inv.seller.postcode.isEmpty(), QStringLiteral("the company's postal code"));
        need(out, inv.seller.phone.isEmpty(), QStringLiteral("the company's phone number"));
        needValid(out, company.iban, QStringLiteral("the company's IBAN"), &ibanProblem);
    } else if (!company.iban.trimmed().isEmpty()) {
        needValid(out, company.iban, QStringLiteral("the company's IBAN"), &ibanProblem);
    }
    if (inv.vatCategory == QLatin1String("E"))
        need(out, inv.exemptionReason.isEmpty(), QStringLiteral("the reason for the VAT exemption"));
    if (rows.vatRate < 0)
        out.push_back(QStringLiteral("a VAT rate of zero or more on the invoice"));

    // The customer.
    need(out, inv.buyer.name.isEmpty(), QStringLiteral("the customer's name"));
    needValid(out, customer.country, QStringLiteral("the customer's country"), &countryProblem);
    if (xr) {
        need(out, inv.buyerReference.isEmpty(), QStringLiteral("the customer's buyer reference"));
        needEmail(out, inv.buyer.email, QStringLiteral("the customer's e-mail address"));
        need(out, inv.buyer.city.isEmpty(), QStringLiteral("the customer's city (Address 2)"));
        need(out, inv.buyer.postcode.isEmpty(), QStringLiteral("the customer's postal code (Address 3)"));
    }

    if (!inv.lines.empty()) {
        const QString totals = totalsProblem(inv);
        if (!totals.isEmpty())
            out.push_back(QStringLiteral("totals that add up (%1)").arg(totals));
    }
    return out;
}

} // namespace zz::einvoice
