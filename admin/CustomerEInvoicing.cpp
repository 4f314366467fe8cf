#include "admin/CustomerEInvoicing.h"

#include "data/DataMod.h"
#include "widgets/Accessible.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmCustomerEInvoicing* frmCustomerEInvoicing = nullptr;

TfrmCustomerEInvoicing::TfrmCustomerEInvoicing(QWidget* parent)
    : TPanelForm(QStringLiteral("Customer E-Invoicing"), 364, 230, parent)
{
    setObjectName(QStringLiteral("frmCustomerEInvoicing"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label10 = makeHeading(XiPanel1, QStringLiteral("Label10"), QStringLiteral("E-Invoicing Detail"), width());

    Label4 = makeCaption(XiPanel1, QStringLiteral("Label4"), QStringLiteral("Customer"), 8, 64, true);
    lblCustomer = makeCaption(XiPanel1, QStringLiteral("lblCustomer"), QString(), 112, 64, true);
    lblCustomer->setFixedWidth(233);
    makeEditRows(XiPanel1,
                 {
                     {Label1, "Co&untry", edtCountry, "edtCountry", 33, 2},
                     {Label2, "&Buyer Reference", edtBuyerReference, "edtBuyerReference", 233, 100},
                     {Label3, "&Electronic Address", edtElectronicAddress, "edtElectronicAddress", 233, 100},
                 },
                 {92, 112, true});
    edtCountry->setPlaceholderText(QStringLiteral("DE"));
    edtBuyerReference->setToolTip(QStringLiteral("The buyer's reference; for German public buyers their routing id (Leitweg-ID)."));

    makeSaveCancel(XiPanel2, btnSave, btnCancel, 273, [this] { btnSaveClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({edtCountry, edtBuyerReference, edtElectronicAddress, btnSave, btnCancel});
}

void TfrmCustomerEInvoicing::FormActivate() { edtCountry->setFocus(); }

void TfrmCustomerEInvoicing::Execute(int cusCode, const QString& name, const QString& email)
{
    std::optional<CustomerEInvoiceDetails> stored;
    if (!guarded([&] { stored = loadCustomerEInvoiceDetails(cusCode); }))
        return;
    m_cusCode = cusCode;
    lblCustomer->setText(fontMetrics().elidedText(name, Qt::ElideRight, lblCustomer->width()));
    edtCountry->setText(stored ? stored->country : QString());
    edtBuyerReference->setText(stored ? stored->buyerReference : QString());
    edtElectronicAddress->setText(stored ? stored->electronicAddress : QString());
    // Left empty, the e-invoice names the customer's e-mail address.
    edtElectronicAddress->setPlaceholderText(email.trimmed());
    for (QLineEdit* e : {edtCountry, edtBuyerReference, edtElectronicAddress})
        e->setCursorPosition(0);
    ShowModal();
}

void TfrmCustomerEInvoicing::ExecuteForCurrentCustomer()
{
    TDataModule1* dm = DataModule1;
    if (dm->tblCustomer->IsEmpty() && dm->tblCustomerCus_Code->IsNull()) {
        showError(QStringLiteral("Cannot perform this operation on an empty dataset"));
        return;
    }
    if (dm->tblCustomerCus_Code->IsNull()) {
        showInformation(QStringLiteral("Save the new customer first: its e-invoicing details belong to a stored customer."));
        return;
    }
    Execute(dm->tblCustomerCus_Code->AsInteger(), dm->tblCustomerCus_Name->AsString(), dm->tblCustomerCus_Email->AsString());
}

CustomerEInvoiceDetails TfrmCustomerEInvoicing::details() const
{
    CustomerEInvoiceDetails d;
    d.cusCode = m_cusCode;
    d.country = edtCountry->text();
    d.buyerReference = edtBuyerReference->text();
    d.electronicAddress = edtElectronicAddress->text();
    return d;
}

// A refused save keeps the dialog open with everything typed, so that the user can correct it.
void TfrmCustomerEInvoicing::btnSaveClick()
{
    guarded([&] {
        saveCustomerEInvoiceDetails(details());
        Close();
    });
}

void TfrmCustomerEInvoicing::btnCancelClick() { Close(); }

} // namespace zz
