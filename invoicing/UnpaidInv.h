#pragma once
// The unpaid invoices window: every invoice neither paid nor cancelled, across all customers, in
// customer name and then invoice number order. "&Pay" stamps the selected invoice paid today;
// "&Advance All" moves every listed invoice one age class on (CURRENT, 30, 60, 90, 120, 120+).
#include "invoicing/QueryListForm.h"

namespace zz {

class TfrmUnpaidInv : public TQueryListForm {
    Q_OBJECT
public:
    explicit TfrmUnpaidInv(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // heading
    QLabel* Label1;
    TXiPanel* XiPanel2; // button bar
    TXiButton* btnPay;
    TXiButton* btnPayPeriod;

    // Asks, then stamps the invoice under the grid's cursor paid with today's date and reloads the
    // list, which it leaves; the cursor is back on the first row. With no invoice listed, Yes
    // changes nothing.
    void btnPayClick();
    // Asks, then moves every listed invoice one class on in list order (advanceAllInvoices) and
    // reloads the list (also after No). On an error its message shows and the list is not
    // reloaded: it stays on show as it was, on the invoice that failed.
    void btnPayPeriodClick();
};

extern TfrmUnpaidInv* frmUnpaidInv;

} // namespace zz
