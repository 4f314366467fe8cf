#pragma once
// The financial reports menu: revenue by pay dates and the month-end customer statement.
#include "app/SectionMenu.h"

namespace zz {

class TfrmFinReports : public TSectionMenu {
    Q_OBJECT
public:
    explicit TfrmFinReports(QWidget* parent = nullptr);

    TXiPanel* XiPanel2; // client panel
    TXiPanel* XiPanel1; // bottom strip
    TXiButton* btnDateRevenue;
    TXiButton* btnMonthEndStat;
    // In the bottom strip's free room left of Close: the books taken out as CSV files.
    TXiButton* btnExport;

    void btnDateRevenueClick();
    void btnMonthEndStatClick();
    void btnExportClick();
    void btnCloseClick() { close(); }
    void XiPanel2MouseMove() { ChangeCaption(QString()); }
};

extern TfrmFinReports* frmFinReports;

} // namespace zz
