// The window kit's handler helpers: the protected block and the messages it shows, the key
// handler of a field, reading a typed whole number, and the printer dialogs through the seam.
#include <QLineEdit>
#include <QPrinter>
#include <stdexcept>

#include "data/Errors.h"
#include "tests/support/TestSupport.h"
#include "widgets/Handlers.h"

using namespace zz;

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
