#include "reports/ReportInv.h"

#include "data/DataMod.h"
#include "reports/documents/InvoiceReport.h"

namespace zz {

TfrmReportInv* frmReportInv = nullptr;

TfrmReportInv::TfrmReportInv(QWidget* parent)
    : TReportForm(QStringLiteral("Print Invoice"), QStringLiteral("frmReportInv"), parent),
      m_lines(DataModule1->qryInvReport), m_company(DataModule1->tblCompany)
{
    setReport(report::buildInvoiceReport(m_lines, m_company));
    QRExpr1 = element(QStringLiteral("QRExpr1"));
    QRExpr2 = element(QStringLiteral("QRExpr2"));
    QRExpr3 = element(QStringLiteral("QRExpr3"));
}

} // namespace zz
