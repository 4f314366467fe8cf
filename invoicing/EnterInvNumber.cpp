#include "invoicing/EnterInvNumber.h"

#include "data/DataMod.h"
#include "reports/PrintInvoice.h"
#include "widgets/Accessible.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmInvNumber* frmInvNumber = nullptr;

TfrmInvNumber::TfrmInvNumber(QWidget* parent) : TPanelForm(QStringLiteral("Enter Invoice Number"), 242, 133, parent)
{
    setObjectName(QStringLiteral("frmInvNumber"));
    fixDialogFrame();
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Invoice Number"), 16, 40);
    edtInvNumber = new QLineEdit(XiPanel1);
    edtInvNumber->setObjectName(QStringLiteral("edtInvNumber"));
    edtInvNumber->setGeometry(112, 36, 121, 21);
    makeFlat(edtInvNumber, true);
    nameControl(Label1, edtInvNumber);
    onKeyDown(edtInvNumber, [this](int key) { edtInvNumberKeyDown(key); });

    makeOkCancel(XiPanel2, btnOK, btnCancel, 151, [this] { btnOKClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({edtInvNumber, btnOK, btnCancel});
}

// Also when the preview closes: the field is ready for the next number.
void TfrmInvNumber::FormActivate()
{
    edtInvNumber->clear();
    edtInvNumber->setFocus();
}

void TfrmInvNumber::edtInvNumberKeyDown(int key)
{
    if (key == kEnterKey)
        btnOKClick();
}

// The number is not looked up first: a number no invoice has prints an empty invoice.
void TfrmInvNumber::btnOKClick()
{
    guarded([&] {
        DataModule1->qryInvReport->Close();
        printInvoice(textToInteger(edtInvNumber->text()));
    });
}

void TfrmInvNumber::btnCancelClick() { Close(); }

} // namespace zz
