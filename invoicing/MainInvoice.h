#pragma once
// The customer invoice browser, the invoicing section's working window: finds a customer by the
// beginning of the name and shows that customer's invoices; from there the user writes a new
// invoice for the customer, opens the detail of an invoice to pay or cancel it, or prints it. A
// pop-up menu on the customer list adds, changes and deletes customers through the customer
// administration's own handlers. Every row shown is a row of the shared customer and invoice
// cursors, so the other invoicing windows act on the customer and invoice current here.
#include <QAction>
#include <QMenu>

#include "widgets/ListForm.h"

namespace zz {

class TfrmMainInvoice : public TListForm {
    Q_OBJECT
public:
    explicit TfrmMainInvoice(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // heading
    QLabel* Label1;
    TXiPanel* XiPanel2; // search row
    QLabel* Label2;
    // DBGrid1 (the customers) and edtSearch, btnSearch, btnClose come with the list window.
    QMenu* PopupMenu1;
    QAction* New1;
    QAction* Edit1;
    QAction* Delete1;
    TXiPanel* XiPanel3; // spacer
    TDBGrid* DBGrid2;   // the current customer's invoices
    TXiPanel* XiPanel4; // button bar
    TXiButton* btnNewInv;
    TXiButton* btnViewInv;
    TXiButton* btnDetail;

    // Closes the lines query, so that the editor opens with an empty lines grid, then runs the new
    // invoice editor over the browser.
    void btnNewInvClick();
    // Hides the browser while the detail window runs; a double-click in the invoice grid, on a row
    // or not, does the same.
    void btnDetailClick();
    void DBGrid2DblClick() { btnDetailClick(); }
    // Previews the printout of the current invoice (number 0 when the customer has none).
    void btnViewInvClick();
    // The customer administration's New, Edit and Delete, on its own window.
    void New1Click();
    void Edit1Click();
    void Delete1Click();
    // btnCloseClick (the list window's): re-reads the customers, goes to the first, closes.
};

extern TfrmMainInvoice* frmMainInvoice;

} // namespace zz
