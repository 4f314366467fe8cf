#pragma once
// The hidden window holding the revenue report, over the revenue query and the company row.
#include "reports/ReportForm.h"
#include "reports/engine/DataSetAdapter.h"

namespace zz {

class TfrmReportRevenue : public TReportForm {
    Q_OBJECT
public:
    explicit TfrmReportRevenue(QWidget* parent = nullptr);

    // The date range under the title, and the sub-total, VAT and total.
    report::Element* QRLabel2;
    report::Element* QRExpr1;
    report::Element* QRExpr2;
    report::Element* QRExpr3;

private:
    report::DataSetAdapter m_revenue;
    report::DataSetAdapter m_company;
};

extern TfrmReportRevenue* frmReportRevenue;

} // namespace zz
