#include "admin/VAT.h"

#include "data/DataMod.h"
#include "data/Errors.h"
#include "widgets/Dialogs.h"

namespace zz {

TfrmVAT* frmVAT = nullptr;


TfrmVAT::TfrmVAT(QWidget* parent) : TAdminForm(QStringLiteral("VAT"), 244, 151, parent)
{
    setObjectName(QStringLiteral("frmVAT"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));

    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("VAT %"), 16, 48, true);
    // The percentage shows in its display pattern ("15.00%") also while it is being edited.
    DBEdit1 = new TDBEdit(DataModule1 ? DataModule1->datVAT : nullptr, QStringLiteral("VAT_Percentage"), XiPanel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(80, 44, 137, 21);
    makeFlat(DBEdit1, true);

    btnSave = makeButton(XiPanel2, QStringLiteral("btnSave"), QStringLiteral("&Save"), QStringLiteral("save"),
                         ButtonScheme::csNeoRose, 16, 8);
    btnCancel = makeButton(XiPanel2, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), QStringLiteral("cancel"),
                           ButtonScheme::csNeoRose, 153, 8);

    setTabOrder(DBEdit1, btnSave);
    setTabOrder(btnSave, btnCancel);

    connect(btnSave, &TXiButton::clicked, this, &TfrmVAT::btnSaveClick);
    connect(btnCancel, &TXiButton::clicked, this, &TfrmVAT::btnCancelClick);
}

void TfrmVAT::FormActivate() { DBEdit1->setFocus(); }

void TfrmVAT::btnSaveClick()
{
    try {
        // A text that is no number (still carrying the percent sign) is refused here; the row
        // stays in edit mode.
        DataModule1->tblVAT->Post();
        Close();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmVAT::btnCancelClick()
{
    try {
        DataModule1->tblVAT->Cancel();
        Close();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

} // namespace zz
