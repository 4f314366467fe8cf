#include "admin/NewProd.h"

#include "data/DataMod.h"

namespace zz {

TfrmNewProd* frmNewProd = nullptr;

TfrmNewProd::TfrmNewProd(QWidget* parent) : TPanelForm(QStringLiteral("New Product"), 364, 200, parent)
{
    setObjectName(QStringLiteral("frmNewProd"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label1 = makeHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("New Product"), width());

    // Every product field is required: all three captions are bold.
    makeFieldRows(XiPanel1, DataModule1 ? DataModule1->datProduct : nullptr,
                  {
                      {Label2, "Product Code", DBEdit1, "Prod_Code", 121, true},
                      {Label3, "Description", DBEdit2, "Prod_Description", 249, true},
                      {Label4, "Unit Price", DBEdit3, "Prod_Price", 121, true},
                  },
                  {60, 104, true, 2});

    makeSaveCancel(XiPanel2, btnSave, btnCancel, 273, [this] { btnSaveClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({DBEdit1, DBEdit2, DBEdit3, btnCancel, btnSave});
}

void TfrmNewProd::FormActivate() { DBEdit1->setFocus(); }

// The first empty field (code, description, price) is reported and gets the focus.
void TfrmNewProd::btnSaveClick() { saveRow(DataModule1->tblProduct); }

void TfrmNewProd::btnCancelClick() { cancelRow(DataModule1->tblProduct); }

} // namespace zz
