#include "admin/NewCustomer.h"

#include "admin/CustomerEInvoicing.h"

#include "data/DataMod.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmNewCustomer* frmNewCustomer = nullptr;

TfrmNewCustomer::TfrmNewCustomer(QWidget* parent) : TPanelForm(QStringLiteral("New Customer"), 364, 390, parent)
{
    setObjectName(QStringLiteral("frmNewCustomer"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label10 = makeHeading(XiPanel1, QStringLiteral("Label10"), QStringLiteral("Customer Information"), width());

    TDataSource* source = DataModule1 ? DataModule1->datCustomer : nullptr;
    makeFieldRows(XiPanel1, source,
                  {
                      {Label1, "Customer Name", DBEdit1, "Cus_Name", 233, true},
                      {Label2, "Address 1", DBEdit2, "Cus_Address1", 233},
                      {Label3, "Address 2", DBEdit3, "Cus_Address2", 233},
                      {Label4, "Address 3", DBEdit4, "Cus_Address3", 121},
                      {Label5, "Web Address", DBEdit5, "Cus_Web_Address", 233},
                      {Label6, "Email Address", DBEdit6, "Cus_Email", 233},
                      {Label7, "Phone Number", DBEdit7, "Cus_Phone", 121},
                      {Label8, "Contact Name", DBEdit8, "Cus_Contact", 121},
                      {Label9, "VAT Number", DBEdit9, "Cus_VAT_No", 233},
                  },
                  {60, 112, true});

    makeSaveCancel(XiPanel2, btnSave, btnCancel, 273, [this] { btnSaveClick(); }, [this] { btnCancelClick(); });

    // The e-invoicing details open from the free middle of the bar, for a customer already stored.
    btnEInvoicing = makeButton(XiPanel2, QStringLiteral("btnEInvoicing"), QStringLiteral("E-&Invoicing"), QString(),
                               ButtonScheme::csNeoRose, 137, 8);
    btnEInvoicing->resize(91, 25);
    connect(btnEInvoicing, &TXiButton::clicked, this, command(this, &TfrmNewCustomer::btnEInvoicingClick));

    setTabOrderOf({DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8, DBEdit9, btnCancel, btnSave,
                   btnEInvoicing});
}

void TfrmNewCustomer::FormActivate() { DBEdit1->setFocus(); }

// A refused row stays pending with what was typed; the focus goes to the empty field.
void TfrmNewCustomer::btnSaveClick() { saveRow(DataModule1->tblCustomer); }

void TfrmNewCustomer::btnCancelClick() { cancelRow(DataModule1->tblCustomer); }

void TfrmNewCustomer::btnEInvoicingClick() { frmCustomerEInvoicing->ExecuteForCurrentCustomer(); }

} // namespace zz
