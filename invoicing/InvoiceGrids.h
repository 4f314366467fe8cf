#pragma once
// What the invoicing windows' grids share: a read-only data grid over a data source, and the
// columns of the invoice grid and of the lines grid. Their titles, fields and alignments are the
// same in every window that shows them; the widths and the shading are each window's own.
#include <QFontMetrics>
#include <array>

#include "widgets/DBGrid.h"

namespace zz {

// A column width that follows the field and the title (the grid's default).
inline constexpr int kDefaultWidth = -1;

// A read-only data grid over a data source with its columns, white, with a thin flat border or
// none.
TDBGrid* makeReadOnlyGrid(QWidget* parent, const QString& name, TDataSource* source, const QList<TColumn>& columns,
                          bool border);

// The invoices of a customer: number, date, pay date, order number, paid, age class, cancelled.
// Titles centred; shaded, the first column and every second one after it are light grey.
QList<TColumn> invoiceColumns(const QFontMetrics& metrics, const std::array<int, 7>& widths, bool shaded);

// The lines of an invoice: product description, units, discount, unit price, discounted price,
// total. Titles centred except the first.
QList<TColumn> lineColumns(const QFontMetrics& metrics, const std::array<int, 6>& widths);

} // namespace zz
