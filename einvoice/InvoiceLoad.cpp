#include "einvoice/InvoiceRows.h"

#include "data/Errors.h"
#include "einvoice/PaymentCode.h"

namespace zz::einvoice {

namespace {

InvoiceRows rowsWithDetails(int invoiceNumber)
{
    InvoiceRows rows = readInvoiceRows(invoiceNumber);
    rows.companyDetails = loadCompanyEInvoiceDetails();
    if (rows.customerFound)
        rows.customerDetails = loadCustomerEInvoiceDetails(rows.cusCode);
    return rows;
}

} // namespace

QString missingDetailsMessage(int invoiceNumber, const QStringList& problems)
{
    QString list;
    for (int i = 0; i < problems.size(); ++i) {
        if (i > 0)
            list += i == problems.size() - 1 ? QStringLiteral(" and ") : QStringLiteral(", ");
        list += problems.at(i);
    }
    return QStringLiteral("Invoice %1 cannot be written as an e-invoice: it needs %2.").arg(invoiceNumber).arg(list);
}

QStringList missingDetails(int invoiceNumber, Profile profile)
{
    return invoiceProblems(rowsWithDetails(invoiceNumber), profile);
}

PrintoutStatement printoutStatement(int invoiceNumber)
{
    const InvoiceRows rows = rowsWithDetails(invoiceNumber);
    PrintoutStatement out;
    out.missing = invoiceProblems(rows, Profile::EN16931);
    if (!rows.invoiceFound)
        return out;
    const Invoice inv = buildInvoice(rows);
    // The payment code: a company with a name and a sound IBAN, an invoice in euro due above zero.
    const bool payable = !rows.lines.empty() && !inv.seller.name.trimmed().isEmpty() && !inv.iban.isEmpty()
                         && ibanProblem(inv.iban).isEmpty() && inv.currency == QLatin1String("EUR") && Money() < inv.grandTotal
                         && !(Money::fromCount(99999999999LL * 100) < inv.grandTotal);
    if (payable) {
        CreditTransfer transfer;
        transfer.bic = bicProblem(inv.bic).isEmpty() ? inv.bic : QString();
        transfer.name = inv.seller.name;
        transfer.iban = inv.iban;
        transfer.amount = inv.grandTotal;
        transfer.remittance = QStringLiteral("Invoice %1").arg(invoiceNumber);
        out.paymentCode = epcPayload(transfer);
    }
    if (out.statesTotals()) {
        out.subTotal = inv.lineTotal;
        out.vat = inv.vatTotal;
        out.total = inv.grandTotal;
    }
    if (inv.vatCategory == QLatin1String("E"))
        out.vatNote = inv.exemptionReason;
    return out;
}

Invoice loadInvoice(int invoiceNumber, Profile profile)
{
    const InvoiceRows rows = rowsWithDetails(invoiceNumber);
    const QStringList problems = invoiceProblems(rows, profile);
    if (!problems.isEmpty())
        throw Exception(missingDetailsMessage(invoiceNumber, problems));
    return buildInvoice(rows);
}

} // namespace zz::einvoice
