#include "admin/VAT.h"

#include "data/DataMod.h"
#include "widgets/Accessible.h"

namespace zz {

TfrmVAT* frmVAT = nullptr;

TfrmVAT::TfrmVAT(QWidget* parent) : TPanelForm(QStringLiteral("VAT"), 244, 151, parent)
{
    setObjectName(QStringLiteral("frmVAT"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("VAT %"), 16, 48, true);
    // The percentage shows in its display pattern ("15.00%") also while it is being edited.
    DBEdit1 = new TDBEdit(DataModule1 ? DataModule1->datVAT : nullptr, QStringLiteral("VAT_Percentage"), XiPanel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(80, 44, 137, 21);
    makeFlat(DBEdit1, true);
    nameControl(Label1, DBEdit1);

    makeSaveCancel(XiPanel2, btnSave, btnCancel, 153, [this] { btnSaveClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({DBEdit1, btnSave, btnCancel});
}

void TfrmVAT::FormActivate() { DBEdit1->setFocus(); }

// A text that is no number (still carrying the percent sign) is refused here; the row stays in
// edit mode.
void TfrmVAT::btnSaveClick() { saveRow(DataModule1->tblVAT); }

void TfrmVAT::btnCancelClick() { cancelRow(DataModule1->tblVAT); }

} // namespace zz
