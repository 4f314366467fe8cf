#pragma once
// The read-only lists of the invoicing menu: a heading panel 41 pixels high across the top, the
// grid of a named query filling the middle, and a button bar 41 pixels high along the bottom with
// "&Close" at its right end. The grid grows with the window; the buttons keep their places. The
// menu reopens the query before it shows the window, so the window prepares nothing itself.
#include <functional>

#include "widgets/ListForm.h"

namespace zz {

class TQueryListForm : public TListForm {
    Q_OBJECT
protected:
    TQueryListForm(const QString& caption, int clientWidth, int clientHeight, TDataSource* TDataModule1::*source,
                   QWidget* parent);

    // The two panels (silver, vertical fill) under their names, the grid between them with white
    // cells and the given columns, and "&Close" on the bar.
    void makeBands(TXiPanel*& heading, const char* headingName, TXiPanel*& bar, const char* barName,
                   const std::function<QList<TColumn>(const QFontMetrics&)>& columns);
    // A heading label across the heading panel (Arial, 24 px, bold, centred), kept centred as
    // the window is resized.
    QLabel* makeHeadingLabel(const QString& name, const QString& text);
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeBands();

    TXiPanel* m_heading = nullptr;
    TXiPanel* m_bar = nullptr;
    QLabel* m_headingLabel = nullptr;
};

} // namespace zz
