#include "app/Admin.h"

#include "admin/CompanyAdmin.h"
#include "admin/CusAdmin.h"
#include "admin/ProdAdmin.h"
#include "admin/VAT.h"
#include "data/DataMod.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmAdmin* frmAdmin = nullptr;

TfrmAdmin::TfrmAdmin(QWidget* parent)
    : TSectionMenu({QStringLiteral("Administration"), 760, 235, 175, {16, 200, 384, 568}, 65, 664,
                    ButtonLayout::blGlyphLeft},
                   parent)
{
    setObjectName(QStringLiteral("frmAdmin"));
    XiPanel2 = clientPanel();
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));
    XiPanel1 = bottomStrip();
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));

    btnCustomer = addTaskButton(QStringLiteral("btnCustomer"), QStringLiteral("C&ustomer"), QStringLiteral("customer"),
                                QStringLiteral("Administration functions for the Customer table."));
    btnProduct = addTaskButton(QStringLiteral("btnProduct"), QStringLiteral("&Product"), QStringLiteral("product"),
                               QStringLiteral("Administration functions for the Product table."));
    btnCompany = addTaskButton(QStringLiteral("btnCompany"), QStringLiteral("Co&mpany"), QStringLiteral("company"),
                               QStringLiteral("Administration functions for your Company Information."));
    btnVAT = addTaskButton(QStringLiteral("btnVAT"), QStringLiteral("V&AT"), QStringLiteral("vat"),
                           QStringLiteral("Administration functions for the VAT table."));
    // The client panel, the title, the help line and Close clear the help line; the strip does not.
    clearsHelpLine(XiPanel2);
    clearsHelpLine(Label1);
    clearsHelpLine(Label2);
    clearsHelpLine(btnClose);

    connect(btnCustomer, &TXiButton::clicked, this, command(this, &TfrmAdmin::btnCustomerClick));
    connect(btnProduct, &TXiButton::clicked, this, command(this, &TfrmAdmin::btnProductClick));
    connect(btnCompany, &TXiButton::clicked, this, command(this, &TfrmAdmin::btnCompanyClick));
    connect(btnVAT, &TXiButton::clicked, this, command(this, &TfrmAdmin::btnVATClick));
}

void TfrmAdmin::btnCustomerClick() { hideAndRun(frmCusAdmin); }

void TfrmAdmin::btnProductClick() { hideAndRun(frmProdAdmin); }

// The dialogs edit the row the menu has put into edit mode (on an empty table, a first row
// inserted); if that fails, its message shows and the dialog does not open.
void TfrmAdmin::btnCompanyClick()
{
    guarded([this] {
        DataModule1->tblCompany->Edit();
        stackAndRun(frmAdminCompany);
    });
}

void TfrmAdmin::btnVATClick()
{
    guarded([this] {
        DataModule1->tblVAT->Edit();
        stackAndRun(frmVAT);
    });
}

} // namespace zz
