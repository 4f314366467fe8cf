#pragma once
// The invoice printout: letterhead with logo, the company's and the customer's particulars, one
// row per invoice line, and the sub-total, VAT and total in a ruled box; the company's members
// at the foot of every page.
#include <QByteArray>
#include <memory>
#include <optional>

#include "data/Money.h"
#include "reports/engine/ReportDefinition.h"

namespace zz::report {

// `lines` is the invoice report query (one row per line of one invoice, with its header,
// customer and product); `company` the company row, read where it stands. The money masks of
// QRExpr1 (sub-total), QRExpr2 (VAT) and QRExpr3 (total) are empty until the caller sets them.
std::unique_ptr<Report> buildInvoiceReport(ReportDataset& lines, ReportDataset& company);

// The totals an invoice's e-invoice states: its net amount (the sum of its lines, each rounded to
// the cent), its VAT (that sum at the rate, rounded to the cent) and their sum. Printed in place of
// the sums of the unrounded rows, so that the page and the XML sent with it agree to the cent.
struct StatedTotals {
    Money subTotal, vat, total;
};
// With totals, QRExpr1, QRExpr2 and QRExpr3 print them (through their masks); with none, the sums
// of the rows as always. Stays until set again.
void setStatedTotals(Report& report, const std::optional<StatedTotals>& totals);
// The line in the totals box beside the amounts (QRLabelVATNote): the reason an exempt invoice
// carries no VAT; empty prints nothing. Stays until set again.
void setVatNote(Report& report, const QString& note);

// The payment QR code in the totals box, left of the amounts (QRCodePayment, with "Scan to pay"
// under it): the payload's UTF-8 bytes; empty prints neither. Stays until set again.
void setPaymentCode(Report& report, const QByteArray& payload);
// Where it sits in the summary band (tenths of a millimetre): a square of that side, quiet zone
// included, between the VAT note (which ends at 110.1 mm) and the "@" of the VAT rate (131.2 mm).
constexpr int kPaymentCodeLeft = 1116, kPaymentCodeTop = 8, kPaymentCodeSize = 180;

// "Invoice 57": the print job's name and the proposed PDF file name.
QString invoiceDocumentName(int invoiceNumber);

} // namespace zz::report
