#pragma once
// The revenue report: the invoices paid within a range of pay dates, one row per invoice with its
// customer and its amount before VAT, and the sub-total, VAT and total.
#include <QDate>
#include <memory>

#include "reports/engine/ReportDefinition.h"

namespace zz::report {

// `revenue` is the revenue query (Inv_Number, Cus_Name, Inv_VAT, Total per paid invoice);
// `company` the company row for the logo. QRLabel2 shows the date range and QRExpr1..3 the
// totals; the caller sets the caption and the masks.
std::unique_ptr<Report> buildRevenueReport(ReportDataset& revenue, ReportDataset& company);

// "Revenue 2026-01-01 to 2026-01-31": the dates in ISO form, whatever the regional order.
QString revenueDocumentName(const QDate& start, const QDate& end);

} // namespace zz::report
