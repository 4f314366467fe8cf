// Start-up: the failure box and exit code of the real program, the main window's hover pictures
// and its company logo.
#include <QBuffer>
#include <QImageWriter>
#include <QMouseEvent>
#include <QProcess>
#include <QSqlQuery>

#include "app/Main.h"
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
        // The real program, headless, against an alias naming a database without its Line table.
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
        env.insert("ZUZEVEVUR_TEST_AUTOANSWER", "1");
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + "/../../app/Zuzevevur", {});
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
