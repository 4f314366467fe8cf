#include "invoicing/NewInvoice.h"

#include <QCloseEvent>
#include <QValidator>
#include <optional>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Invoices.h"
#include "invoicing/InvoiceGrids.h"
#include "widgets/Accessible.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmNewInvoice* frmNewInvoice = nullptr;

namespace {
// Turns every letter typed or pasted into the field to upper case, one character for one.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar& c : input)
            c = c.toUpper();
        return Acceptable;
    }
};

QLineEdit* makeEdit(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, 21);
    makeFlat(edit, true);
    return edit;
}
} // namespace

TfrmNewInvoice::TfrmNewInvoice(QWidget* parent) : TPanelForm(QStringLiteral("New Invoice"), 688, 446, parent)
{
    setObjectName(QStringLiteral("frmNewInvoice"));
    QVBoxLayout* bands = makeBands(this);

    XiPanel1 = makeBandPanel(this, QStringLiteral("XiPanel1"), 41);
    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Order Number"), 16, 14);
    edtOrderNo = makeEdit(XiPanel1, QStringLiteral("edtOrderNo"), 96, 10, 185);
    edtOrderNo->setValidator(new UpperCaseValidator(edtOrderNo));
    Label2 = makeCaption(XiPanel1, QStringLiteral("Label2"), QStringLiteral("Invoice Date"), 304, 14);
    DateEdit1 = new TDateEdit(XiPanel1);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setGeometry(376, 10, 105, 21);
    btnCreateInv = makeButton(XiPanel1, QStringLiteral("btnCreateInv"), QStringLiteral("Cr&eate"), QStringLiteral("create"),
                              ButtonScheme::csNeoSilver, 504, 8);
    bands->addWidget(XiPanel1);

    XiPanel2 = makeBandPanel(this, QStringLiteral("XiPanel2"), 120);
    Label3 = makeCaption(XiPanel2, QStringLiteral("Label3"), QStringLiteral("Product Description"), 16, 10);
    DBLookupComboBox1 = new TDBLookupComboBox(XiPanel2);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setGeometry(16, 26, 289, 21);
    DBLookupComboBox1->setMaxVisibleItems(15);
    DBLookupComboBox1->setListField(QStringLiteral("Prod_Description"));
    DBLookupComboBox1->setKeyField(QStringLiteral("Prod_Code"));
    if (DataModule1)
        DBLookupComboBox1->setListSource(DataModule1->datProduct);
    Label5 = makeCaption(XiPanel2, QStringLiteral("Label5"), QStringLiteral("Discount %"), 320, 10);
    edtDiscount = makeEdit(XiPanel2, QStringLiteral("edtDiscount"), 320, 26, 65);
    edtDiscount->setText(QStringLiteral("0"));
    Label4 = makeCaption(XiPanel2, QStringLiteral("Label4"), QStringLiteral("Units"), 400, 10);
    spnUnitCount = new TSpinEdit(XiPanel2);
    spnUnitCount->setObjectName(QStringLiteral("spnUnitCount"));
    spnUnitCount->setGeometry(400, 26, 89, 21);
    spnUnitCount->setMinValue(1);
    spnUnitCount->setMaxValue(2000000000);
    spnUnitCount->setValue(1);
    btnSubmit = makeButton(XiPanel2, QStringLiteral("btnSubmit"), QStringLiteral("S&ubmit"), QStringLiteral("submit"),
                           ButtonScheme::csNeoSilver, 504, 24);
    btnSubmit->setEnabled(false);
    Label6 = makeCaption(XiPanel2, QStringLiteral("Label6"), QStringLiteral("Invoice Number:"), 16, 80, true);
    Label7 = makeCaption(XiPanel2, QStringLiteral("Label7"), QString(), Label6->x() + Label6->width() + 8, 80);
    Label7->setFixedWidth(120);
    bands->addWidget(XiPanel2);
    nameControl(Label1, edtOrderNo);
    nameControl(Label2, DateEdit1);
    nameControl(Label3, DBLookupComboBox1);
    nameControl(Label5, edtDiscount);
    nameControl(Label4, spnUnitCount);

    DBGrid1 = makeReadOnlyGrid(this, QStringLiteral("DBGrid1"), DataModule1 ? DataModule1->datInvDetail : nullptr,
                               lineColumns(fontMetrics(), {274, 51, 74, 85, kDefaultWidth, 76}), false);
    DBGrid1->setAccessibleName(QStringLiteral("Invoice lines"));
    bands->addWidget(DBGrid1, 1);

    XiPanel3 = makeBandPanel(this, QStringLiteral("XiPanel3"), 41);
    btnDelLine = makeButton(XiPanel3, QStringLiteral("btnDelLine"), QStringLiteral("&Delete Line"),
                            QStringLiteral("delete_line"), ButtonScheme::csNeoSilver, 16, 8);
    btnDelLine->resize(97, 25); // the longer caption with its picture
    btnDelLine->setEnabled(false);
    btnClose = makeButton(XiPanel3, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, 688 - 91, 8);
    bands->addWidget(XiPanel3);

    connect(btnCreateInv, &TXiButton::clicked, this, command(this, &TfrmNewInvoice::btnCreateInvClick));
    connect(btnSubmit, &TXiButton::clicked, this, command(this, &TfrmNewInvoice::btnSubmitClick));
    connect(btnDelLine, &TXiButton::clicked, this, command(this, &TfrmNewInvoice::btnDelLineClick));
    connect(btnClose, &TXiButton::clicked, this, command(this, &TfrmNewInvoice::btnCloseClick));

    setTabOrderOf({edtOrderNo, DateEdit1, btnCreateInv, DBLookupComboBox1, edtDiscount, spnUnitCount, btnSubmit, DBGrid1,
                   btnDelLine, btnClose});
}

