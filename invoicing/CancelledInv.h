#pragma once
// The cancelled invoices window: a read-only list of every cancelled invoice across all
// customers, in customer name and then invoice number order. Nothing is done to an invoice here;
// "Credit Note" shows the credit note of the invoice under the cursor.
#include "invoicing/QueryListForm.h"

namespace zz {

class TfrmCancelledInv : public TQueryListForm {
    Q_OBJECT
public:
    explicit TfrmCancelledInv(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // heading, its own caption the title
    TXiPanel* XiPanel2; // button bar
    TXiButton* btnCreditNote;

private:
    void btnCreditNoteClick();
};

extern TfrmCancelledInv* frmCancelledInv;

} // namespace zz
