#include "Previews.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTableWidget>

#include "Icons.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

using namespace zz;

namespace pictures {

namespace {

const QSize kPreviewSize(473, 377);

QFont uiFont(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

TXiPanel* panel(QWidget* parent, const QRect& geometry, PanelScheme scheme)
{
    auto p = new TXiPanel(parent);
    p->setColorScheme(scheme);
    p->setGeometry(geometry);
    return p;
}

TXiButton* button(QWidget* parent, const QString& caption, const QString& glyphName, const QRect& geometry,
                  ButtonScheme scheme, ButtonLayout layout = ButtonLayout::blGlyphLeft)
{
    auto b = new TXiButton(caption, parent);
    b->setColorScheme(scheme);
    b->setCtl3D(false);
    b->setGeometry(geometry);
    b->setFont(uiFont(11));
    b->setGlyphLayout(layout);
    if (!glyphName.isEmpty())
        b->setGlyph(iconNamed(glyphName));
    return b;
}

QLabel* label(QWidget* parent, const QString& text, const QPoint& at, const QFont& font)
{
    auto l = new QLabel(text, parent);
    l->setFont(font);
    l->move(at);
    l->adjustSize();
    return l;
}

QTableWidget* grid(QWidget* parent, const QRect& geometry, const QStringList& titles, const QList<QStringList>& rows)
{
    auto t = new QTableWidget(int(rows.size()), int(titles.size()), parent);
    t->setGeometry(geometry);
    t->setFont(uiFont(11));
    t->setHorizontalHeaderLabels(titles);
    t->verticalHeader()->setDefaultSectionSize(18);
    t->verticalHeader()->setFixedWidth(12);
    t->verticalHeader()->setFont(uiFont(9));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < titles.size() && c < rows[r].size(); ++c)
            t->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    t->horizontalHeader()->setStretchLastSection(true);
    t->resizeColumnsToContents();
    t->selectRow(0);
    return t;
}

// Renders a mock window: a title bar with the caption over the client widget, in a thin frame.
QImage windowImage(QWidget* client, const QString& title)
{
    client->setAttribute(Qt::WA_DontShowOnScreen);
    client->show();
    const QImage body = client->grab().toImage();
    const int titleHeight = 22;
    QImage image(body.width() + 2, body.height() + titleHeight + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QLinearGradient bar(0, 0, 0, titleHeight);
    bar.setColorAt(0, QColor(74, 134, 214));
    bar.setColorAt(1, QColor(30, 72, 142));
    p.fillRect(QRect(0, 0, image.width(), titleHeight), bar);
    p.setFont(uiFont(12, true));
    p.setPen(Qt::white);
    p.drawText(QRect(8, 0, image.width() - 60, titleHeight), Qt::AlignVCenter, title);
    // Window controls.
    for (int i = 0; i < 2; ++i) {
        const QRect box(image.width() - 20 - i * 19, 4, 15, 14);
        p.fillRect(box, i == 0 ? QColor(210, 70, 60) : QColor(96, 150, 215));
        p.setPen(Qt::white);
        if (i == 0) {
            p.drawLine(box.left() + 4, box.top() + 4, box.right() - 4, box.bottom() - 4);
            p.drawLine(box.right() - 4, box.top() + 4, box.left() + 4, box.bottom() - 4);
        } else {
            p.drawLine(box.left() + 4, box.bottom() - 4, box.right() - 4, box.bottom() - 4);
        }
    }
    p.drawImage(1, titleHeight, body);
    p.setPen(QColor(30, 60, 110));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

// The preview's background: transparent, so that the panel behind it shows, with the section's
// name along the bottom.
QImage background(const QString& caption)
{
    QImage image(kPreviewSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(uiFont(26, true));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, image.height() - 50, image.width() - 14, 44).translated(1, 1), Qt::AlignRight | Qt::AlignVCenter, caption);
    p.setPen(QColor(40, 60, 100));
    p.drawText(QRect(0, image.height() - 50, image.width() - 14, 44), Qt::AlignRight | Qt::AlignVCenter, caption);
    return image;
}

// Places a window picture, scaled, with a soft shadow.
void place(QPainter& p, const QImage& window, const QPoint& at, qreal scale)
{
    const QSize size(qRound(window.width() * scale), qRound(window.height() * scale));
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 6; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(QRectF(at.x() + 2, at.y() + 3, size.width() + i, size.height() + i), i, i);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(at, size), window);
}

// A section menu: title, a row of task buttons with their pictures and the help line.
QImage menuWindow(const QString& title, const QList<QPair<QString, QString>>& tasks, int buttonWidth, bool pictureAbove,
                  const QString& help)
{
    const int width = tasks.size() == 2 ? 382 : 760;
    QWidget w;
    w.resize(width, 235);
    auto client = panel(&w, QRect(0, 0, width, 194), PanelScheme::csSilver);
    auto heading = label(client, title, QPoint(0, 0), uiFont(24, true));
    heading->setGeometry(0, 0, width, 56);
    heading->setAlignment(Qt::AlignCenter);
    const int lefts[4] = {16, 200, 384, 568};
    const int twoLefts[2] = {16, 216};
    for (int i = 0; i < tasks.size(); ++i) {
        const int left = tasks.size() == 2 ? twoLefts[i] : lefts[i];
        button(client, tasks[i].first, tasks[i].second, QRect(left, 56, buttonWidth, 75), ButtonScheme::csNeoSilver,
               pictureAbove ? ButtonLayout::blGlyphTop : ButtonLayout::blGlyphLeft);
    }
    auto helpLine = label(client, help, QPoint(0, 0), uiFont(13));
    helpLine->setGeometry(0, 131, width, 63);
    helpLine->setAlignment(Qt::AlignCenter);
    auto strip = panel(&w, QRect(0, 194, width, 41), PanelScheme::csSilver);
    button(strip, QStringLiteral("&Close"), QStringLiteral("close"), QRect(width - 96, 8, 75, 25), ButtonScheme::csNeoSilver);
    return windowImage(&w, title);
}

QImage customerAdminWindow()
{
    QWidget w;
    w.resize(560, 330);
    auto content = panel(&w, QRect(0, 0, 560, 289), PanelScheme::csSilver);
    label(content, QStringLiteral("Customer Name"), QPoint(16, 14), uiFont(11));
    auto search = new QLineEdit(QStringLiteral("Ha"), content);
    search->setGeometry(110, 10, 233, 21);
    button(content, QStringLiteral("&Search"), QStringLiteral("search"), QRect(356, 8, 75, 25), ButtonScheme::csNeoSilver);
    grid(content, QRect(8, 41, 544, 240),
         {QStringLiteral("Customer Name"), QStringLiteral("Telephone"), QStringLiteral("Town")},
         {{QStringLiteral("Hartley Joinery"), QStringLiteral("021 555 0142"), QStringLiteral("Stellenbosch")},
          {QStringLiteral("Harvest Bakery"), QStringLiteral("021 555 0177"), QStringLiteral("Paarl")},
          {QStringLiteral("Kestrel Printing"), QStringLiteral("011 555 0110"), QStringLiteral("Midrand")},
          {QStringLiteral("Marigold Florists"), QStringLiteral("031 555 0196"), QStringLiteral("Durban")},
          {QStringLiteral("Oakleaf Dental"), QStringLiteral("012 555 0133"), QStringLiteral("Pretoria")},
          {QStringLiteral("Summit Outdoor"), QStringLiteral("044 555 0121"), QStringLiteral("George")},
          {QStringLiteral("Tamarind Kitchen"), QStringLiteral("021 555 0168"), QStringLiteral("Cape Town")}});
    auto bar = panel(&w, QRect(0, 289, 560, 41), PanelScheme::csSilver);
    button(bar, QStringLiteral("&New"), QStringLiteral("new"), QRect(8, 8, 75, 25), ButtonScheme::csNeoSilver);
    button(bar, QStringLiteral("&Edit"), QStringLiteral("edit"), QRect(88, 8, 75, 25), ButtonScheme::csNeoSilver);
    button(bar, QStringLiteral("&Delete"), QStringLiteral("delete"), QRect(168, 8, 75, 25), ButtonScheme::csNeoSilver);
    button(bar, QStringLiteral("&Close"), QStringLiteral("close"), QRect(477, 8, 75, 25), ButtonScheme::csNeoSilver);
    return windowImage(&w, QStringLiteral("Customer Administration"));
}

QImage customerDialog()
{
    QWidget w;
    w.resize(330, 230);
    auto content = panel(&w, QRect(0, 0, 330, 189), PanelScheme::csRose);
    const QStringList captions = {QStringLiteral("Name"), QStringLiteral("Contact"), QStringLiteral("Telephone"),
                                  QStringLiteral("Address"), QStringLiteral("Town")};
    const QStringList values = {QStringLiteral("Hartley Joinery"), QStringLiteral("J. Hartley"), QStringLiteral("021 555 0142"),
                                QStringLiteral("14 Dorp Street"), QStringLiteral("Stellenbosch")};
    for (int i = 0; i < captions.size(); ++i) {
        label(content, captions[i], QPoint(16, 16 + i * 32), uiFont(11, i == 0));
        auto edit = new QLineEdit(values[i], content);
        edit->setGeometry(112, 12 + i * 32, 200, 21);
        edit->setFrame(false);
    }
    auto bar = panel(&w, QRect(0, 189, 330, 41), PanelScheme::csRose);
    button(bar, QStringLiteral("&Save"), QStringLiteral("save"), QRect(8, 8, 75, 25), ButtonScheme::csNeoRose);
    button(bar, QStringLiteral("&Cancel"), QStringLiteral("cancel"), QRect(247, 8, 75, 25), ButtonScheme::csNeoRose);
    return windowImage(&w, QStringLiteral("Customer"));
}

QImage invoiceBrowserWindow()
{
    QWidget w;
    w.resize(560, 340);
    auto heading = panel(&w, QRect(0, 0, 560, 41), PanelScheme::csSilver);
    auto title = label(heading, QStringLiteral("Customer Invoices"), QPoint(0, 0), uiFont(24, true));
    title->setGeometry(0, 0, 560, 41);
    title->setAlignment(Qt::AlignCenter);
    grid(&w, QRect(0, 41, 560, 110), {QStringLiteral("Customer Name"), QStringLiteral("Telephone")},
         {{QStringLiteral("Harvest Bakery"), QStringLiteral("021 555 0177")},
          {QStringLiteral("Kestrel Printing"), QStringLiteral("011 555 0110")},
          {QStringLiteral("Marigold Florists"), QStringLiteral("031 555 0196")},
          {QStringLiteral("Oakleaf Dental"), QStringLiteral("012 555 0133")}});
    panel(&w, QRect(0, 151, 560, 20), PanelScheme::csSilver);
    grid(&w, QRect(0, 171, 560, 128),
         {QStringLiteral("Invoice No"), QStringLiteral("Date"), QStringLiteral("Order No"), QStringLiteral("Paid"), QStringLiteral("Days")},
         {{QStringLiteral("1041"), QStringLiteral("3/2/2026"), QStringLiteral("HB-220"), QStringLiteral("YES"), QStringLiteral("CURRENT")},
          {QStringLiteral("1057"), QStringLiteral("3/9/2026"), QStringLiteral("HB-231"), QStringLiteral("NO"), QStringLiteral("30")},
          {QStringLiteral("1063"), QStringLiteral("3/16/2026"), QStringLiteral("HB-236"), QStringLiteral("NO"), QStringLiteral("CURRENT")},
          {QStringLiteral("1070"), QStringLiteral("3/23/2026"), QStringLiteral("HB-240"), QStringLiteral("NO"), QStringLiteral("CURRENT")}});
    auto bar = panel(&w, QRect(0, 299, 560, 41), PanelScheme::csSilver);
    button(bar, QStringLiteral("&New"), QStringLiteral("new"), QRect(8, 8, 75, 25), ButtonScheme::csNeoSilver);
    button(bar, QStringLiteral("&Print..."), QStringLiteral("print"), QRect(88, 8, 75, 25), ButtonScheme::csNeoSilver);
    button(bar, QStringLiteral("&Detail"), QStringLiteral("detail"), QRect(168, 8, 75, 25), ButtonScheme::csNeoSilver);
    button(bar, QStringLiteral("&Close"), QStringLiteral("close"), QRect(477, 8, 75, 25), ButtonScheme::csNeoSilver);
    return windowImage(&w, QStringLiteral("Customer Invoices"));
}

// A printed page seen in the print preview: a letterhead, a title, a table and totals.
QImage printedPage(const QString& title, const QStringList& columns, const QList<QStringList>& rows, const QStringList& totals)
{
    QImage page(300, 424, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Letterhead: logo square and company lines.
    p.fillRect(QRect(16, 16, 40, 40), QColor(193, 225, 255));
    p.setPen(QColor(0, 88, 179));
    p.setFont(uiFont(26, true));
    p.drawText(QRect(16, 16, 40, 40), Qt::AlignCenter, QStringLiteral("Z"));
    p.setPen(Qt::black);
    p.setFont(uiFont(10, true));
    p.drawText(QPoint(66, 28), QStringLiteral("Zuzevevur Trading"));
    p.setFont(uiFont(8));
    p.drawText(QPoint(66, 40), QStringLiteral("12 Market Street, Cape Town"));
    p.drawText(QPoint(66, 51), QStringLiteral("Tel 021 555 0100"));
    p.setFont(uiFont(16, true));
    p.drawText(QRect(0, 66, page.width(), 24), Qt::AlignCenter, title);
    // Table.
    const int top = 100, rowHeight = 15;
    const int colWidth = (page.width() - 32) / int(columns.size());
    p.fillRect(QRect(16, top, page.width() - 32, rowHeight), QColor(229, 229, 229));
    p.setFont(uiFont(8, true));
    for (int c = 0; c < columns.size(); ++c)
        p.drawText(QRect(20 + c * colWidth, top, colWidth - 6, rowHeight), Qt::AlignVCenter | (c == columns.size() - 1 ? Qt::AlignRight : Qt::AlignLeft), columns[c]);
    p.setFont(uiFont(8));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns.size() && c < rows[r].size(); ++c)
            p.drawText(QRect(20 + c * colWidth, top + (r + 1) * rowHeight, colWidth - 6, rowHeight),
                       Qt::AlignVCenter | (c == columns.size() - 1 ? Qt::AlignRight : Qt::AlignLeft), rows[r][c]);
    int y = top + int(rows.size() + 1) * rowHeight + 8;
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(page.width() / 2, y, page.width() - 16, y);
    p.setFont(uiFont(9, true));
    for (const QString& line : totals) {
        y += 15;
        p.drawText(QRect(page.width() / 2, y - 12, page.width() / 2 - 22, 15), Qt::AlignRight, line);
    }
    p.setPen(QColor(160, 160, 160));
    p.drawRect(page.rect().adjusted(0, 0, -1, -1));
    return page;
}

QImage previewWindow(const QImage& page, const QString& title)
{
    QWidget w;
    w.resize(360, 330);
    w.setAutoFillBackground(true);
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    w.setPalette(pal);
    auto tools = panel(&w, QRect(0, 0, 360, 30), PanelScheme::csSilver);
    button(tools, QStringLiteral("&Print"), QStringLiteral("print"), QRect(4, 3, 75, 24), ButtonScheme::csNeoSilver);
    button(tools, QStringLiteral("&Close"), QStringLiteral("close"), QRect(281, 3, 75, 24), ButtonScheme::csNeoSilver);
    auto pageLabel = new QLabel(&w);
    pageLabel->setGeometry(30, 40, 300, 424);
    pageLabel->setPixmap(QPixmap::fromImage(page));
    return windowImage(&w, title);
}

} // namespace

QImage previewAdmin()
{
    QImage image = background(QStringLiteral("Administration"));
    QPainter p(&image);
    place(p, customerAdminWindow(), QPoint(12, 12), 0.62);
    place(p, customerDialog(), QPoint(250, 108), 0.62);
    place(p, menuWindow(QStringLiteral("Administration"),
                        {{QStringLiteral("C&ustomer"), QStringLiteral("customer")},
                         {QStringLiteral("&Product"), QStringLiteral("product")},
                         {QStringLiteral("Co&mpany"), QStringLiteral("company")},
                         {QStringLiteral("V&AT"), QStringLiteral("vat")}},
                        175, false, QStringLiteral("Administration functions for the Customer table.")),
          QPoint(40, 200), 0.5);
    return image;
}

QImage previewInvoicing()
{
    QImage image = background(QStringLiteral("Invoicing"));
    QPainter p(&image);
    place(p, menuWindow(QStringLiteral("Invoicing"),
                        {{QStringLiteral("&Invoices"), QStringLiteral("invoices")},
                         {QStringLiteral("&Unpaid Invoices"), QStringLiteral("unpaid")},
                         {QStringLiteral("C&ancelled Invoices"), QStringLiteral("cancelled")},
                         {QStringLiteral("&View Invoice"), QStringLiteral("view_invoice")}},
                        175, false, QStringLiteral("Create a New Invoice.")),
          QPoint(12, 12), 0.5);
    place(p, invoiceBrowserWindow(), QPoint(24, 118), 0.58);
    const QImage page = printedPage(QStringLiteral("TAX INVOICE"),
                                    {QStringLiteral("Description"), QStringLiteral("Units"), QStringLiteral("Total")},
                                    {{QStringLiteral("Oak shelf"), QStringLiteral("4"), QStringLiteral("1,196.00")},
                                     {QStringLiteral("Brackets"), QStringLiteral("16"), QStringLiteral("152.00")},
                                     {QStringLiteral("Fitting"), QStringLiteral("2"), QStringLiteral("700.00")}},
                                    {QStringLiteral("Sub-total  2,048.00"), QStringLiteral("VAT  307.20"), QStringLiteral("Total  2,355.20")});
    place(p, previewWindow(page, QStringLiteral("Print Preview")), QPoint(262, 40), 0.56);
    return image;
}

QImage previewReports()
{
    QImage image = background(QStringLiteral("Financial Reports"));
    QPainter p(&image);
    const QImage revenue = printedPage(QStringLiteral("Customer Revenue Report"),
                                       {QStringLiteral("Customer"), QStringLiteral("Invoice"), QStringLiteral("Amount")},
                                       {{QStringLiteral("Harvest Bakery"), QStringLiteral("1041"), QStringLiteral("2,048.00")},
                                        {QStringLiteral("Kestrel Printing"), QStringLiteral("1044"), QStringLiteral("860.50")},
                                        {QStringLiteral("Oakleaf Dental"), QStringLiteral("1049"), QStringLiteral("4,310.00")},
                                        {QStringLiteral("Summit Outdoor"), QStringLiteral("1052"), QStringLiteral("1,275.25")}},
                                       {QStringLiteral("Sub-total  8,493.75"), QStringLiteral("VAT  1,274.06"), QStringLiteral("Total  9,767.81")});
    const QImage statement = printedPage(QStringLiteral("Statement"),
                                         {QStringLiteral("Invoice"), QStringLiteral("Days"), QStringLiteral("Amount")},
                                         {{QStringLiteral("1057"), QStringLiteral("30"), QStringLiteral("989.00")},
                                          {QStringLiteral("1063"), QStringLiteral("CURRENT"), QStringLiteral("1,312.40")},
                                          {QStringLiteral("1070"), QStringLiteral("CURRENT"), QStringLiteral("455.10")}},
                                         {QStringLiteral("Current  1,767.50"), QStringLiteral("30 Days  989.00"), QStringLiteral("Total  2,756.50")});
    place(p, revenue, QPoint(20, 14), 0.62);
    place(p, statement, QPoint(230, 40), 0.62);
    place(p, menuWindow(QStringLiteral("Financial Reports"),
                        {{QStringLiteral("&Date Based Revenue"), QStringLiteral("date_revenue")},
                         {QStringLiteral("&Month End Statement"), QStringLiteral("month_end")}},
                        150, true, QStringLiteral("Display Customer's current financial position.")),
          QPoint(14, 150), 0.66);
    return image;
}

} // namespace pictures
