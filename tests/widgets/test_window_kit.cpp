// The window kit's handler helpers: the protected block and the messages it shows, the one path
// of an error that escapes a user command, the wait cursor, the key handler of a field, reading a
// typed whole number, and the printer dialogs through the seam.
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QTimer>
#include <stdexcept>

#include "data/Errors.h"
#include "tests/support/TestSupport.h"
#include "widgets/Handlers.h"
#include "widgets/XiButton.h"

using namespace zz;

namespace {
// Thrown by a handler: no std::exception, so no protected block of a handler shows it.
struct NotStandard {};

// A window's handlers, one that fails in each way.
class Handlers : public QObject {
public:
    QStringList ran;
    void failsInTheDataLayer()
    {
        ran << QStringLiteral("data");
        throw EDBEngineError(QStringLiteral("The database is locked by another program; try again in a moment"));
    }
    void failsOutsideStd()
    {
        ran << QStringLiteral("other");
        throw NotStandard{};
    }
    void cellClicked(int column) { ran << QStringLiteral("cell %1").arg(column); }
};

// The general error report's boxes: the title, the text and the one OK button.
QStringList generalReports(const test::RecordingSeam& seam)
{
    QStringList out;
    for (const MessageRequest& m : seam.messages) {
        out << QStringLiteral("%1|%2|%3").arg(m.title, m.text, m.kind == MsgKind::Error && m.buttons == MsgButtons::OK
                                                                    ? QStringLiteral("error OK")
                                                                    : QStringLiteral("other"));
    }
    return out;
}
} // namespace

class TestWindowKit : public QObject {
    Q_OBJECT
private slots:
    void guardedShowsTheErrorsOwnMessageAfterTheCleanUp()
    {
        test::RecordingSeam seam;
        QStringList steps;
        seam.onMessage = [&](const MessageRequest& m) { steps << QStringLiteral("box ") + m.text; };

        QVERIFY(guarded([&] { steps << QStringLiteral("work"); }));
        QCOMPARE(seam.messages.size(), 0);

        // Our errors and any other std::exception alike: the clean-up first, then the box, and
        // the rest of the work does not run.
        QVERIFY(!guarded(
            [&] {
                steps << QStringLiteral("post");
                throw EDBEngineError(QStringLiteral("Key violation"));
                steps << QStringLiteral("never");
            },
            [&] { steps << QStringLiteral("cancel"); }));
        QVERIFY(!guarded([] { throw std::runtime_error("disk full"); }));
        QCOMPARE(steps, (QStringList{"work", "post", "cancel", "box Key violation", "box disk full"}));
        QCOMPARE(seam.messages.first().kind, MsgKind::Error);
        QCOMPARE(seam.messages.first().title, QStringLiteral("Error"));
        QCOMPARE(seam.messages.first().buttons, MsgButtons::OK);

        // What is no std::exception is not the handler's to show: it goes on to the general report.
        QVERIFY_THROWS_EXCEPTION(int, guarded([] { throw 42; }));
        QCOMPARE(seam.messages.size(), 2);
    }

    // A button's click: the error its handler lets escape reaches the general error report inside
    // the slot. Nothing leaves click() (called here with no event loop around it), the click's
    // other handlers still run (an exception crossing the emission would have cut them off), and
    // the button clicks again as before.
    void anErrorEscapingAClickEndsInTheGeneralErrorReport()
    {
        test::RecordingSeam seam;
        Handlers handlers;
        TXiButton button(QStringLiteral("&Save"));
        button.resize(75, 25);
        button.show();
        int after = 0;
        QObject::connect(&button, &TXiButton::clicked, &handlers, command(&handlers, &Handlers::failsInTheDataLayer));
        QObject::connect(&button, &TXiButton::clicked, &handlers, command([&] { ++after; }));

        button.click();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(after, 2);
        QCOMPARE(handlers.ran, (QStringList{"data", "data"}));
        const QString locked = QStringLiteral("Zuzevevur Creator|The database is locked by another program; try again in a "
                                              "moment.|error OK");
        QCOMPARE(generalReports(seam), (QStringList{locked, locked}));
        QCOMPARE(button.look(), TXiButton::Look::Hot); // the mouse's click ended as any other

        // What is no std::exception takes the same path; a message ending in a sign that sorts
        // before the full stop keeps its own end.
        seam.clear();
        TXiButton other(QStringLiteral("&Close"));
        QObject::connect(&other, &TXiButton::clicked, &handlers, command(&handlers, &Handlers::failsOutsideStd));
        QObject::connect(&other, &TXiButton::clicked, &handlers, command([] { throw std::runtime_error("Stop!"); }));
        other.click();
        QCOMPARE(generalReports(seam), (QStringList{"Zuzevevur Creator|Unknown error.|error OK",
                                                    "Zuzevevur Creator|Stop!|error OK"}));
    }

