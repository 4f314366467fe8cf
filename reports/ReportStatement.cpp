#include "reports/ReportStatement.h"

#include "data/DataMod.h"
#include "reports/documents/StatementReport.h"

namespace zz {

TfrmReportStatement* frmReportStatement = nullptr;

TfrmReportStatement::TfrmReportStatement(QWidget* parent)
    : TReportForm(QStringLiteral("Statement Report"), QStringLiteral("frmReportStatement"), parent),
      m_invoices(DataModule1->qryStatementDetail), m_company(DataModule1->tblCompany),
      m_current(DataModule1->qryStatCurrent), m_30(DataModule1->qryStat30), m_60(DataModule1->qryStat60),
      m_90(DataModule1->qryStat90), m_120(DataModule1->qryStat120), m_120Plus(DataModule1->qryStat120Plus)
{
    setReport(report::buildStatementReport({m_invoices, m_company, m_current, m_30, m_60, m_90, m_120, m_120Plus}));
    QRLabel8 = element(QStringLiteral("QRLabel8"));
    QRExpr1 = element(QStringLiteral("QRExpr1"));
}

} // namespace zz
