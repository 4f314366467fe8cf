#include "invoicing/CancelledInv.h"

#include "data/DataMod.h"
#include "widgets/Layout.h"

namespace zz {

TfrmCancelledInv* frmCancelledInv = nullptr;

TfrmCancelledInv::TfrmCancelledInv(QWidget* parent)
    : TQueryListForm(QStringLiteral("Cancelled Invoices"), 688, 446, &TDataModule1::datCancelledInv, parent)
{
    setObjectName(QStringLiteral("frmCancelledInv"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    makeListBands(XiPanel1, XiPanel2,
                  {
                      {QStringLiteral("Cus_Name"), QStringLiteral("Customer Name"), 419, left, left},
                      {QStringLiteral("Inv_Number"), QStringLiteral("Invoice Number"), 117, left, centre},
                      {QStringLiteral("Inv_Date"), QStringLiteral("Invoice Date"), 115, centre, centre},
                  });
    // The heading is the panel's own caption.
    XiPanel1->setFont(arialFont(24, true));
    XiPanel1->setCaption(QStringLiteral("Cancelled Invoices"));

    setTabOrderOf({DBGrid1, btnClose});
}

} // namespace zz
