#pragma once
// The customer statement: one customer's open invoices with their age class and amount including
// VAT, the totals per age class (oldest first) and a grand total.
#include <QDateTime>
#include <memory>

#include "reports/engine/ReportDefinition.h"

namespace zz::report {

struct StatementDatasets {
    ReportDataset& invoices; // the statement detail query: one row per open invoice
    ReportDataset& company;  // the company row, for the logo and the name
    // The six one-row class totals.
    ReportDataset& current;
    ReportDataset& days30;
    ReportDataset& days60;
    ReportDataset& days90;
    ReportDataset& days120;
    ReportDataset& days120Plus;
};

// QRLabel8 shows the date and time of the run and QRExpr1 the grand total; the caller sets the
// caption and the mask.
std::unique_ptr<Report> buildStatementReport(const StatementDatasets& data);

// The date and time of a run as QRLabel8 shows it: the regional short date, a blank and the
// regional long time; the date alone at midnight.
QString statementDateText(const QDateTime& when);

// "Statement Acme Ltd 2026-01-31": the customer's name and the date in ISO form.
QString statementDocumentName(const QString& customerName, const QDate& date);

} // namespace zz::report
