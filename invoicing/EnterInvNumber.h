#pragma once
// The invoice-number dialog: any invoice, paid, open or cancelled, prints by its number. The
// dialog stays open after each printout, ready for another number, until Cancel.
#include <QLabel>
#include <QLineEdit>

#include "widgets/WindowKit.h"

namespace zz {

class TfrmInvNumber : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmInvNumber(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;
    QLineEdit* edtInvNumber;
    TXiButton* btnOK;
    TXiButton* btnCancel;

    void edtInvNumberKeyDown(int key);
    void btnOKClick();
    void btnCancelClick();

protected:
    void FormActivate() override;
};

extern TfrmInvNumber* frmInvNumber;

} // namespace zz
