#pragma once
// The customer administration window: lists every customer of tblCustomer in name order, finds a
// customer by the beginning of the name, and adds, changes and deletes customers through the
// customer editor.
#include <QLabel>
#include <QLineEdit>

#include "admin/AdminLayout.h"
#include "widgets/DBGrid.h"

namespace zz {

class TfrmCusAdmin : public TAdminForm {
    Q_OBJECT
public:
    explicit TfrmCusAdmin(QWidget* parent = nullptr);

    TXiPanel* XiPanel2; // content
    QLabel* Label1;
    QLineEdit* edtSearch;
    TXiButton* btnSearch;
    TDBGrid* DBGrid1;
    TXiPanel* XiPanel1; // button bar
    TXiButton* btnNewCus;
    TXiButton* btnEditCus;
    TXiButton* btnDeleteCus;
    TXiButton* btnClose;

    void btnSearchClick();
    void edtSearchKeyDown(int key);
    void btnNewCusClick();
    void btnEditCusClick();
    void btnDeleteCusClick();
    void btnCloseClick();

protected:
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TfrmCusAdmin* frmCusAdmin;

} // namespace zz
