#pragma once
// The hidden window holding the invoice printout, over the invoice report query and the company row.
#include "reports/ReportForm.h"
#include "reports/engine/DataSetAdapter.h"

namespace zz {

class TfrmReportInv : public TReportForm {
    Q_OBJECT
public:
    explicit TfrmReportInv(QWidget* parent = nullptr);

    // The sub-total, the VAT and the total; their masks are set before each preview.
    report::Element* QRExpr1;
    report::Element* QRExpr2;
    report::Element* QRExpr3;

private:
    report::DataSetAdapter m_lines;
    report::DataSetAdapter m_company;
};

extern TfrmReportInv* frmReportInv;

} // namespace zz
