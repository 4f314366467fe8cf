#pragma once
// The customer administration window: lists every customer of tblCustomer in name order, finds a
// customer by the beginning of the name, and adds, changes and deletes customers through the
// customer editor.
#include "widgets/ListForm.h"

namespace zz {

class TfrmCusAdmin : public TListForm {
    Q_OBJECT
public:
    explicit TfrmCusAdmin(QWidget* parent = nullptr);

    TXiPanel* XiPanel2; // content
    QLabel* Label1;
    TXiPanel* XiPanel1; // button bar
    TXiButton* btnNewCus;
    TXiButton* btnEditCus;
    TXiButton* btnDeleteCus;
    TXiButton* btnEInvoicing; // the current customer's e-invoicing details, right of Delete
    // In the bar's free room right of Delete: customers brought in from a CSV file.
    TXiButton* btnImport;

    // New, Edit and Delete of the list; the invoice browser's pop-up menu runs them too. Only the
    // customer row goes on Delete: invoices carrying its code stay as they are.
    void btnNewCusClick() { btnNewClick(); }
    void btnEditCusClick() { btnEditClick(); }
    void btnDeleteCusClick() { btnDeleteClick(); }
    void btnEInvoicingClick();
    void btnImportClick();
};

extern TfrmCusAdmin* frmCusAdmin;

} // namespace zz
