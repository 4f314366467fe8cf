#include "invoicing/QueryListForm.h"

#include "data/DataMod.h"
#include "invoicing/InvoiceGrids.h"
#include "widgets/Handlers.h"

namespace zz {

TQueryListForm::TQueryListForm(const QString& caption, int clientWidth, int clientHeight,
                               TDataSource* TDataModule1::*source, QWidget* parent)
    : TListForm(caption, clientWidth, clientHeight, nullptr, source, parent), m_listSource(source)
{
}

void TQueryListForm::makeListBands(TXiPanel*& heading, TXiPanel*& bar, const QList<TColumn>& columns)
{
    QVBoxLayout* bands = makeBands(this);
    heading = makeBandPanel(this, QStringLiteral("XiPanel1"), 41);
    bands->addWidget(heading);
    DBGrid1 = makeReadOnlyGrid(this, QStringLiteral("DBGrid1"), DataModule1 ? DataModule1->*m_listSource : nullptr,
                               columns, false);
    DBGrid1->setAccessibleName(windowTitle());
    bands->addWidget(DBGrid1, 1);
    bar = makeBandPanel(this, QStringLiteral("XiPanel2"), 41);
    btnClose = makeButton(bar, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, width() - 91, 8);
    connect(btnClose, &TXiButton::clicked, this, command(this, &TListForm::btnCloseClick));
    bands->addWidget(bar);
}

} // namespace zz
