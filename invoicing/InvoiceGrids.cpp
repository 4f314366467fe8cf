#include "invoicing/InvoiceGrids.h"

#include <QHeaderView>
#include <functional>

#include "widgets/Colors.h"
#include "widgets/WindowKit.h"

namespace zz {

namespace {
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;

// A field's column, its width the given one or the default for so many characters.
struct ColumnShape {
    const char* field;
    const char* title;
    int characters; // for the default width
    Qt::Alignment alignment;
};

QList<TColumn> columnsOf(const QFontMetrics& metrics, const ColumnShape* shapes, const int* widths, int n,
                         const std::function<Qt::Alignment(int)>& titleAlignment, const std::function<QColor(int)>& colour)
{
    QList<TColumn> columns;
    for (int i = 0; i < n; ++i) {
        const ColumnShape& c = shapes[i];
        const QString title = QLatin1String(c.title);
        const int width = widths[i] == kDefaultWidth ? defaultColumnWidth(metrics, c.characters, title) : widths[i];
        columns.push_back({QLatin1String(c.field), title, width, c.alignment, titleAlignment(i), colour(i)});
    }
    return columns;
}
} // namespace

TDBGrid* makeReadOnlyGrid(QWidget* parent, const QString& name, TDataSource* source, const QList<TColumn>& columns,
                          bool border)
{
    auto* grid = new TDBGrid(parent);
    grid->setObjectName(name);
    grid->setFrameStyle(border ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    grid->horizontalHeader()->setHighlightSections(false);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Base, Qt::white);
    grid->setPalette(pal);
    grid->setReadOnly(true);
    grid->setColumns(columns);
    grid->setDataSource(source);
    return grid;
}

QList<TColumn> invoiceColumns(const QFontMetrics& metrics, const std::array<int, 7>& widths, bool shaded)
{
    static const ColumnShape shapes[] = {
        {"Inv_Number", "Invoice Number", 11, kLeft},      {"Inv_Date", "Invoice Date", 10, kCentre},
        {"Inv_PayDate", "Invoice PayDate", 10, kCentre},  {"Inv_Order_No", "Invoice Order Number", 25, kLeft},
        {"Inv_Paid", "Invoice Paid", 3, kCentre},         {"Inv_Days", "Invoice Days", 10, kLeft},
        {"Inv_Cancelled", "Invoice Cancelled", 3, kCentre},
    };
    const QColor grey = toQColor(15066597); // 229 in each channel, as the lists' shaded columns
    return columnsOf(
        metrics, shapes, widths.data(), 7, [](int) { return kCentre; },
        [&](int i) { return shaded && i % 2 == 0 ? grey : QColor(Qt::white); });
}

QList<TColumn> lineColumns(const QFontMetrics& metrics, const std::array<int, 6>& widths)
{
    static const ColumnShape shapes[] = {
        {"Prod_Description", "Product Description", 100, kLeft}, {"Line_Units", "Units", 11, kCentre},
        {"Line_Discount", "Unit Discount", 5, kCentre},          {"Line_Price", "Unit Price", 10, kLeft},
        {"Line_Discount_Price", "Discounted Price", 10, kLeft},  {"Total", "Total", 10, kLeft},
    };
    return columnsOf(
        metrics, shapes, widths.data(), 6, [](int i) { return i == 0 ? kLeft : kCentre; },
        [](int) { return QColor(Qt::white); });
}

} // namespace zz
