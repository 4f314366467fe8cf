// Start-up: the failure box and exit code of the program, the splash's three seconds, the windows
// created in their order with their exact captions, the main window's hover pictures and its
// company logo.
#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QMouseEvent>
#include <QProcess>
#include <QSqlQuery>

#include "app/Main.h"
#include "app/SplashForm.h"
#include "app/Startup.h"
#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Logo.h"
#include "tests/support/TestSupport.h"

using namespace zz;

namespace {
void moveOver(QWidget* w)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QByteArray bitmapFile(const QColor& colour)
{
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter(&buf, "bmp").write(img);
    return bytes;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void startupFailureEndsWithApplicationError()
    {
        // The program, headless (its boxes answered on the error stream), against an alias naming a
        // database without its Line table.
        test::TempHome home;
        const QString db = home.path() + "/books.db";
        {
            AliasConfig c{"Zuzevevur", "QSQLITE", db};
            c.embeddedDefault = true;
            Engine::open(c);
            QSqlQuery(Engine::database()).exec("DROP TABLE Line");
            Engine::close();
        }
        QDir().mkpath(home.configDir() + "/Zuzevevur");
        QFile ini(home.configDir() + "/Zuzevevur/engine.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("[Zuzevevur]\nDriver=QSQLITE\nDatabase=" + db + "\n").toUtf8());
        ini.close();

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ZZ_ANSWERING_PROGRAM), {});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(err.contains(QRegularExpression(
                     "\\[Application Error\\] Exception EDBEngineError in module Zuzevevur at [0-9A-F]{8,}\\.\\n"
                     "Table does not exist: Line.DB.*\\.")),
                 qPrintable(err));
    }

    void failureTextAddsFullStopOnce()
    {
        const auto text = [](const QString& msg) {
            return startupErrorText(std::make_exception_ptr(EDBEngineError(msg)), "Zuzevevur", 0x4A2B);
        };
        QCOMPARE(text("Table does not exist: VAT.db"),
                 QStringLiteral("Exception EDBEngineError in module Zuzevevur at 00004A2B.\nTable does not exist: VAT.db."));
        QCOMPARE(text("Done."), QStringLiteral("Exception EDBEngineError in module Zuzevevur at 00004A2B.\nDone."));
        QVERIFY(startupErrorText(std::make_exception_ptr(std::runtime_error("x")), "m", 1).endsWith("\nx."));
    }

    void theSplashShowsAtLeastThreeSeconds()
    {
        TfrmSplashscreen splash;
        QCOMPARE(splash.Timer1->timerType(), Qt::PreciseTimer); // a coarse timer fires up to 5 % early
        QElapsedTimer shown;
        shown.start();
        splash.show();
        splash.waitForTimer();
        QVERIFY2(shown.elapsed() >= 3000, qPrintable(QString::number(shown.elapsed())));
        QVERIFY(!splash.Timer1->isActive());
    }

