#pragma once
// Shared test helpers: a dialog seam that records and answers every box, a temporary database
// per test, a few small helpers, and a main() that creates the program's application object
// headless.
#include <QDir>
#include <QList>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>

#include "data/Regional.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

namespace zz::test {

// Records every message box, file dialog and printer dialog and answers it from a queue (by
// default OK / Yes, and cancel for the file and printer dialogs). The print preview opens and,
// once its pages are made, runs onPreview (when set) and closes: a test never waits for it.
class RecordingSeam : public DialogSeam {
public:
    RecordingSeam() { setDialogSeam(this); }
    ~RecordingSeam() override { setDialogSeam(nullptr); }

    MsgResult message(const MessageRequest& request) override;
    std::optional<QString> file(const FileDialogRequest& request) override;
    std::optional<QString> text(const TextRequest& request) override;
    bool printerSetup(QPrinter& printer) override;
    bool print(QPrinter& printer, int minPage, int maxPage) override;
    void previewOpened(TPreviewForm& preview) override;
    bool previewReady(TPreviewForm& preview) override;

    QList<MessageRequest> messages;
    QList<FileDialogRequest> fileRequests;
    std::deque<MsgResult> answers;                 // next answers to message boxes
    std::deque<QString> fileAnswers; // next answers to file dialogs (a null QString cancels)
    QList<TextRequest> textRequests;
    std::deque<QString> textAnswers; // next answers to text inputs (a null QString cancels; none: empty, accepted)
    std::function<void(const MessageRequest&)> onMessage; // runs while the "box" is up
    // The printer dialogs shown, as "setup" or "print <min>-<max>", and the next answers.
    QStringList printerDialogs;
    std::deque<bool> printerAnswers;
    // Run when the print preview has opened, and when its pages are made.
    std::function<void(TPreviewForm&)> onPreviewOpened;
    std::function<void(TPreviewForm&)> onPreview;

    QString lastText() const { return messages.isEmpty() ? QString() : messages.back().text; }
    void clear() { messages.clear(); fileRequests.clear(); }
};

// Points the user's configuration and data directories at a fresh temporary folder, so that
// the engine resolves the alias to a database of this test only.
class TempHome {
public:
    TempHome();
    ~TempHome();
    QString path() const { return m_dir.path(); }
    QString configDir() const { return m_dir.path() + QStringLiteral("/config"); }
    QString dataDir() const { return m_dir.path() + QStringLiteral("/data"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig, m_oldData;
};

// Regional settings with a comma as the decimal separator, a point between thousands, the euro
// after the amount and day.month.year dates.
RegionalSettings germanRegional();
// South African settings: "R 1,234.50" (the symbol before the amount, a blank between), year/month/day
// dates and a 12-hour long time.
RegionalSettings southAfricanRegional();

// The message of the error a piece of work raises; empty when it raises none.
QString errorOf(const std::function<void()>& work);
// How the engine reports a text of the open book's own (a trigger's message): with the book named.
QString bookError(const QString& text);

// Runs a statement on a connection (by default the open book's), past every cursor; throws
// EDBEngineError with the statement and the engine's message when it fails.
void runSql(const QString& sql, const QSqlDatabase& db = QSqlDatabase());

// The first value of a statement's first row, read from the database past every cursor.
QVariant storedValue(const QString& sql);

// The whole content of a file (empty when it cannot be read).
QByteArray fileBytes(const QString& path);

} // namespace zz::test

#define ZZ_TEST_MAIN(TestObject)                                  \
    int main(int argc, char** argv)                               \
    {                                                             \
        qputenv("QT_QPA_PLATFORM", "offscreen");                  \
        zz::TApplication app(argc, argv);                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                  \
        TestObject tc;                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                \
        return QTest::qExec(&tc, argc, argv);                     \
    }
