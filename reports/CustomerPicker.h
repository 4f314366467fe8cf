#pragma once
// The customer choice dialog of the statement: OK previews the statement of the current customer.
// The dialog stays open after each preview until Cancel.
#include <QLabel>

#include "widgets/DBLookupComboBox.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmCustomerPicker : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmCustomerPicker(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;
    TDBLookupComboBox* DBLookupComboBox1;
    TXiButton* btnOK;
    TXiButton* btnCancel;

    void btnOKClick();
    void btnCancelClick();

protected:
    void FormActivate() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

extern TfrmCustomerPicker* frmCustomerPicker;

} // namespace zz