void TfrmNewInvoice::FormActivate()
{
    DateEdit1->setDate(QDate::currentDate());
    edtOrderNo->clear();
    edtOrderNo->setFocus();
    btnDelLine->setEnabled(false);
    DBLookupComboBox1->setKeyValue(DataModule1->tblProductProd_Code->Value());
}

void TfrmNewInvoice::btnCreateInvClick()
{
    const bool created = guarded([&] {
        const int number = createInvoice(edtOrderNo->text(), DateEdit1->Date());
        btnCreateInv->setEnabled(false);
        btnSubmit->setEnabled(true);
        Label7->setText(QString::number(number));
    });
    if (!created)
        btnCloseClick();
}

void TfrmNewInvoice::discountOutOfRange()
{
    showError(QStringLiteral("Discount out of range. 0 - 100 %"));
    edtDiscount->setFocus();
}

void TfrmNewInvoice::btnSubmitClick()
{
    // A discount that is no whole number is not caught here: it goes on to the general error
    // report, and nothing is written.
    if (textToInteger(edtDiscount->text()) > 100) {
        discountOutOfRange();
        return;
    }
    if (textToInteger(edtDiscount->text()) < 0) {
        discountOutOfRange();
        return;
    }
    guarded([&] {
        addInvoiceLine(spnUnitCount->Value(), textToInteger(edtDiscount->text()));
        showLines();
        btnDelLine->setEnabled(true);
    });
}

void TfrmNewInvoice::showLines()
{
    TQuery* lines = DataModule1->qryInvDetail;
    lines->Close();
    lines->Params(0).SetAsInteger(textToInteger(Label7->text()));
    lines->Open();
}

void TfrmNewInvoice::btnDelLineClick()
{
    TDataModule1* dm = DataModule1;
    guarded([&] {
        // An empty lines grid gives line number 0, which no line has.
        deleteInvoiceLine(dm->qryInvDetailLine_Number->AsInteger());
        dm->qryInvDetail->Close();
        dm->qryInvDetail->Open();
    });
}

void TfrmNewInvoice::resetEditor()
{
    btnCreateInv->setEnabled(true);
    btnSubmit->setEnabled(false);
    btnDelLine->setEnabled(false);
    Label7->clear();
    spnUnitCount->setValue(1);
    edtDiscount->setText(QStringLiteral("0"));
    edtOrderNo->clear();
    DataModule1->qryInvDetail->Close();
    DataModule1->tblProduct->First();
    // The box shows the product Submit would use.
    DBLookupComboBox1->setKeyValue(DataModule1->tblProductProd_Code->Value());
}

void TfrmNewInvoice::closeEvent(QCloseEvent* event)
{
    resetEditor();
    TPanelForm::closeEvent(event);
}

} // namespace zz
