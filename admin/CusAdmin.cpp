#include "admin/CusAdmin.h"

#include "admin/CustomerEInvoicing.h"
#include "admin/NewCustomer.h"
#include "data/DataMod.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmCusAdmin* frmCusAdmin = nullptr;

TfrmCusAdmin::TfrmCusAdmin(QWidget* parent)
    : TListForm(QStringLiteral("Customer Administration"), 688, 446, &TDataModule1::tblCustomer, &TDataModule1::datCustomer, parent)
{
    setObjectName(QStringLiteral("frmCusAdmin"));
    // The button bar is XiPanel1 here, the content panel XiPanel2.
    makePanels(PanelScheme::csSilver, XiPanel2, XiPanel1, "XiPanel2", "XiPanel1");

    Label1 = makeSearchRow(XiPanel2, QStringLiteral("Label1"), QStringLiteral("Customer Name"), 120, 50, true,
                           {QStringLiteral("CUS_NAME"), QStringLiteral("Please enter a valid Customer Name."),
                            QStringLiteral("Customer Name not found.")});
    // The list is read-only: rows change only through the editor.
    makeGrid(XiPanel2, QRect(16, 48, 657, 321), true, true, [](const QFontMetrics& fm) {
        const auto w = [&fm](int chars, const char* title) { return defaultColumnWidth(fm, chars, QLatin1String(title)); };
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        const Qt::Alignment centre = Qt::AlignCenter;
        const QColor shaded = shadedColumn();
        const QColor white = Qt::white;
        return QList<TColumn>{
            {QStringLiteral("Cus_Name"), QStringLiteral("Customer Name"), w(50, "Customer Name"), left, centre, shaded},
            {QStringLiteral("Cus_Phone"), QStringLiteral("Customer Phone"), w(15, "Customer Phone"), centre, centre, white},
            {QStringLiteral("Cus_Contact"), QStringLiteral("Customer Contact"), w(20, "Customer Contact"), left, centre, shaded},
            {QStringLiteral("Cus_Address1"), QStringLiteral("Customer Address"), w(50, "Customer Address"), left, left, white},
            {QStringLiteral("Cus_Address2"), QStringLiteral("Customer Address"), w(50, "Customer Address"), left, left, shaded},
            {QStringLiteral("Cus_Address3"), QStringLiteral("Customer Address"), w(10, "Customer Address"), centre, left, white},
            {QStringLiteral("Cus_Web_Address"), QStringLiteral("Customer Web Address"), w(50, "Customer Web Address"), left, centre, shaded},
            {QStringLiteral("Cus_Email"), QStringLiteral("Customer Email"), w(50, "Customer Email"), left, centre, white},
            {QStringLiteral("Cus_VAT_No"), QStringLiteral("Customer VAT Number"), 238, centre, centre, shaded},
        };
    });
    DBGrid1->setAccessibleName(QStringLiteral("Customers"));

    makeMasterBar(XiPanel1, btnNewCus, "btnNewCus", btnEditCus, "btnEditCus", btnDeleteCus, "btnDeleteCus",
                  []() -> TForm* { return frmNewCustomer; });

    btnEInvoicing = makeButton(XiPanel1, QStringLiteral("btnEInvoicing"), QStringLiteral("E-&Invoicing"),
                               QStringLiteral("edit"), ButtonScheme::csNeoSilver, 280, 8);
    btnEInvoicing->resize(101, 25);
    connect(btnEInvoicing, &TXiButton::clicked, this, command(this, &TfrmCusAdmin::btnEInvoicingClick));

    setTabOrderOf({btnClose, btnNewCus, btnEditCus, btnDeleteCus, btnEInvoicing, btnSearch, edtSearch, DBGrid1});
}

void TfrmCusAdmin::btnEInvoicingClick() { frmCustomerEInvoicing->ExecuteForCurrentCustomer(); }

} // namespace zz
