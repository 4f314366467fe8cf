#include "admin/CusAdmin.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "admin/NewCustomer.h"
#include "data/DataMod.h"
#include "data/Errors.h"
#include "widgets/Dialogs.h"

namespace zz {

TfrmCusAdmin* frmCusAdmin = nullptr;

namespace {
constexpr TColor kShaded = 15066597; // light grey, 229 in each channel
}

TfrmCusAdmin::TfrmCusAdmin(QWidget* parent) : TAdminForm(QStringLiteral("Customer Administration"), 688, 446, parent)
{
    setObjectName(QStringLiteral("frmCusAdmin"));
    // The button bar is XiPanel1 here, the content panel XiPanel2.
    makePanels(PanelScheme::csSilver, XiPanel2, XiPanel1);
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));

    Label1 = makeCaption(XiPanel2, QStringLiteral("Label1"), QStringLiteral("Customer Name"), 16, 20);
    edtSearch = new QLineEdit(XiPanel2);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setGeometry(120, 16, 233, 21);
    edtSearch->setMaxLength(50);
    makeFlat(edtSearch, true);
    btnSearch = makeButton(XiPanel2, QStringLiteral("btnSearch"), QStringLiteral("&Search"), QStringLiteral("search"),
                           ButtonScheme::csNeoSilver, 361, 14);

    DBGrid1 = new TDBGrid(XiPanel2);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(16, 48, 657, 321);
    DBGrid1->setFrameStyle(QFrame::Box | QFrame::Plain);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    QPalette pal = DBGrid1->palette();
    pal.setColor(QPalette::Base, Qt::white);
    DBGrid1->setPalette(pal);
    DBGrid1->setReadOnly(true);
    {
        const QFontMetrics fm = DBGrid1->fontMetrics();
        const auto w = [&fm](int chars, const char* title) { return defaultColumnWidth(fm, chars, QLatin1String(title)); };
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        const Qt::Alignment centre = Qt::AlignCenter;
        const QColor shaded = toQColor(kShaded);
        const QColor white = Qt::white;
        DBGrid1->setColumns({
            {QStringLiteral("Cus_Name"), QStringLiteral("Customer Name"), w(50, "Customer Name"), left, centre, shaded},
            {QStringLiteral("Cus_Phone"), QStringLiteral("Customer Phone"), w(15, "Customer Phone"), centre, centre, white},
            {QStringLiteral("Cus_Contact"), QStringLiteral("Customer Contact"), w(20, "Customer Contact"), left, centre, shaded},
            {QStringLiteral("Cus_Address1"), QStringLiteral("Customer Address"), w(50, "Customer Address"), left, left, white},
            {QStringLiteral("Cus_Address2"), QStringLiteral("Customer Address"), w(50, "Customer Address"), left, left, shaded},
            {QStringLiteral("Cus_Address3"), QStringLiteral("Customer Address"), w(10, "Customer Address"), centre, left, white},
            {QStringLiteral("Cus_Web_Address"), QStringLiteral("Customer Web Address"), w(50, "Customer Web Address"), left, centre, shaded},
            {QStringLiteral("Cus_Email"), QStringLiteral("Customer Email"), w(50, "Customer Email"), left, centre, white},
            {QStringLiteral("Cus_VAT_No"), QStringLiteral("Customer VAT Number"), 238, centre, centre, shaded},
        });
    }
    if (DataModule1)
        DBGrid1->setDataSource(DataModule1->datCustomer);

    btnNewCus = makeButton(XiPanel1, QStringLiteral("btnNewCus"), QStringLiteral("&New"), QStringLiteral("new"),
                           ButtonScheme::csNeoSilver, 16, 8);
    btnEditCus = makeButton(XiPanel1, QStringLiteral("btnEditCus"), QStringLiteral("&Edit"), QStringLiteral("edit"),
                            ButtonScheme::csNeoSilver, 104, 8);
    btnDeleteCus = makeButton(XiPanel1, QStringLiteral("btnDeleteCus"), QStringLiteral("&Delete"), QStringLiteral("delete"),
                              ButtonScheme::csNeoSilver, 192, 8);
    btnClose = makeButton(XiPanel1, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, 597, 8);

    setTabOrder(btnClose, btnNewCus);
    setTabOrder(btnNewCus, btnEditCus);
    setTabOrder(btnEditCus, btnDeleteCus);
    setTabOrder(btnDeleteCus, btnSearch);
    setTabOrder(btnSearch, edtSearch);
    setTabOrder(edtSearch, DBGrid1);

    edtSearch->installEventFilter(this);
    connect(btnSearch, &TXiButton::clicked, this, &TfrmCusAdmin::btnSearchClick);
    connect(btnNewCus, &TXiButton::clicked, this, &TfrmCusAdmin::btnNewCusClick);
    connect(btnEditCus, &TXiButton::clicked, this, &TfrmCusAdmin::btnEditCusClick);
    connect(btnDeleteCus, &TXiButton::clicked, this, &TfrmCusAdmin::btnDeleteCusClick);
    connect(btnClose, &TXiButton::clicked, this, &TfrmCusAdmin::btnCloseClick);
}

void TfrmCusAdmin::FormActivate()
{
    edtSearch->clear();
    edtSearch->setFocus();
}

bool TfrmCusAdmin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            edtSearchKeyDown(13);
    }
    return TAdminForm::eventFilter(watched, event); // the key goes on to the edit field
}

void TfrmCusAdmin::edtSearchKeyDown(int key)
{
    if (key == 13)
        btnSearchClick();
}

void TfrmCusAdmin::btnSearchClick()
{
    const QString text = edtSearch->text();
    if (text.isEmpty()) {
        showWarning(QStringLiteral("Please enter a valid Customer Name."));
    } else {
        try {
            if (!DataModule1->tblCustomer->Locate(QStringLiteral("CUS_NAME"), text,
                                                  LocateOption::PartialKey | LocateOption::CaseInsensitive))
                showInformation(QStringLiteral("Customer Name not found."));
        } catch (const Exception& e) {
            showError(e.message());
        }
    }
    edtSearch->setFocus();
}

void TfrmCusAdmin::btnNewCusClick()
{
    try {
        DataModule1->tblCustomer->Insert();
        frmNewCustomer->ShowModal();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmCusAdmin::btnEditCusClick()
{
    try {
        DataModule1->tblCustomer->Edit(); // on an empty list this inserts, as New does
        frmNewCustomer->ShowModal();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmCusAdmin::btnDeleteCusClick()
{
    if (!confirm(QStringLiteral("Delete selected record?")))
        return;
    try {
        // Only the customer row goes; invoices carrying its code stay as they are.
        DataModule1->tblCustomer->Delete();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmCusAdmin::btnCloseClick()
{
    // A failure here reaches the general error report and the window stays open.
    DataModule1->tblCustomer->Refresh();
    DataModule1->tblCustomer->First();
    Close();
}

} // namespace zz
