#include "app/AppMap.h"

#include "widgets/Glyphs.h"
#include "widgets/Handlers.h"
#include "widgets/Layout.h"

namespace zz {

TfrmMap* frmMap = nullptr;

namespace {
struct Group {
    const char* heading;
    int headingTop;
    std::initializer_list<std::pair<const char*, int>> tasks;
};
} // namespace

TfrmMap::TfrmMap(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("Application Map"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(543, 427);

    XiPanel1 = new TXiPanel(this);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel1->setColorScheme(PanelScheme::csGrass);
    XiPanel1->setFillDirection(FillDirection::fdVertical);
    XiPanel1->setGeometry(0, 0, 543, 427 - 41);
    XiPanel2 = new TXiPanel(this);
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));
    XiPanel2->setColorScheme(PanelScheme::csGrass);
    XiPanel2->setFillDirection(FillDirection::fdVertical);
    XiPanel2->setGeometry(0, 427 - 41, 543, 41);

    const Group groups[] = {
        {"Administration", 48, {{"Customer", 24}, {"Product", 48}, {"Company", 72}, {"VAT", 96}}},
        {"Invoicing", 184, {{"Invoices", 160}, {"Unpaid Invoices", 184}, {"Cancelled Invoices", 208}, {"View Invoice", 232}}},
        {"Reports", 312, {{"Customer Revenue", 312}, {"Customer Statements", 336}}},
    };
    for (const Group& g : groups) {
        arialLabel(XiPanel1, QString::fromLatin1(g.heading), 48, g.headingTop, 29, true);
        for (const auto& [task, top] : g.tasks) {
            // The connector sits 8 px above its task name so that the dash lines up with the text.
            arialLabel(XiPanel1, QStringLiteral("---"), 272, top - 8, 29, true);
            arialLabel(XiPanel1, QString::fromLatin1(task), 312, top, 16, true);
        }
    }

    XiButton1 = new TXiButton(XiPanel2);
    XiButton1->setObjectName(QStringLiteral("XiButton1"));
    XiButton1->setCaption(QStringLiteral("&Close"));
    XiButton1->setColorScheme(ButtonScheme::csNeoGrass);
    XiButton1->setCtl3D(false);
    XiButton1->setGlyph(glyph(QStringLiteral("close")));
    XiButton1->setGeometry(456, 8, 75, 25);
    connect(XiButton1, &TXiButton::clicked, this, command(this, &TfrmMap::XiButton1Click));

    centreOnDesktop(this);
}

} // namespace zz