    // A menu action, a timer and a field's key handler take the same path; a signal's argument
    // goes on to a handler that takes it.
    void menuActionsTimersAndKeysReportEscapingErrors()
    {
        test::RecordingSeam seam;
        Handlers handlers;
        QMenu menu;
        int after = 0;
        QAction* remove = menu.addAction(QStringLiteral("Delete"), &handlers, command(&handlers, &Handlers::failsOutsideStd));
        QObject::connect(remove, &QAction::triggered, &handlers, command([&] { ++after; }));
        remove->trigger();
        QCOMPARE(after, 1);
        QCOMPARE(generalReports(seam), QStringList{"Zuzevevur Creator|Unknown error.|error OK"});

        seam.clear();
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &handlers, command(&handlers, &Handlers::failsInTheDataLayer));
        QObject::connect(&timer, &QTimer::timeout, &handlers, command([&] { ++after; }));
        QTimer::singleShot(0, &handlers, command([] { throw std::runtime_error("no printer"); }));
        timer.start(0);
        for (int i = 0; i < 1000 && (after < 2 || seam.messages.size() < 2); ++i)
            QCoreApplication::processEvents();
        QCOMPARE(after, 2);
        QStringList reports = generalReports(seam);
        reports.sort();
        QCOMPARE(reports, (QStringList{"Zuzevevur Creator|The database is locked by another program; try again in a moment.|error OK",
                                       "Zuzevevur Creator|no printer.|error OK"}));

        seam.clear();
        QLineEdit field;
        onKeyDown(&field, [](int key) {
            if (key == kEnterKey)
                throw std::runtime_error("search failed");
        });
        QTest::keyClick(&field, Qt::Key_Return);
        QTest::keyClicks(&field, "ab");
        QCOMPARE(field.text(), QStringLiteral("ab"));
        QCOMPARE(generalReports(seam), QStringList{"Zuzevevur Creator|search failed.|error OK"});

        auto cellClick = command(&handlers, &Handlers::cellClicked);
        cellClick(3);
        QCOMPARE(handlers.ran.last(), QStringLiteral("cell 3"));
    }

    // The wait cursor shows while its work runs and is gone before the box that tells of a failure.
    void theWaitCursorEndsWithItsWork()
    {
        test::RecordingSeam seam;
        Qt::CursorShape duringBox = Qt::WaitCursor;
        seam.onMessage = [&](const MessageRequest&) {
            duringBox = QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        };
        {
            const WaitCursor busy;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!guarded([] {
            const WaitCursor busy;
            throw std::runtime_error("disk full");
        }));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(duringBox, Qt::ArrowCursor);
    }

    void errorTextsComeFromOnePlace()
    {
        const ErrorText own = describeError(std::make_exception_ptr(EConvertError(QStringLiteral("'x' is not"))));
        QCOMPARE(own.kind, QStringLiteral("EConvertError"));
        QCOMPARE(own.message, QStringLiteral("'x' is not"));
        const ErrorText other = describeError(std::make_exception_ptr(std::out_of_range("index 7")));
        QCOMPARE(other.kind, QStringLiteral("std::out_of_range"));
        QCOMPARE(other.message, QStringLiteral("index 7"));
        QCOMPARE(errorMessage(std::make_exception_ptr(3.5)), QStringLiteral("Unknown error"));
        // A message in UTF-8 reaches the user unchanged.
        QCOMPARE(errorMessage(std::make_exception_ptr(Exception(QStringLiteral("Prix à 5 €")))),
                 QStringLiteral("Prix à 5 €"));
    }

    void enterInAFieldReachesItsHandlerAndTheField()
    {
        QLineEdit field;
        QList<int> keys;
        onKeyDown(&field, [&](int key) {
            keys << key;
            if (key == kEnterKey)
                keys << field.text().size(); // the handler sees the text as typed so far
        });
        QTest::keyClicks(&field, "ab");
        QTest::keyClick(&field, Qt::Key_Return);
        QTest::keyClick(&field, Qt::Key_Enter);
        QCOMPARE(keys, (QList<int>{Qt::Key_A, Qt::Key_B, kEnterKey, 2, kEnterKey, 2}));
        QCOMPARE(field.text(), QStringLiteral("ab")); // every key went on to the field
    }

    void textToInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1 marks a refused text
        QTest::newRow("plain") << "1042" << 1042;
        QTest::newRow("blanks around") << " 7 " << 7;
        QTest::newRow("signs") << "+5" << 5;
        QTest::newRow("negative") << "-12" << -12;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << "  " << -1;
        QTest::newRow("sign alone") << "-" << -1;
        QTest::newRow("sum") << "1+2" << -1;
        QTest::newRow("two signs") << "+-3" << -1;
        QTest::newRow("decimal") << "12.0" << -1;
        QTest::newRow("grouped") << "1,000" << -1;
        QTest::newRow("exponent") << "1e3" << -1;
        QTest::newRow("hex") << "0x1A" << -1;
        QTest::newRow("inner blank") << "1 2" << -1;
        QTest::newRow("too large") << "2147483648" << -1;
        QTest::newRow("far too large") << "99999999999999999999999" << -1;
    }
    void textToInteger()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        if (value != -1) {
            QCOMPARE(zz::textToInteger(text), value);
            return;
        }
        try {
            zz::textToInteger(text);
            QFAIL("the text was read as a number");
        } catch (const EConvertError& e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void printerDialogsGoThroughTheSeam()
    {
        test::RecordingSeam seam;
        QPrinter printer;
        seam.printerAnswers = {true};
        QVERIFY(printerSetupDialog(printer));
        QVERIFY(!printDialog(printer, 1, 6)); // cancelled
        QCOMPARE(seam.printerDialogs, (QStringList{"setup", "print 1-6"}));
    }
};

ZZ_TEST_MAIN(TestWindowKit)
#include "test_window_kit.moc"
