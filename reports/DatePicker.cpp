#include "reports/DatePicker.h"

#include "data/DataMod.h"
#include "reports/ReportRevenue.h"
#include "reports/documents/MoneyMask.h"
#include "reports/documents/RevenueReport.h"
#include "widgets/Accessible.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmDatePicker* frmDatePicker = nullptr;

TfrmDatePicker::TfrmDatePicker(QWidget* parent) : TPanelForm(QStringLiteral("Date Picker"), 227, 161, parent)
{
    setObjectName(QStringLiteral("frmDatePicker"));
    fixDialogFrame();
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Start Date"), 16, 36);
    DateEdit1 = new TDateEdit(XiPanel1);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setGeometry(88, 32, 121, 21);
    Label2 = makeCaption(XiPanel1, QStringLiteral("Label2"), QStringLiteral("End Date"), 16, 76);
    DateEdit2 = new TDateEdit(XiPanel1);
    DateEdit2->setObjectName(QStringLiteral("DateEdit2"));
    DateEdit2->setGeometry(88, 72, 121, 21);
    nameControl(Label1, DateEdit1);
    nameControl(Label2, DateEdit2);

    makeOkCancel(XiPanel2, btnOK, btnCancel, 136, [this] { btnOKClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({DateEdit1, DateEdit2, btnOK, btnCancel});
}

// Also when the preview closes: each report needs both dates chosen again.
void TfrmDatePicker::FormActivate()
{
    DateEdit1->setDate(QDate::currentDate());
    DateEdit2->setDate(QDate::currentDate());
    DateEdit1->setFocus();
}

// No check of the dates: a text that is no date reads as the zero date, which sets no lower
// limit as the start and leaves the report empty as the end.
void TfrmDatePicker::btnOKClick()
{
    guarded([&] {
        TQuery* q = DataModule1->qryReportRevenue;
        q->Close();
        q->Params(0).SetAsDate(DateEdit1->Date());
        q->Params(1).SetAsDate(DateEdit2->Date());
        q->Open();
        frmReportRevenue->QRLabel2->caption = DateEdit1->text() + QStringLiteral(" To ") + DateEdit2->text();
        const QString mask = report::moneyMask(report::kRevenueMoneyPattern);
        frmReportRevenue->QRExpr1->mask = mask;
        frmReportRevenue->QRExpr2->mask = mask;
        frmReportRevenue->QRExpr3->mask = mask;
        frmReportRevenue->QuickRep().documentName = report::revenueDocumentName(DateEdit1->Date(), DateEdit2->Date());
        frmReportRevenue->Preview();
    });
}

void TfrmDatePicker::btnCancelClick() { Close(); }

} // namespace zz
