#include "reports/CustomerPicker.h"

#include "data/DataMod.h"
#include "reports/ReportStatement.h"
#include "reports/documents/MoneyMask.h"
#include "reports/documents/StatementReport.h"
#include "widgets/Accessible.h"
#include "widgets/Handlers.h"

#include <QDateTime>

namespace zz {

TfrmCustomerPicker* frmCustomerPicker = nullptr;

TfrmCustomerPicker::TfrmCustomerPicker(QWidget* parent) : TPanelForm(QStringLiteral("Customer Picker"), 356, 143, parent)
{
    setObjectName(QStringLiteral("frmCustomerPicker"));
    fixDialogFrame();
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Customer Name"), 16, 44);
    // The customers in name order; choosing one (from the list or by typing the start of its
    // name) makes it the current customer, which is the one OK prints.
    DBLookupComboBox1 = new TDBLookupComboBox(XiPanel1);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setGeometry(112, 40, 233, 21);
    // A scrolling list of 16 names.
    DBLookupComboBox1->setMaxVisibleItems(16);
    DBLookupComboBox1->setListField(QStringLiteral("Cus_Name"));
    DBLookupComboBox1->setKeyField(QStringLiteral("Cus_Code"));
    nameControl(Label1, DBLookupComboBox1);

    makeOkCancel(XiPanel2, btnOK, btnCancel, 265, [this] { btnOKClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({DBLookupComboBox1, btnCancel, btnOK});
}

// The list holds every customer, read from the customer table as it is shown: it is bound when the
// dialog shows and let go when it hides, so that a hidden dialog costs nothing when the customers
// are read again elsewhere.
void TfrmCustomerPicker::showEvent(QShowEvent* event)
{
    DBLookupComboBox1->setListSource(DataModule1->datCustomer);
    TPanelForm::showEvent(event);
}

void TfrmCustomerPicker::hideEvent(QHideEvent* event)
{
    DBLookupComboBox1->setListSource(nullptr);
    TPanelForm::hideEvent(event);
}

// Also when the preview closes. The box follows the customer table to its first row, so that it
// always names the customer whose statement OK prints.
void TfrmCustomerPicker::FormActivate()
{
    TTable* customers = DataModule1->tblCustomer;
    customers->First();
    DBLookupComboBox1->setKeyValue(customers->IsEmpty() ? QVariant() : QVariant(DataModule1->tblCustomerCus_Code->AsInteger()));
}

void TfrmCustomerPicker::btnOKClick()
{
    guarded([&] {
        const int code = DataModule1->tblCustomerCus_Code->AsInteger();
        for (TQuery* q : {DataModule1->qryStatementDetail, DataModule1->qryStatCurrent, DataModule1->qryStat30,
                          DataModule1->qryStat60, DataModule1->qryStat90, DataModule1->qryStat120,
                          DataModule1->qryStat120Plus}) {
            q->Close();
            q->Params(0).SetAsInteger(code);
            q->Open();
        }
        const QDateTime now = QDateTime::currentDateTime();
        frmReportStatement->QRExpr1->mask = report::moneyMask(report::kMoneyPattern);
        frmReportStatement->QRLabel8->caption = report::statementDateText(now);
        frmReportStatement->QuickRep().documentName =
            report::statementDocumentName(DataModule1->tblCustomerCus_Name->AsString(), now.date());
        frmReportStatement->Preview();
    });
}

void TfrmCustomerPicker::btnCancelClick() { Close(); }

} // namespace zz
