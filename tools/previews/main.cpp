// Renders the program's own windows offscreen on a small demonstration database and composes
// them into the three 473 x 377 section previews of the main window.
#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "app/Admin.h"
#include "app/FinReports.h"
#include "app/Invoicing.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Logo.h"
#include "invoicing/MainInvoice.h"
#include "reports/CustomerPicker.h"
#include "reports/PreviewForm.h"
#include "reports/PrintInvoice.h"
#include "reports/ReportInv.h"
#include "reports/ReportStatement.h"
#include "widgets/Glyphs.h"
#include "widgets/JpegImage.h"
#include "tools/demo_db/DemoDb.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

using namespace zz;

namespace {

constexpr QSize kPreview(473, 377);

// A window as the desktop shows it: its client area under a title bar with its caption.
QImage framed(QWidget* window, QSize clientSize = QSize())
{
    if (clientSize.isValid())
        window->resize(clientSize);
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->show();
    QCoreApplication::processEvents();
    const QImage client = window->grab().toImage();
    window->hide();
    const int bar = 22;
    QImage out(client.width() + 2, client.height() + bar + 1, QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(40, 70, 140));
    QPainter p(&out);
    QLinearGradient g(0, 0, out.width(), 0);
    g.setColorAt(0, QColor(20, 50, 130));
    g.setColorAt(1, QColor(110, 150, 215));
    p.fillRect(QRect(0, 0, out.width(), bar), g);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(8, 0, out.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft, window->windowTitle());
    p.drawImage(1, bar, client);
    return out;
}

struct Placement {
    QImage window;
    QPoint at;
    double scale;
};

// Lays the windows over a light backdrop, each with a soft shadow, in the order given.
QImage compose(const QList<Placement>& windows, const QString& caption)
{
    QImage out(kPreview, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Placement& w : windows) {
        const QSize size = (QSizeF(w.window.size()) * w.scale).toSize();
        const QRect r(w.at, size);
        for (int i = 6; i > 0; --i)
            p.fillRect(r.translated(i, i), QColor(0, 0, 0, 10));
        p.drawImage(r, w.window);
        p.setPen(QColor(60, 60, 60));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 60, 100));
    p.drawText(QRect(0, kPreview.height() - 44, kPreview.width() - 8, 40), Qt::AlignRight | Qt::AlignVCenter, caption);
    return out;
}

// The print preview as the user sees it once its pages are made: grabbed in the user's place and
// closed at once.
class GrabPreview : public DialogSeam {
public:
    QImage image;
    MsgResult message(const MessageRequest& request) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(request.text));
        return MsgResult::OK;
    }
    bool previewReady(TPreviewForm& form) override
    {
        form.setZoom(TPreviewForm::Zoom::Fit);
        image = framed(&form, QSize(560, 640));
        return true;
    }
};

QImage grabPreview(const std::function<void()>& press)
{
    GrabPreview grab;
    setDialogSeam(&grab);
    press();
    setDialogSeam(nullptr);
    return grab.image;
}

// The first value of a statement run on the book.
QVariant firstValue(const QString& sql)
{
    QSqlQuery q(Engine::database());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

// The demonstration company gets the splash picture as its logo.
void giveTheCompanyALogo(const QString& book)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("previews"));
        db.setDatabaseName(book);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("UPDATE Company SET Com_Logo = ?, Com_Name = 'Demo Trading (Pty) Ltd', "
                                     "Com_VAT_No = 'VAT No. 4120304050', Com_Reg_No = 'Reg. No. 2011/123456/07', "
                                     "Com_Tel = '011 555 0100', Com_Members = 'A. Member, B. Member'"));
            registerPictures();
            QFile jpeg(QStringLiteral(":/splash_logo.jpg"));
            jpeg.open(QIODevice::ReadOnly);
            q.addBindValue(encodeLogo(decodeJpeg(jpeg.readAll())));
            q.exec();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("previews"));
}

QString g_outDir = QStringLiteral(ZZ_RESOURCES_DIR);

