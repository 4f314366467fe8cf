#pragma once
// The invoice printout: letterhead with logo, the company's and the customer's particulars, one
// row per invoice line, and the sub-total, VAT and total in a ruled box; the company's members
// at the foot of every page.
#include <memory>

#include "reports/engine/ReportDefinition.h"

namespace zz::report {

// `lines` is the invoice report query (one row per line of one invoice, with its header,
// customer and product); `company` the company row, read where it stands. The money masks of
// QRExpr1 (sub-total), QRExpr2 (VAT) and QRExpr3 (total) are empty until the caller sets them.
std::unique_ptr<Report> buildInvoiceReport(ReportDataset& lines, ReportDataset& company);

// "Invoice 57": the print job's name and the proposed PDF file name.
QString invoiceDocumentName(int invoiceNumber);

} // namespace zz::report
