#include "invoicing/MainInvoice.h"

#include <QScopeGuard>

#include "admin/CusAdmin.h"
#include "data/DataMod.h"
#include "invoicing/InvDetail.h"
#include "invoicing/InvoiceGrids.h"
#include "invoicing/NewInvoice.h"
#include "reports/PrintInvoice.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmMainInvoice* frmMainInvoice = nullptr;

TfrmMainInvoice::TfrmMainInvoice(QWidget* parent)
    : TListForm(QStringLiteral("Invoice Detail"), 750, 500, &TDataModule1::tblCustomer, &TDataModule1::datCustomer, parent)
{
    setObjectName(QStringLiteral("frmMainInvoice"));
    QVBoxLayout* bands = makeBands(this);

    XiPanel1 = makeBandPanel(this, QStringLiteral("XiPanel1"), 41);
    Label1 = makeBandHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Customer Invoices"));
    bands->addWidget(XiPanel1);

    XiPanel2 = makeBandPanel(this, QStringLiteral("XiPanel2"), 41);
    Label2 = makeSearchRow(XiPanel2, QStringLiteral("Label2"), QStringLiteral("Customer Name"), 112, 50, true,
                           {QStringLiteral("CUS_NAME"), QStringLiteral("Please enter a valid Customer Name."),
                            QStringLiteral("Customer Name not found.")});
    // The row stands in the middle of its 41-pixel band.
    Label2->move(Label2->x(), 14);
    edtSearch->move(edtSearch->x(), 10);
    btnSearch->move(btnSearch->x(), 8);
    bands->addWidget(XiPanel2);

    makeGrid(this, QRect(0, 0, 750, 143), true, true, [](const QFontMetrics&) {
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        const Qt::Alignment centre = Qt::AlignCenter;
        return QList<TColumn>{
            {QStringLiteral("Cus_Name"), QStringLiteral("Customer Name"), 393, left, centre, shadedColumn()},
            {QStringLiteral("Cus_Phone"), QStringLiteral("Customer Phone"), 144, centre, centre, QColor(Qt::white)},
            {QStringLiteral("Cus_Contact"), QStringLiteral("Customer Contact"), 177, left, centre, shadedColumn()},
        };
    });
    DBGrid1->setAccessibleName(QStringLiteral("Customers"));
    DBGrid1->setFrameStyle(QFrame::NoFrame);
    DBGrid1->setFixedHeight(143);
    bands->addWidget(DBGrid1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    New1 = PopupMenu1->addAction(QStringLiteral("New..."), this, command(this, &TfrmMainInvoice::New1Click));
    New1->setObjectName(QStringLiteral("New1"));
    Edit1 = PopupMenu1->addAction(QStringLiteral("Edit..."), this, command(this, &TfrmMainInvoice::Edit1Click));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Delete1 = PopupMenu1->addAction(QStringLiteral("Delete"), this, command(this, &TfrmMainInvoice::Delete1Click));
    Delete1->setObjectName(QStringLiteral("Delete1"));
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            command([this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); }));

    XiPanel3 = makeBandPanel(this, QStringLiteral("XiPanel3"), 41);
    bands->addWidget(XiPanel3);

    DBGrid2 = makeReadOnlyGrid(this, QStringLiteral("DBGrid2"), DataModule1 ? DataModule1->datInvoice : nullptr,
                               invoiceColumns(fontMetrics(), {126, 91, 85, 149, 81, 88, kDefaultWidth}, true), false);
    DBGrid2->setAccessibleName(QStringLiteral("Invoices"));
    connect(DBGrid2, &TDBGrid::DblClick, this, command(this, &TfrmMainInvoice::DBGrid2DblClick));
    bands->addWidget(DBGrid2, 1);

    XiPanel4 = makeBandPanel(this, QStringLiteral("XiPanel4"), 41);
    btnNewInv = makeButton(XiPanel4, QStringLiteral("btnNewInv"), QStringLiteral("&New"), QStringLiteral("new"),
                           ButtonScheme::csNeoSilver, 16, 8);
    btnViewInv = makeButton(XiPanel4, QStringLiteral("btnViewInv"), QStringLiteral("&Print..."), QStringLiteral("print"),
                            ButtonScheme::csNeoSilver, 104, 8);
    btnDetail = makeButton(XiPanel4, QStringLiteral("btnDetail"), QStringLiteral("&Detail"), QStringLiteral("detail"),
                           ButtonScheme::csNeoSilver, 192, 8);
    btnClose = makeButton(XiPanel4, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, 750 - 105, 8);
    connect(btnNewInv, &TXiButton::clicked, this, command(this, &TfrmMainInvoice::btnNewInvClick));
    connect(btnViewInv, &TXiButton::clicked, this, command(this, &TfrmMainInvoice::btnViewInvClick));
    connect(btnDetail, &TXiButton::clicked, this, command(this, &TfrmMainInvoice::btnDetailClick));
    connect(btnClose, &TXiButton::clicked, this, command(this, &TfrmMainInvoice::btnCloseClick));
    bands->addWidget(XiPanel4);

    setTabOrderOf({edtSearch, btnSearch, DBGrid1, DBGrid2, btnNewInv, btnViewInv, btnDetail, btnClose});
    anchorCloseButton(btnClose);
    makeMaximised(this);
}

void TfrmMainInvoice::btnNewInvClick()
{
    DataModule1->qryInvDetail->Close();
    frmNewInvoice->ShowModal();
}

void TfrmMainInvoice::btnDetailClick()
{
    hideKeepingModal();
    const auto showAgain = qScopeGuard([this] { showKeepingModal(); });
    frmInvDetail->ShowModal();
}

void TfrmMainInvoice::btnViewInvClick()
{
    guarded([] { printInvoice(DataModule1->tblInvoiceInv_Number->AsInteger()); });
}

void TfrmMainInvoice::New1Click() { frmCusAdmin->btnNewCusClick(); }
void TfrmMainInvoice::Edit1Click() { frmCusAdmin->btnEditCusClick(); }
void TfrmMainInvoice::Delete1Click() { frmCusAdmin->btnDeleteCusClick(); }

} // namespace zz
