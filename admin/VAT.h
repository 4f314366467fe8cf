#pragma once
// The VAT dialog: the one VAT percentage, in the single row of tblVAT, which the administration
// menu has put into edit mode before showing the dialog.
#include <QLabel>

#include "widgets/WindowKit.h"

namespace zz {

class TfrmVAT : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmVAT(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;
    TDBEdit* DBEdit1; // VAT_Percentage
    TXiButton* btnSave;
    TXiButton* btnCancel;

    void btnSaveClick();
    void btnCancelClick();

protected:
    void FormActivate() override;
};

extern TfrmVAT* frmVAT;

} // namespace zz
