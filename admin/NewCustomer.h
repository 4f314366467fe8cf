#pragma once
// The customer editor: the fields of the current row of tblCustomer, for a new customer (the
// cursor in insert mode) and an existing one (edit mode) alike.
#include <QLabel>

#include "widgets/WindowKit.h"

namespace zz {

class TfrmNewCustomer : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmNewCustomer(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label10;    // heading
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    TDBEdit* DBEdit1; // Cus_Name
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit3;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit5;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit8;
    TDBEdit* DBEdit9;
    TXiButton* btnSave;
    TXiButton* btnCancel;
    TXiButton* btnEInvoicing; // the customer's e-invoicing details, in the bar between Save and Cancel

    void btnSaveClick();
    void btnCancelClick();
    void btnEInvoicingClick();

protected:
    void FormActivate() override;
};

extern TfrmNewCustomer* frmNewCustomer;

} // namespace zz
