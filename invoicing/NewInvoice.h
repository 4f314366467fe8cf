#pragma once
// The new invoice editor: writes one invoice for the customer current in the invoice browser.
// "Create" stores the header at once under the company's next invoice number, which the window
// shows; each "Submit" then stores one line, priced from the product's current price less a
// whole-percent discount, and the lines grid shows the invoice's lines as they are stored. A line
// can be removed again. Every way of closing the window resets it, so that each opening starts
// ready for a new invoice and writes at most one.
#include <QLabel>
#include <QLineEdit>

#include "widgets/DBGrid.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/DateEdit.h"
#include "widgets/SpinEdit.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmNewInvoice : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmNewInvoice(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // header: order number, date, Create
    QLabel* Label1;
    QLineEdit* edtOrderNo;
    QLabel* Label2;
    TDateEdit* DateEdit1;
    TXiButton* btnCreateInv;
    TXiPanel* XiPanel2; // the line being added
    QLabel* Label3;
    TDBLookupComboBox* DBLookupComboBox1;
    QLabel* Label5;
    QLineEdit* edtDiscount;
    QLabel* Label4;
    TSpinEdit* spnUnitCount;
    TXiButton* btnSubmit;
    QLabel* Label6;
    QLabel* Label7; // the created invoice's number, from which the lines grid is refreshed
    TDBGrid* DBGrid1;
    TXiPanel* XiPanel3; // button bar
    TXiButton* btnDelLine;
    TXiButton* btnClose;

    void btnCreateInvClick();
    void btnSubmitClick();
    void btnDelLineClick();
    // Resets the editor to its ready state and closes it; the frame's close box and Alt+F4 do
    // the same.
    void btnCloseClick() { Close(); }

protected:
    // Today's date, an empty order number with the focus, Delete Line disabled; the product box
    // shows the product the product cursor stands on, the one Submit uses.
    void FormActivate() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The Close action without the closing: Create enabled, Submit and Delete Line disabled, no
    // number, one unit, no discount, no order number, no lines, the first product.
    void resetEditor();
    // Refuses the discount: the box, then the focus back in the field.
    void discountOutOfRange();
    // Reopens the lines query for the invoice whose number Label7 shows.
    void showLines();
};

extern TfrmNewInvoice* frmNewInvoice;

} // namespace zz
