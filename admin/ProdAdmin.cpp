#include "admin/ProdAdmin.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "admin/NewProd.h"
#include "data/DataMod.h"
#include "data/Errors.h"
#include "widgets/Dialogs.h"

namespace zz {

TfrmProdAdmin* frmProdAdmin = nullptr;

namespace {
constexpr TColor kShaded = 15066597; // light grey, 229 in each channel
}

TfrmProdAdmin::TfrmProdAdmin(QWidget* parent) : TAdminForm(QStringLiteral("Product Administration"), 688, 446, parent)
{
    setObjectName(QStringLiteral("frmProdAdmin"));
    makePanels(PanelScheme::csSilver, XiPanel1, XiPanel2);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));

    Label1 = makeCaption(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Product Description"), 16, 20);
    edtSearch = new QLineEdit(XiPanel1);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setGeometry(136, 16, 233, 21);
    makeFlat(edtSearch, false);
    btnSearch = makeButton(XiPanel1, QStringLiteral("btnSearch"), QStringLiteral("&Search"), QStringLiteral("search"),
                           ButtonScheme::csNeoSilver, 377, 14);

    DBGrid1 = new TDBGrid(XiPanel1);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(16, 48, 657, 321);
    DBGrid1->setFrameStyle(QFrame::Box | QFrame::Plain);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    QPalette pal = DBGrid1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    DBGrid1->setPalette(pal);
    // Prices are typed straight into the grid.
    DBGrid1->setReadOnly(false);
    {
        const QFontMetrics fm = DBGrid1->fontMetrics();
        const QColor shaded = toQColor(kShaded);
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
        DBGrid1->setColumns({
            {QStringLiteral("Prod_Code"), QStringLiteral("Product Code"),
             defaultColumnWidth(fm, 20, QStringLiteral("Product Code")), left, Qt::AlignCenter, shaded},
            {QStringLiteral("Prod_Description"), QStringLiteral("Product Description"), 399, left, Qt::AlignCenter, Qt::white},
            {QStringLiteral("Prod_Price"), QStringLiteral("Unit Price"), 96, right, Qt::AlignCenter, shaded},
        });
    }
    if (DataModule1)
        DBGrid1->setDataSource(DataModule1->datProduct);

    btnNew = makeButton(XiPanel2, QStringLiteral("btnNew"), QStringLiteral("&New"), QStringLiteral("new"),
                        ButtonScheme::csNeoSilver, 16, 8);
    btnEdit = makeButton(XiPanel2, QStringLiteral("btnEdit"), QStringLiteral("&Edit"), QStringLiteral("edit"),
                         ButtonScheme::csNeoSilver, 104, 8);
    btnDelete = makeButton(XiPanel2, QStringLiteral("btnDelete"), QStringLiteral("&Delete"), QStringLiteral("delete"),
                           ButtonScheme::csNeoSilver, 192, 8);
    btnClose = makeButton(XiPanel2, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, 597, 8);

    QWidget* order[] = {btnSearch, edtSearch, DBGrid1, btnNew, btnEdit, btnDelete, btnClose};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    edtSearch->installEventFilter(this);
    connect(btnSearch, &TXiButton::clicked, this, &TfrmProdAdmin::btnSearchClick);
    connect(btnNew, &TXiButton::clicked, this, &TfrmProdAdmin::btnNewClick);
    connect(btnEdit, &TXiButton::clicked, this, &TfrmProdAdmin::btnEditClick);
    connect(btnDelete, &TXiButton::clicked, this, &TfrmProdAdmin::btnDeleteClick);
    connect(btnClose, &TXiButton::clicked, this, &TfrmProdAdmin::btnCloseClick);
}

void TfrmProdAdmin::FormActivate()
{
    edtSearch->clear();
    edtSearch->setFocus();
}

bool TfrmProdAdmin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            edtSearchKeyDown(13);
    }
    return TAdminForm::eventFilter(watched, event); // the key goes on to the edit field
}

void TfrmProdAdmin::edtSearchKeyDown(int key)
{
    if (key == 13)
        btnSearchClick();
}

void TfrmProdAdmin::btnSearchClick()
{
    const QString text = edtSearch->text();
    if (text.isEmpty()) {
        showWarning(QStringLiteral("Please enter a valid Product Description."));
    } else {
        try {
            if (!DataModule1->tblProduct->Locate(QStringLiteral("PROD_DESCRIPTION"), text,
                                                 LocateOption::PartialKey | LocateOption::CaseInsensitive))
                showInformation(QStringLiteral("Product Description not found."));
        } catch (const Exception& e) {
            showError(e.message());
        }
    }
    edtSearch->setFocus();
}

void TfrmProdAdmin::btnNewClick()
{
    try {
        DataModule1->tblProduct->Insert();
        frmNewProd->ShowModal();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmProdAdmin::btnEditClick()
{
    try {
        // A grid edit already pending stays as it is and the editor shows it.
        DataModule1->tblProduct->Edit();
        frmNewProd->ShowModal();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmProdAdmin::btnDeleteClick()
{
    if (!confirm(QStringLiteral("Delete selected record?")))
        return;
    try {
        // Invoice lines that name the product are left as they are.
        DataModule1->tblProduct->Delete();
    } catch (const Exception& e) {
        showError(e.message());
    }
}

void TfrmProdAdmin::btnCloseClick()
{
    // Re-reading first writes a price still being typed in the grid. A failure reaches the
    // general error report and the window stays open.
    DataModule1->tblProduct->Refresh();
    DataModule1->tblProduct->First();
    Close();
}

} // namespace zz
