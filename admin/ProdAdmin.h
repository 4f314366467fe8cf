#pragma once
// The product administration window: the price list of tblProduct in description order, editable
// in its grid; finds a product by the beginning of its description, and adds, changes and deletes
// products through the product editor.
#include "widgets/ListForm.h"

namespace zz {

class TfrmProdAdmin : public TListForm {
    Q_OBJECT
public:
    explicit TfrmProdAdmin(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    QLabel* Label1;
    TXiPanel* XiPanel2; // button bar
    TXiButton* btnNew;
    TXiButton* btnEdit;
    TXiButton* btnDelete;
    // In the bar's free room right of Delete: products brought in from a CSV file.
    TXiButton* btnImport;

    void btnImportClick();
};

extern TfrmProdAdmin* frmProdAdmin;

} // namespace zz
