// Renders the program's own windows offscreen on a small demonstration database and composes
// them into the three 473 x 377 section previews of the main window.
#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "app/Admin.h"
#include "app/FinReports.h"
#include "app/Invoicing.h"
#include "data/DataMod.h"
#include "reports/engine/DataSetAdapter.h"
#include "reports/PreviewForm.h"
#include "reports/engine/ReportDefinition.h"
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

// A short letter-like report over the open invoice lines, shown in the real print preview.
QImage previewOfInvoice(TDataModule1& dm)
{
    TQuery* q = dm.qryInvReport;
    q->Close();
    q->Params(0).SetAsInteger(dm.tblInvoiceInv_Number->AsInteger());
    q->Open();
    report::DataSetAdapter data(q);
    report::Report r;
    r.dataset = &data;
    report::Band& title = r.addBand(report::BandKind::Title, 300);
    title.add(report::Element::label(QStringLiteral("T1"), QStringLiteral("INVOICE"), 0, 40).points(20).bold().onBand());
    title.add(report::Element::dataText(QStringLiteral("T2"), QStringLiteral("Cus_Name"), 40, 160));
    title.add(report::Element::dataText(QStringLiteral("T3"), QStringLiteral("Inv_Number"), 1500, 160));
    r.addBand(report::BandKind::ColumnHeader, 106, report::FrameAll)
        .add(report::Element::label(QStringLiteral("H1"), QStringLiteral("Product Description"), 21, 29).bold());
    report::Band& d = r.addBand(report::BandKind::Detail, 48, report::FrameLeft | report::FrameRight);
    d.add(report::Element::dataText(QStringLiteral("D1"), QStringLiteral("Prod_Description"), 21, 0));
    d.add(report::Element::dataText(QStringLiteral("D2"), QStringLiteral("Total"), 1609, 0).fixedWidth(235));
    r.addBand(report::BandKind::Summary, 106, report::FrameAll)
        .add(report::Element::expr(QStringLiteral("S1"), QStringLiteral("SUM(Total)"), 1609, 29).fixedWidth(235).bold());
    // The preview is grabbed as soon as its pages are made, in the user's place.
    struct Grab : DialogSeam {
        QImage image;
        MsgResult message(const MessageRequest&) override { return MsgResult::OK; }
        bool previewReady(TPreviewForm& form) override
        {
            form.setZoom(TPreviewForm::Zoom::Fit);
            image = framed(&form, QSize(560, 640));
            return true;
        }
    } grab;
    setDialogSeam(&grab);
    previewReport(r);
    setDialogSeam(nullptr);
    const QImage grabbed = grab.image;
    return grabbed;
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

    TfrmInvoicing invoicing;
    invoicing.ChangeCaption(QStringLiteral("Create a New Invoice."));
    dm.tblCustomer->First();
    const QImage invoice = previewOfInvoice(dm);
    const QImage invoicingPreview = compose({{invoice, {220, 4}, 0.42},
                                             {framed(&invoicing), {4, 140}, 0.55}},
                                            QStringLiteral("Invoicing"));

    TfrmFinReports reports;
    reports.ChangeCaption(QStringLiteral("Display Customer's current financial position."));
    const QImage reportsPreview = compose({{invoice, {8, 4}, 0.4},
                                           {framed(&reports), {190, 120}, 0.7}},
                                          QStringLiteral("Reports"));

    const bool ok = save(adminPreview, QStringLiteral("preview_admin.png")) && save(invoicingPreview, QStringLiteral("preview_invoicing.png"))
                    && save(reportsPreview, QStringLiteral("preview_reports.png"));
    return ok ? 0 : 1;
}
