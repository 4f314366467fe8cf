#pragma once
// The date range dialog of the revenue report: a start and an end date; OK previews the invoices
// paid between them. The dialog stays open after each preview until Cancel.
#include <QLabel>

#include "widgets/DateEdit.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmDatePicker : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmDatePicker(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;
    QLabel* Label2;
    TDateEdit* DateEdit1; // start
    TDateEdit* DateEdit2; // end
    TXiButton* btnOK;
    TXiButton* btnCancel;

    void btnOKClick();
    void btnCancelClick();

protected:
    void FormActivate() override;
};

extern TfrmDatePicker* frmDatePicker;

} // namespace zz
