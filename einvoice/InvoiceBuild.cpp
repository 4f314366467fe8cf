#include "einvoice/Amounts.h"
#include "einvoice/InvoiceRows.h"

#include <QRegularExpression>
#include <limits>

namespace zz::einvoice {

QString vatIdentifierFor(const QString& text, const QString& country)
{
    QString id = text.toUpper();
    id.remove(QRegularExpression(QStringLiteral("[\\s.\\-]")));
    if (country.size() != 2 || id.size() < 4)
        return {};
    QStringList prefixes{country.toUpper()};
    if (prefixes.front() == QLatin1String("GR"))
        prefixes = {QStringLiteral("EL")};
    if (prefixes.front() == QLatin1String("GB"))
        prefixes.push_back(QStringLiteral("XI"));
    for (const QString& prefix : prefixes)
        if (id.startsWith(prefix) && id.mid(2).contains(QRegularExpression(QStringLiteral("^[0-9A-Z+*]+$"))))
            return id;
    return {};
}

namespace {

QStringList addressLines(std::initializer_list<QString> fields)
{
    QStringList lines;
    for (const QString& f : fields)
        if (!f.isEmpty())
            lines.push_back(f);
    return lines;
}

} // namespace

Invoice buildInvoice(const InvoiceRows& rows)
{
    Invoice inv;
    inv.number = QString::number(rows.number);
    inv.issueDate = rows.date;
    inv.orderNumber = rows.orderNo;
    inv.vatRate = rows.vatRate;

    const CompanyEInvoiceDetails company = rows.companyDetails.value_or(CompanyEInvoiceDetails{});
    const CustomerEInvoiceDetails customer = rows.customerDetails.value_or(CustomerEInvoiceDetails{});

    // The due date is the invoice date plus the company's payment days.
    if (rows.date.isValid())
        inv.dueDate = rows.date.addDays(qMax(0, company.paymentTermsDays));
    // Without details of its own, the book's currency is the regional settings'.
    inv.currency = (rows.companyDetails ? company.currency : regionalCurrency()).trimmed().toUpper();
    inv.paymentTermsText = company.paymentTermsText.trimmed();
    inv.iban = company.iban.toUpper().remove(QRegularExpression(QStringLiteral("\\s")));
    inv.bic = company.bic.trimmed().toUpper();
    inv.buyerReference = customer.buyerReference.trimmed();

    Party& s = inv.seller;
    s.name = rows.company.name;
    s.street = rows.company.address1;
    s.city = rows.company.address2;
    s.postcode = rows.company.address3;
    s.addressLines = addressLines({s.street, s.city, s.postcode});
    s.country = company.country.toUpper();
    s.vatId = vatIdentifierFor(company.vatId, s.country);
    if (s.vatId.isEmpty()) // the company's own "VAT Number" may already carry the prefix
        s.vatId = vatIdentifierFor(rows.company.vatNo, s.country);
    s.taxNumber = company.taxNumber.trimmed();
    s.legalId = rows.company.regNo;
    s.email = company.email.trimmed();
    s.phone = rows.company.tel;
    s.contact = rows.company.members.isEmpty() ? rows.company.name : rows.company.members;

    Party& b = inv.buyer;
    b.name = rows.cusName;
    b.street = rows.cusAddress1;
    b.city = rows.cusAddress2;
    b.postcode = rows.cusAddress3;
    b.addressLines = addressLines({b.street, b.city, b.postcode});
    b.country = customer.country.toUpper();
    b.vatId = vatIdentifierFor(rows.cusVatNo, b.country);
    b.email = customer.electronicAddress.trimmed().isEmpty() ? rows.cusEmail : customer.electronicAddress.trimmed();
    b.phone = rows.cusPhone;
    b.contact = rows.cusContact;

    // Standard rate above zero; at zero the company says zero-rated or exempt.
    if (rows.vatRate > 0) {
        inv.vatCategory = QStringLiteral("S");
    } else {
        inv.vatCategory = company.zeroRateCategory == QLatin1String("E") ? QStringLiteral("E") : QStringLiteral("Z");
        if (inv.vatCategory == QLatin1String("E"))
            inv.exemptionReason = company.exemptionReason.trimmed();
    }

    for (const LineRow& r : rows.lines) {
        Line line;
        line.lineNumber = r.lineNumber;
        line.productCode = r.productCode;
        line.description = r.description;
        line.units = r.units;
        line.discountPercent = r.discount;
        line.grossPrice = r.price;
        line.netPrice = r.discountPrice;
        line.netAmount = lineNetAmount(r.discountPrice, r.units).value_or(Money());
        inv.lines.push_back(line);
        inv.lineTotal = inv.lineTotal + line.netAmount;
    }
    inv.vatTotal = vatAmount(inv.lineTotal, rateTenThousandths(rows.vatRate).value_or(0));
    inv.grandTotal = inv.lineTotal + inv.vatTotal;
    return inv;
}

QString totalsProblem(const Invoice& invoice)
{
    // Worked out again from the prices and units alone, in 128 bits, so that an overflow or a
    // line changed on the way shows.
    __int128 net = 0;
    for (const Line& line : invoice.lines) {
        const std::optional<Money> amount = lineNetAmount(line.netPrice, line.units);
        if (!amount)
            return QStringLiteral("the amount of line %1 is too large").arg(line.lineNumber);
        if (*amount != line.netAmount)
            return QStringLiteral("the amount of line %1 is not its price times its units").arg(line.lineNumber);
        net += amount->count();
    }
    if (net > std::numeric_limits<qint64>::max() / 2 || net < std::numeric_limits<qint64>::min() / 2)
        return QStringLiteral("the invoice's total is too large");
    if (net != invoice.lineTotal.count())
        return QStringLiteral("the invoice's sub-total is not the sum of its lines");
    const std::optional<qint64> rate = rateTenThousandths(invoice.vatRate);
    if (!rate || *rate < 0)
        return QStringLiteral("the invoice's VAT rate is not a rate");
    if (vatAmount(invoice.lineTotal, *rate) != invoice.vatTotal)
        return QStringLiteral("the invoice's VAT is not its sub-total at its rate");
    if (invoice.lineTotal + invoice.vatTotal != invoice.grandTotal)
        return QStringLiteral("the invoice's total is not its sub-total plus its VAT");
    return {};
}

} // namespace zz::einvoice
