#pragma once
// The company's e-invoicing details: the country, tax identifiers, electronic address, bank
// account, payment terms, currency and the VAT category at a zero rate, which an EN 16931
// e-invoice carries beside the company row. Read and saved through the data layer's functions;
// the company dialog opens it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "data/EInvoiceDetails.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmCompanyEInvoicing : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmCompanyEInvoicing(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label12;    // heading
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLineEdit* edtCountry;
    QLineEdit* edtVATId;
    QLineEdit* edtTaxNumber;
    QLineEdit* edtEmail;
    QLineEdit* edtIBAN;
    QLineEdit* edtBIC;
    QLineEdit* edtPayDays;
    QLineEdit* edtPayTerms;
    QLineEdit* edtCurrency;
    QComboBox* cmbZeroRate;
    QLineEdit* edtExemption;
    QLabel* Label13;
    QLineEdit* edtCreditNoteNo; // the number the next credit note gets
    TXiButton* btnSave;
    TXiButton* btnCancel;

    // Reads the stored details and shows the dialog modally over the company dialog. With none
    // stored, the VAT identifier starts as the company's VAT number when that carries a country
    // prefix (vatNumber). A failure to read them is shown in an error box and the dialog stays shut.
    void Execute(const QString& vatNumber = QString());
    // The fields as the dialog shows them, and what they hold.
    void showDetails(const CompanyEInvoiceDetails& details);
    // Throws EConvertError naming the payment days when they are no whole number.
    CompanyEInvoiceDetails details() const;

    void btnSaveClick();
    void btnCancelClick();

protected:
    void FormActivate() override;

private:
    int m_shownCreditNoteNo = 1;
};

extern TfrmCompanyEInvoicing* frmCompanyEInvoicing;

} // namespace zz
