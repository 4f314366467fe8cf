#pragma once
// The cancelled invoices window: a read-only list of every cancelled invoice across all
// customers, in customer name and then invoice number order. Nothing is done to an invoice here.
#include "invoicing/QueryListForm.h"

namespace zz {

class TfrmCancelledInv : public TQueryListForm {
    Q_OBJECT
public:
    explicit TfrmCancelledInv(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // heading, its own caption the title
    TXiPanel* XiPanel2; // button bar
};

extern TfrmCancelledInv* frmCancelledInv;

} // namespace zz
