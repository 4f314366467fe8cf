#pragma once
// A customer's e-invoicing details: its country, the buyer reference (the routing id of German
// public buyers goes here) and its electronic address (its e-mail address when left empty). Read
// and saved through the data layer's functions; the customer list and the customer editor open it
// for the current, stored customer.
#include <QLabel>
#include <QLineEdit>

#include "data/EInvoiceDetails.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmCustomerEInvoicing : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmCustomerEInvoicing(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label10;    // heading
    QLabel* Label4;     // "Customer"
    QLabel* lblCustomer; // the customer's name
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* edtCountry;
    QLineEdit* edtBuyerReference;
    QLineEdit* edtElectronicAddress;
    TXiButton* btnSave;
    TXiButton* btnCancel;

    // Reads the customer's stored details and shows the dialog modally; the customer's e-mail
    // address shows in the empty electronic address as what it stands for. A failure to read them
    // is shown in an error box and the dialog stays shut.
    void Execute(int cusCode, const QString& name, const QString& email);
    // For the current row of the customer cursor: a row not stored yet has no details of its own,
    // which an information box says.
    void ExecuteForCurrentCustomer();
    CustomerEInvoiceDetails details() const;
    int customer() const { return m_cusCode; }

    void btnSaveClick();
    void btnCancelClick();

protected:
    void FormActivate() override;

private:
    int m_cusCode = 0;
};

extern TfrmCustomerEInvoicing* frmCustomerEInvoicing;

} // namespace zz
