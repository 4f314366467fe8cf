#pragma once
// The read-only lists of the invoicing menu: a heading band 41 pixels high across the top, the
// grid of a named query filling the middle, and a button bar 41 pixels high along the bottom with
// "&Close" at its right end. The grid grows with the window; the buttons keep their places. The
// menu reopens the query before it shows the window, so the window prepares nothing itself.
#include "widgets/ListForm.h"

namespace zz {

class TQueryListForm : public TListForm {
    Q_OBJECT
protected:
    TQueryListForm(const QString& caption, int clientWidth, int clientHeight, TDataSource* TDataModule1::*source,
                   QWidget* parent);

    // The bands: the heading panel XiPanel1, the grid DBGrid1 over the list's data source with
    // white cells and these columns, and the bar XiPanel2 with "&Close".
    void makeListBands(TXiPanel*& heading, TXiPanel*& bar, const QList<TColumn>& columns);

private:
    TDataSource* TDataModule1::*m_listSource;
};

} // namespace zz
