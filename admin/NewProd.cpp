#include "admin/NewProd.h"

#include "data/DataMod.h"
#include "data/Errors.h"
#include "widgets/Dialogs.h"

namespace zz {

TfrmNewProd* frmNewProd = nullptr;

TfrmNewProd::TfrmNewProd(QWidget* parent) : TAdminForm(QStringLiteral("New Product"), 364, 200, parent)
{
    setObjectName(QStringLiteral("frmNewProd"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));

    Label1 = makeHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("New Product"), width());

    TDataSource* source = DataModule1 ? DataModule1->datProduct : nullptr;
    // Every product field is required: all three captions are bold.
    Label2 = makeCaption(XiPanel1, QStringLiteral("Label2"), QStringLiteral("Product Code"), 8, 64, true);
    DBEdit1 = new TDBEdit(source, QStringLiteral("Prod_Code"), XiPanel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(104, 60, 121, 21);
    Label3 = makeCaption(XiPanel1, QStringLiteral("Label3"), QStringLiteral("Description"), 8, 96, true);
    DBEdit2 = new TDBEdit(source, QStringLiteral("Prod_Description"), XiPanel1);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setGeometry(104, 92, 249, 21);
    Label4 = makeCaption(XiPanel1, QStringLiteral("Label4"), QStringLiteral("Unit Price"), 8, 128, true);
    DBEdit3 = new TDBEdit(source, QStringLiteral("Prod_Price"), XiPanel1);
    DBEdit3->setObjectName(QStringLiteral("DBEdit3"));
    DBEdit3->setGeometry(104, 124, 121, 21);
    for (TDBEdit* e : {DBEdit1, DBEdit2, DBEdit3})
        makeFlat(e, true);

    btnSave = makeButton(XiPanel2, QStringLiteral("btnSave"), QStringLiteral("&Save"), QStringLiteral("save"),
                         ButtonScheme::csNeoRose, 16, 8);
    btnCancel = makeButton(XiPanel2, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), QStringLiteral("cancel"),
                           ButtonScheme::csNeoRose, 273, 8);

    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, btnCancel);
    setTabOrder(btnCancel, btnSave);

    connect(btnSave, &TXiButton::clicked, this, &TfrmNewProd::btnSaveClick);
    connect(btnCancel, &TXiButton::clicked, this, &TfrmNewProd::btnCancelClick);
}

void TfrmNewProd::FormActivate() { DBEdit1->setFocus(); }

void TfrmNewProd::btnSaveClick()
{
    try {
        // The first empty field (code, description, price) is reported and gets the focus.
        DataModule1->tblProduct->Post();
        Close();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmNewProd::btnCancelClick()
{
    try {
        DataModule1->tblProduct->Cancel();
        Close();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

} // namespace zz
