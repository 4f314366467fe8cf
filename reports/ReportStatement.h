#pragma once
// The hidden window holding the customer statement, over the statement detail query, the six
// class totals and the company row.
#include "reports/ReportForm.h"
#include "reports/engine/DataSetAdapter.h"

namespace zz {

class TfrmReportStatement : public TReportForm {
    Q_OBJECT
public:
    explicit TfrmReportStatement(QWidget* parent = nullptr);

    // The date and time of the run, and the grand total.
    report::Element* QRLabel8;
    report::Element* QRExpr1;

private:
    report::DataSetAdapter m_invoices;
    report::DataSetAdapter m_company;
    report::DataSetAdapter m_current, m_30, m_60, m_90, m_120, m_120Plus;
};

extern TfrmReportStatement* frmReportStatement;

} // namespace zz