bool save(const QImage& image, const QString& name)
{
    const QString path = g_outDir + QLatin1Char('/') + name;
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    if (argc > 1)
        g_outDir = QString::fromLocal8Bit(argv[1]); // another folder, for a look before committing
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    QDir().mkpath(home.path() + "/data/Zuzevevur");
    const QString err = demo::writeDemoDatabase(home.path() + "/data/Zuzevevur/Zuzevevur.db", demo::DemoSize{40, 30, 80, 300});
    if (!err.isEmpty()) {
        std::fprintf(stderr, "demo database: %s\n", qPrintable(err));
        return 1;
    }
    giveTheCompanyALogo(home.path() + "/data/Zuzevevur/Zuzevevur.db");
    TDataModule1 dm;

    TfrmAdmin admin;
    admin.ChangeCaption(QStringLiteral("Administration functions for the Customer table."));
    TfrmCusAdmin customers;
    dm.tblCustomer->MoveTo(3);
    TfrmNewCustomer editor;
    const QImage adminPreview = compose({{framed(&customers), {4, 4}, 0.55},
                                         {framed(&editor), {300, 60}, 0.45},
                                         {framed(&admin), {40, 190}, 0.5}},
                                        QStringLiteral("Administration"));

    // The invoice browser on a customer with an invoice of a few lines, that invoice's printout and
    // the invoicing menu.
    TfrmReportInv reportInv;
    frmReportInv = &reportInv;
    const int invoiceNumber = firstValue(QStringLiteral(
        "SELECT L.Inv_Number FROM Line L JOIN Invoice I ON I.Inv_Number = L.Inv_Number GROUP BY L.Inv_Number "
        "HAVING count(*) BETWEEN 5 AND 6 ORDER BY L.Inv_Number LIMIT 1")).toInt();
    const int invoiceCustomer = firstValue(QStringLiteral("SELECT Cus_Code FROM Invoice WHERE Inv_Number = %1").arg(invoiceNumber)).toInt();
    dm.tblCustomer->Locate(QStringLiteral("Cus_Code"), invoiceCustomer, {});
    dm.tblInvoice->Locate(QStringLiteral("Inv_Number"), invoiceNumber, {});
    TfrmMainInvoice browser;
    const QImage browserWindow = framed(&browser, QSize(750, 500));
    const QImage invoice = grabPreview([&] { printInvoice(invoiceNumber); });
    TfrmInvoicing invoicing;
    invoicing.ChangeCaption(QStringLiteral("Create a New Invoice."));
    const QImage invoicingPreview = compose({{browserWindow, {4, 4}, 0.5},
                                             {invoice, {262, 30}, 0.36},
                                             {framed(&invoicing), {30, 228}, 0.45}},
                                            QStringLiteral("Invoicing"));

    // The statement of the customer with the most open invoices, the customer picker over it and
    // the financial reports menu.
    TfrmReportStatement reportStatement;
    frmReportStatement = &reportStatement;
    TfrmCustomerPicker picker;
    const int statementCustomer = firstValue(QStringLiteral(
        "SELECT I.Cus_Code FROM Invoice I JOIN Line L ON L.Inv_Number = I.Inv_Number WHERE I.Inv_Paid = 'NO' AND "
        "I.Inv_Cancelled = 'NO' GROUP BY I.Cus_Code ORDER BY count(DISTINCT I.Inv_Number) DESC, I.Cus_Code LIMIT 1")).toInt();
    dm.tblCustomer->Locate(QStringLiteral("Cus_Code"), statementCustomer, {});
    picker.DBLookupComboBox1->setKeyValue(statementCustomer);
    const QImage pickerWindow = framed(&picker);
    const QImage statement = grabPreview([&] { picker.btnOKClick(); });
    TfrmFinReports reports;
    reports.ChangeCaption(QStringLiteral("Display Customer's current financial position."));
    const QImage reportsPreview = compose({{statement, {8, 4}, 0.4},
                                           {framed(&reports), {196, 100}, 0.66},
                                           {pickerWindow, {150, 236}, 0.55}},
                                          QStringLiteral("Reports"));
    frmReportStatement = nullptr;
    frmReportInv = nullptr;

    const bool ok = save(adminPreview, QStringLiteral("preview_admin.png")) && save(invoicingPreview, QStringLiteral("preview_invoicing.png"))
                    && save(reportsPreview, QStringLiteral("preview_reports.png"));
    return ok ? 0 : 1;
}
