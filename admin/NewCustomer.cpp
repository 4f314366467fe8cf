#include "admin/NewCustomer.h"

#include "data/DataMod.h"
#include "data/Errors.h"
#include "widgets/Dialogs.h"

namespace zz {

TfrmNewCustomer* frmNewCustomer = nullptr;

TfrmNewCustomer::TfrmNewCustomer(QWidget* parent) : TAdminForm(QStringLiteral("New Customer"), 364, 390, parent)
{
    setObjectName(QStringLiteral("frmNewCustomer"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));

    Label10 = makeHeading(XiPanel1, QStringLiteral("Label10"), QStringLiteral("Customer Information"), width());

    TDataSource* source = DataModule1 ? DataModule1->datCustomer : nullptr;
    makeFieldRows(XiPanel1, source,
                  {
                      {Label1, "Customer Name", DBEdit1, "Cus_Name", 233},
                      {Label2, "Address 1", DBEdit2, "Cus_Address1", 233},
                      {Label3, "Address 2", DBEdit3, "Cus_Address2", 233},
                      {Label4, "Address 3", DBEdit4, "Cus_Address3", 121},
                      {Label5, "Web Address", DBEdit5, "Cus_Web_Address", 233},
                      {Label6, "Email Address", DBEdit6, "Cus_Email", 233},
                      {Label7, "Phone Number", DBEdit7, "Cus_Phone", 121},
                      {Label8, "Contact Name", DBEdit8, "Cus_Contact", 121},
                      {Label9, "VAT Number", DBEdit9, "Cus_VAT_No", 233},
                  },
                  60, 112, true);

    btnSave = makeButton(XiPanel2, QStringLiteral("btnSave"), QStringLiteral("&Save"), QStringLiteral("save"),
                         ButtonScheme::csNeoRose, 16, 8);
    btnCancel = makeButton(XiPanel2, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), QStringLiteral("cancel"),
                           ButtonScheme::csNeoRose, 273, 8);

    QWidget* order[] = {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8, DBEdit9, btnCancel, btnSave};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(btnSave, &TXiButton::clicked, this, &TfrmNewCustomer::btnSaveClick);
    connect(btnCancel, &TXiButton::clicked, this, &TfrmNewCustomer::btnCancelClick);
}

void TfrmNewCustomer::FormActivate() { DBEdit1->setFocus(); }

void TfrmNewCustomer::btnSaveClick()
{
    try {
        // A refused row stays pending with what was typed; the focus goes to the empty field.
        DataModule1->tblCustomer->Post();
        Close();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmNewCustomer::btnCancelClick()
{
    try {
        DataModule1->tblCustomer->Cancel();
        Close();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

} // namespace zz
