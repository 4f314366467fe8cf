#include "app/Main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScopeGuard>

#include "app/Admin.h"
#include "app/AppMap.h"
#include "app/FinReports.h"
#include "app/Invoicing.h"
#include "data/DataMod.h"
#include "widgets/Application.h"
#include "widgets/Glyphs.h"
#include "widgets/Handlers.h"
#include "widgets/Layout.h"
#include "widgets/MouseMove.h"

namespace zz {

TfrmMain* frmMain = nullptr;

namespace {
TXiButton* sectionButton(QWidget* parent, const QString& name, const QString& caption, int top, const QString& picture)
{
    auto* b = new TXiButton(parent);
    b->setObjectName(name);
    b->setCaption(caption);
    b->setGeometry(24, top, 180, 60);
    b->setColorScheme(ButtonScheme::csNeoSilver);
    b->setCtl3D(false);
    b->setGlyphLayout(ButtonLayout::blGlyphLeft);
    b->setGlyph(glyph(picture));
    return b;
}

QLabel* preview(QWidget* parent, const QString& name, const QString& resource)
{
    auto* img = new QLabel(parent);
    img->setObjectName(name);
    img->setGeometry(256, 64, 473, 377);
    img->setScaledContents(true);
    img->setAlignment(Qt::AlignCenter);
    img->setPixmap(QPixmap(resource));
    img->setAttribute(Qt::WA_TranslucentBackground);
    img->hide();
    return img;
}
} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(TApplication::title());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    resize(750, 500);
    setMinimumSize(750, 500);

    XiPanel1 = new TXiPanel(this);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel1->setColorScheme(PanelScheme::csSilver);
    XiPanel1->setFillDirection(FillDirection::fdVertical);

    Label1 = arialLabel(XiPanel1, QStringLiteral("Zuzevevur Creator"), 248, 16, 32, true);

    imgAdmin = preview(XiPanel1, QStringLiteral("imgAdmin"), QStringLiteral(":/preview_admin.png"));
    imgInv = preview(XiPanel1, QStringLiteral("imgInv"), QStringLiteral(":/preview_invoicing.png"));
    imgReports = preview(XiPanel1, QStringLiteral("imgReports"), QStringLiteral(":/preview_reports.png"));

    XiPanel3 = new TXiPanel(XiPanel1);
    XiPanel3->setObjectName(QStringLiteral("XiPanel3"));
    XiPanel3->setColorScheme(PanelScheme::csRose);
    XiPanel3->setFillDirection(FillDirection::fdVertical);

    DBImage1 = new TDBImage(XiPanel3);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->setGeometry(24, 8, 80, 80);
    DBImage1->setBorder(false);
    DBImage1->setFocusPolicy(Qt::NoFocus);

    btnAdmin = sectionButton(XiPanel3, QStringLiteral("btnAdmin"), QStringLiteral("&Administration"), 112, QStringLiteral("admin"));
    btnInvoicing = sectionButton(XiPanel3, QStringLiteral("btnInvoicing"), QStringLiteral("I&nvoicing"), 232, QStringLiteral("invoicing"));
    btnReports = sectionButton(XiPanel3, QStringLiteral("btnReports"), QStringLiteral("&Reports"), 352, QStringLiteral("reports"));

    XiPanel2 = new TXiPanel(this);
    XiPanel2->setObjectName(QStringLiteral("XiPanel2"));
    XiPanel2->setColorScheme(PanelScheme::csSilver);
    XiPanel2->setFillDirection(FillDirection::fdVertical);

    auto smallButton = [this](const QString& name, const QString& caption, int left, const QString& picture) {
        auto* b = new TXiButton(XiPanel2);
        b->setObjectName(name);
        b->setCaption(caption);
        b->setGeometry(left, 8, 75, 25);
        b->setColorScheme(ButtonScheme::csNeoSilver);
        b->setCtl3D(false);
        b->setGlyph(glyph(picture));
        return b;
    };
    btnMap = smallButton(QStringLiteral("btnMap"), QStringLiteral("&Map"), 24, QStringLiteral("map"));
    btnExit = smallButton(QStringLiteral("btnExit"), QStringLiteral("&Exit"), 648, QStringLiteral("exit"));

    onMouseMove(btnAdmin, [this] { btnAdminMouseMove(); });
    onMouseMove(btnInvoicing, [this] { btnInvoicingMouseMove(); });
    onMouseMove(btnReports, [this] { btnReportsMouseMove(); });
    connect(btnAdmin, &TXiButton::clicked, this, command(this, &TfrmMain::btnAdminClick));
    connect(btnInvoicing, &TXiButton::clicked, this, command(this, &TfrmMain::btnInvoicingClick));
    connect(btnReports, &TXiButton::clicked, this, command(this, &TfrmMain::btnReportsClick));
    connect(btnMap, &TXiButton::clicked, this, command(this, &TfrmMain::btnMapClick));
    connect(btnExit, &TXiButton::clicked, this, command(this, &TfrmMain::btnExitClick));

    centreOnDesktop(this);
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The bottom strip is 41 px high across the window; the client panel fills the rest,
    // and the left column runs down its full height.
    XiPanel2->setGeometry(0, height() - 41, width(), 41);
    XiPanel1->setGeometry(0, 0, width(), height() - 41);
    XiPanel3->setGeometry(0, 0, 232, XiPanel1->height());
}

void TfrmMain::bindLogo()
{
    if (DataModule1)
        DBImage1->bind(DataModule1->datCompany, QStringLiteral("Com_Logo"));
}

void TfrmMain::setImages(bool admin, bool invoicing, bool reports)
{
    imgAdmin->setVisible(admin);
    imgInv->setVisible(invoicing);
    imgReports->setVisible(reports);
}

void TfrmMain::btnAdminMouseMove() { setImages(true, false, false); }
void TfrmMain::btnInvoicingMouseMove() { setImages(false, true, false); }
void TfrmMain::btnReportsMouseMove() { setImages(false, false, true); }

void TfrmMain::runSection(TForm* form)
{
    if (!form)
        return; // the section's menu is not part of this build yet
    hide();
    const auto showAgain = qScopeGuard([this] { show(); });
    form->ShowModal();
}

void TfrmMain::btnAdminClick() { runSection(frmAdmin); }
void TfrmMain::btnInvoicingClick() { runSection(frmInvoicing); }
void TfrmMain::btnReportsClick() { runSection(frmFinReports); }

// The map runs modally in front of the main window, which stays visible.
void TfrmMain::btnMapClick()
{
    if (frmMap)
        frmMap->ShowModal();
}

void TfrmMain::btnExitClick() { close(); }

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // FormClose: closing the main window by any means ends the program, without a question.
    QWidget::closeEvent(event);
    event->accept();
    QCoreApplication::quit();
}

} // namespace zz