    void everyWindowIsCreatedOnceInItsOrderWithItsCaption()
    {
        test::TempHome home;
        // The order of creation; windows not built yet are missing from the table, the others keep
        // this order.
        const QStringList order = {"frmMain", "DataModule1", "frmAdmin", "frmMainInvoice", "frmInvoicing",
                                   "frmFinReports", "frmCusAdmin", "frmNewCustomer", "frmProdAdmin", "frmNewProd",
                                   "frmVAT", "frmInvDetail", "frmAdminCompany", "frmCompanyEInvoicing",
                                   "frmCustomerEInvoicing", "frmNewInvoice", "frmReportInv",
                                   "frmInvNumber", "frmUnpaidInv", "frmCancelledInv", "frmDatePicker",
                                   "frmReportRevenue", "frmCustomerPicker", "frmReportStatement", "frmMap"};
        const QHash<QString, QString> captions = {
            {"frmMain", "Zuzevevur Creator"}, {"frmAdmin", "Administration"}, {"frmInvoicing", "Invoicing"},
            {"frmFinReports", "Financial Reports"}, {"frmCusAdmin", "Customer Administration"},
            {"frmNewCustomer", "New Customer"}, {"frmProdAdmin", "Product Administration"},
            {"frmNewProd", "New Product"}, {"frmVAT", "VAT"}, {"frmAdminCompany", "Company Administration"},
            {"frmCompanyEInvoicing", "Company E-Invoicing"}, {"frmCustomerEInvoicing", "Customer E-Invoicing"},
            {"frmMap", "Application Map"}, {"frmMainInvoice", "Invoice Detail"}, {"frmInvDetail", "Invoice Detail"},
            {"frmNewInvoice", "New Invoice"}, {"frmUnpaidInv", "Unpaid Invoices"}, {"frmCancelledInv", "Cancelled Invoices"},
            {"frmReportInv", "Print Invoice"}, {"frmInvNumber", "Enter Invoice Number"},
            {"frmDatePicker", "Date Picker"}, {"frmReportRevenue", " Customer Revenue Report"},
            {"frmCustomerPicker", "Customer Picker"}, {"frmReportStatement", "Statement Report"}};

        createForms();
        int place = -1;
        QList<QObject*> created;
        for (const StartupForm& form : startupForms()) {
            const QString name = QLatin1String(form.name);
            const int at = order.indexOf(name);
            QVERIFY2(at > place, qPrintable(name + " is out of its place"));
            place = at;
            QObject* instance = form.instance();
            QVERIFY2(instance && instance->objectName() == name, qPrintable(name));
            QVERIFY(!created.contains(instance));
            created << instance;
            if (auto* window = qobject_cast<QWidget*>(instance)) {
                QVERIFY2(window->isHidden(), qPrintable(name));
                QCOMPARE(window->windowTitle(), captions.value(name));
            }
        }
        QCOMPARE(created.first(), static_cast<QObject*>(frmMain));
        QVERIFY(frmMain->DBImage1->DataSource()); // the logo bound as soon as the data module existed
        // No display name of the application: the window system shows each caption as it is.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

        destroyForms();
        for (const StartupForm& form : startupForms())
            QVERIFY2(!form.instance(), form.name);
    }

    void hoverPicturesFollowTheLastSectionButton()
    {
        TfrmMain main;
        QVERIFY(main.imgAdmin->isHidden() && main.imgInv->isHidden() && main.imgReports->isHidden());
        moveOver(main.btnAdmin);
        QVERIFY(!main.imgAdmin->isHidden());
        QVERIFY(main.imgInv->isHidden() && main.imgReports->isHidden());
        // Moving onto the window's empty area or the other controls changes nothing.
        moveOver(main.XiPanel1);
        moveOver(main.XiPanel3);
        moveOver(main.btnMap);
        QVERIFY(!main.imgAdmin->isHidden());
        moveOver(main.btnReports);
        QVERIFY(main.imgAdmin->isHidden() && main.imgInv->isHidden() && !main.imgReports->isHidden());
        moveOver(main.btnInvoicing);
        QVERIFY(main.imgAdmin->isHidden() && !main.imgInv->isHidden() && main.imgReports->isHidden());
    }

    void logoShowsTheCompanyPictureOrNothing()
    {
        test::TempHome home;
        TfrmMain main;
        TDataModule1 dm;
        main.bindLogo();
        QVERIFY(main.DBImage1->Picture().isNull()); // empty company table

        QSqlQuery q(Engine::database());
        QVERIFY(q.exec("INSERT INTO Company (Com_Name) VALUES ('Acme')"));
        dm.tblCompany->Refresh();
        QVERIFY(main.DBImage1->Picture().isNull()); // a row without a logo

        q.prepare("UPDATE Company SET Com_Logo = ?");
        q.addBindValue(logoStoredForm(bitmapFile(Qt::red)));
        QVERIFY(q.exec());
        dm.tblCompany->Refresh();
        QCOMPARE(main.DBImage1->Picture().pixelColor(2, 2), QColor(Qt::red));

        // A value without the header is read whole as the bitmap.
        q.prepare("UPDATE Company SET Com_Logo = ?");
        q.addBindValue(bitmapFile(Qt::blue));
        QVERIFY(q.exec());
        dm.tblCompany->Refresh();
        QCOMPARE(main.DBImage1->Picture().pixelColor(2, 2), QColor(Qt::blue));
    }

    void exitEndsTheProgram()
    {
        TfrmMain main;
        main.show();
        bool quit = false;
        connect(qApp, &QCoreApplication::aboutToQuit, this, [&] { quit = true; });
        QTimer::singleShot(0, &main, [&] { main.btnExit->click(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(main.isHidden());
    }
};

ZZ_TEST_MAIN(TestStartup)
#include "test_startup.moc"
