#include "admin/ProdAdmin.h"

#include "admin/NewProd.h"
#include "data/DataMod.h"
#include "widgets/Handlers.h"
#include "exchange/ImportFile.h"

namespace zz {

TfrmProdAdmin* frmProdAdmin = nullptr;

TfrmProdAdmin::TfrmProdAdmin(QWidget* parent)
    : TListForm(QStringLiteral("Product Administration"), 688, 446, &TDataModule1::tblProduct, &TDataModule1::datProduct, parent)
{
    setObjectName(QStringLiteral("frmProdAdmin"));
    makePanels(PanelScheme::csSilver, XiPanel1, XiPanel2);

    Label1 = makeSearchRow(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Product Description"), 136, 0, false,
                           {QStringLiteral("PROD_DESCRIPTION"), QStringLiteral("Please enter a valid Product Description."),
                            QStringLiteral("Product Description not found.")});
    // Prices are typed straight into the grid.
    makeGrid(XiPanel1, QRect(16, 48, 657, 321), false, false, [](const QFontMetrics& fm) {
        const QColor shaded = shadedColumn();
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
        return QList<TColumn>{
            {QStringLiteral("Prod_Code"), QStringLiteral("Product Code"),
             defaultColumnWidth(fm, 20, QStringLiteral("Product Code")), left, Qt::AlignCenter, shaded},
            {QStringLiteral("Prod_Description"), QStringLiteral("Product Description"), 399, left, Qt::AlignCenter, Qt::white},
            {QStringLiteral("Prod_Price"), QStringLiteral("Unit Price"), 96, right, Qt::AlignCenter, shaded},
        };
    });
    DBGrid1->setAccessibleName(QStringLiteral("Products"));

    // Delete leaves invoice lines that name the product as they are; Close first writes a price
    // still being typed in the grid.
    makeMasterBar(XiPanel2, btnNew, "btnNew", btnEdit, "btnEdit", btnDelete, "btnDelete",
                  []() -> TForm* { return frmNewProd; });

    btnImport = makeButton(XiPanel2, QStringLiteral("btnImport"), QStringLiteral("I&mport..."), QStringLiteral("open"),
                           ButtonScheme::csNeoSilver, 280, 8);
    connect(btnImport, &TXiButton::clicked, this, command(this, &TfrmProdAdmin::btnImportClick));

    setTabOrderOf({btnSearch, edtSearch, DBGrid1, btnNew, btnEdit, btnDelete, btnImport, btnClose});
}

void TfrmProdAdmin::btnImportClick() { importDialog(this)->Run(exchange::ImportKind::Products); }

} // namespace zz
