#pragma once
// The invoicing menu: the invoice browser, unpaid and cancelled invoices, an invoice by number.
#include "app/SectionMenu.h"

namespace zz {

class TfrmInvoicing : public TSectionMenu {
    Q_OBJECT
public:
    explicit TfrmInvoicing(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // client panel
    TXiPanel* XiPanel2; // bottom strip
    TXiButton* btnNewInvoice;
    TXiButton* btnPayInvoice;
    TXiButton* btnCancelInvoice;
    TXiButton* btnViewInvoice;

    void btnNewInvoiceClick();
    void btnPayInvoiceClick();
    void btnCancelInvoiceClick();
    void btnViewInvoiceClick();
    void btnCloseClick() { close(); }

private:
    // Hides the menu, reopens the query the list shows, runs the list, shows the menu again.
    void prepareAndRun(class TQuery* query, TForm* window);
};

extern TfrmInvoicing* frmInvoicing;

} // namespace zz
