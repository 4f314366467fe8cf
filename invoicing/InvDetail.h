#pragma once
// The invoice detail window: the current customer's invoices with the lines of one of them, where
// an invoice is paid (stamped with today's date) or cancelled. The lines follow the invoice only
// when the window opens and when an invoice row is clicked with the mouse; Pay and Cancel always
// act on the invoice under the invoice cursor.
#include <QLabel>

#include "widgets/DBGrid.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmInvDetail : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmInvDetail(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // heading
    QLabel* Label1;
    TXiPanel* XiPanel2; // spacer
    TDBGrid* DBGrid1;   // the current customer's invoices
    TXiPanel* XiPanel3; // Pay and Cancel
    TXiButton* btnPayInvoice;
    TXiButton* btnCancelInvoice;
    TXiButton* btnCreditNote; // the credit note of a cancelled invoice, in the print preview
    TDBGrid* DBGrid2;   // the lines of one invoice
    TXiPanel* XiPanel4; // button bar
    TXiButton* btnClose;

    // Reloads the lines for the current invoice (number 0 when there is none).
    void GetInvDetail();
    void DBGrid1CellClick(int column) { GetInvDetail(); }
    // Pays the current invoice unless it has a pay date (then nothing) or is not exactly "NO"
    // cancelled (then it says so), after asking.
    void btnPayInvoiceClick();
    // Cancels the current invoice unless its cancelled mark is other than exactly "NO" (then
    // nothing) or it has a pay date (then it says so), after asking.
    void btnCancelInvoiceClick();
    // Closes the lines query and the window.
    void btnCreditNoteClick();
    void btnCloseClick();

protected:
    // Re-reads the invoices, which other windows may have paid, cancelled or aged with their
    // statements meanwhile, so that the grid and the guards of Pay and Cancel go by what is stored;
    // then loads the lines of the current invoice.
    void FormActivate() override;
};

extern TfrmInvDetail* frmInvDetail;

} // namespace zz
