#include "app/SplashForm.h"

#include <QCoreApplication>

#include "widgets/Handlers.h"
#include "widgets/JpegImage.h"
#include "widgets/Layout.h"

namespace zz {

TfrmSplashscreen* frmSplashscreen = nullptr;

TfrmSplashscreen::TfrmSplashscreen(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("frmSplashscreen"));
    setWindowTitle(QStringLiteral("frmSplashscreen"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(216, 140);

    XiPanel1 = new TXiPanel(this);
    XiPanel1->setObjectName(QStringLiteral("XiPanel1"));
    XiPanel1->setGeometry(0, 0, 216, 140);
    XiPanel1->setColorScheme(PanelScheme::csSky);
    XiPanel1->setFillDirection(FillDirection::fdVertical);
    XiPanel1->setBevelWidth(2);

    Bevel1 = new QFrame(XiPanel1);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(45, 13, 126, 66);

    Image1 = new QLabel(XiPanel1);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    const QImage logo = loadJpeg(QStringLiteral(":/splash_logo.jpg"));
    Image1->setPixmap(QPixmap::fromImage(logo));
    Image1->setGeometry(47, 15, logo.isNull() ? 121 : logo.width(), logo.isNull() ? 61 : logo.height());

    Label1 = arialLabel(XiPanel1, QStringLiteral("Searching for Server..."), 38, 88, 13, true);
    Label2 = arialLabel(XiPanel1, QStringLiteral("Loading..."), 38, 112, 13, true);

    // A precise timer: a coarse one may fire up to 5 % early, and the splash shows at least 3 s.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(3000);
    Timer1->setSingleShot(false);
    connect(Timer1, &QTimer::timeout, this, command(this, &TfrmSplashscreen::Timer1Timer));
    Timer1->start();

    centreOnDesktop(this);
}

void TfrmSplashscreen::Timer1Timer() { Timer1->stop(); }

void TfrmSplashscreen::showEvent(QShowEvent* event)
{
    TForm::showEvent(event);
    // The three seconds count from the moment the window shows.
    if (Timer1->isActive())
        Timer1->start();
}

void TfrmSplashscreen::waitForTimer()
{
    while (Timer1->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace zz
