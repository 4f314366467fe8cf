#pragma once
// The product administration window: the price list of tblProduct in description order, editable
// in its grid; finds a product by the beginning of its description, and adds, changes and deletes
// products through the product editor.
#include <QLabel>
#include <QLineEdit>

#include "admin/AdminLayout.h"
#include "widgets/DBGrid.h"

namespace zz {

class TfrmProdAdmin : public TAdminForm {
    Q_OBJECT
public:
    explicit TfrmProdAdmin(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    QLabel* Label1;
    QLineEdit* edtSearch;
    TXiButton* btnSearch;
    TDBGrid* DBGrid1;
    TXiPanel* XiPanel2; // button bar
    TXiButton* btnNew;
    TXiButton* btnEdit;
    TXiButton* btnDelete;
    TXiButton* btnClose;

    void btnSearchClick();
    void edtSearchKeyDown(int key);
    void btnNewClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnCloseClick();

protected:
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TfrmProdAdmin* frmProdAdmin;

} // namespace zz
