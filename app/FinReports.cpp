#include "app/FinReports.h"

#include "exchange/ExportBooks.h"
#include "reports/CustomerPicker.h"
#include "reports/DatePicker.h"
#include "widgets/Handlers.h"
#include "widgets/MouseMove.h"
#include "widgets/WindowKit.h"

namespace zz {

TfrmFinReports* frmFinReports = nullptr;

TfrmFinReports::TfrmFinReports(QWidget* parent)
    : TSectionMenu({QStringLiteral("Financial Reports"), 382, 233, 150, {16, 216}, 61, 296,
                    ButtonLayout::blGlyphTop},
                   parent)
{
    setObjectName(QStringLiteral("frmFinReports"));
    XiPanel2 = clientPanel();
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));
    XiPanel1 = bottomStrip();
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));

    btnDateRevenue = addTaskButton(QStringLiteral("btnDateRevenue"), QStringLiteral("&Date Based Revenue"),
                                   QStringLiteral("date_revenue"),
                                   QStringLiteral("Retrieves Revenue per Customer according to set dates."));
    btnMonthEndStat = addTaskButton(QStringLiteral("btnMonthEndStat"), QStringLiteral("&Month End Statement"),
                                    QStringLiteral("month_end"),
                                    QStringLiteral("Display Customer's current financial position."));
    // One handler clears the help line for both panels and both labels; Close has none.
    for (QWidget* w : {static_cast<QWidget*>(XiPanel2), static_cast<QWidget*>(XiPanel1),
                       static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2)})
        onMouseMove(w, [this] { XiPanel2MouseMove(); });

    connect(btnDateRevenue, &TXiButton::clicked, this, command(this, &TfrmFinReports::btnDateRevenueClick));
    connect(btnMonthEndStat, &TXiButton::clicked, this, command(this, &TfrmFinReports::btnMonthEndStatClick));

    btnExport = makeButton(XiPanel1, QStringLiteral("btnExport"), QStringLiteral("E&xport..."), QStringLiteral("save"),
                           ButtonScheme::csNeoSilver, 16, 8);
    connect(btnExport, &TXiButton::clicked, this, command(this, &TfrmFinReports::btnExportClick));
}

void TfrmFinReports::btnDateRevenueClick() { stackAndRun(frmDatePicker); }
void TfrmFinReports::btnMonthEndStatClick() { stackAndRun(frmCustomerPicker); }
void TfrmFinReports::btnExportClick() { stackAndRun(exportDialog(this)); }

} // namespace zz
