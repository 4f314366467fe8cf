#pragma once
// The product editor: code, description and price of the current row of tblProduct, for a new
// product (insert mode) and an existing one (edit mode) alike.
#include <QLabel>

#include "widgets/WindowKit.h"

namespace zz {

class TfrmNewProd : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmNewProd(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;     // heading
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    TDBEdit* DBEdit1; // Prod_Code
    TDBEdit* DBEdit2;      // Prod_Description
    TDBEdit* DBEdit3;      // Prod_Price
    TXiButton* btnSave;
    TXiButton* btnCancel;

    void btnSaveClick();
    void btnCancelClick();

protected:
    void FormActivate() override;
};

extern TfrmNewProd* frmNewProd;

} // namespace zz
