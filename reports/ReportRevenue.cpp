#include "reports/ReportRevenue.h"

#include "data/DataMod.h"
#include "reports/documents/RevenueReport.h"

namespace zz {

TfrmReportRevenue* frmReportRevenue = nullptr;

TfrmReportRevenue::TfrmReportRevenue(QWidget* parent)
    : TReportForm(QStringLiteral(" Customer Revenue Report"), QStringLiteral("frmReportRevenue"), parent),
      m_revenue(DataModule1->qryReportRevenue), m_company(DataModule1->tblCompany)
{
    setReport(report::buildRevenueReport(m_revenue, m_company));
    QRLabel2 = element(QStringLiteral("QRLabel2"));
    QRExpr1 = element(QStringLiteral("QRExpr1"));
    QRExpr2 = element(QStringLiteral("QRExpr2"));
    QRExpr3 = element(QStringLiteral("QRExpr3"));
}

} // namespace zz
