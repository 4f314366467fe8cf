#pragma once
// Every modal interaction with the user goes through one seam: message boxes (the general error
// report among them), file dialogs, the printer set-up and print dialogs, and the wait for the
// user in the print preview. The program shows the real dialogs; tests install a DialogSeam that
// records each request and answers it at once, without a modal loop.
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;
class QWidget;

namespace zz {

class TPreviewForm;

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { OK, YesNo, OKCancel };
enum class MsgResult { OK, Cancel, Yes, No };

struct MessageRequest {
    MsgKind kind = MsgKind::Information;
    QString title;   // "Warning", "Error", "Information", "Confirm", or the application title
    QString text;
    MsgButtons buttons = MsgButtons::OK;
};

struct FileDialogRequest {
    QString caption;
    QString filter;            // Qt filter, e.g. "Bitmaps (*.bmp)"
    QString defaultSuffix;     // e.g. "bmp"
    QString directory;
    bool save = false;
    bool picturePreview = false;
};

// A one-line text the user types, with OK and Cancel.
struct TextRequest {
    QString title;
    QString label;
    int maxLength = 0; // 0: no limit
};

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual MsgResult message(const MessageRequest& request) = 0;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<QString> file(const FileDialogRequest& request) { return std::nullopt; }
    // The typed text, or nothing when the user cancelled. Unanswered: an empty text, accepted.
    virtual std::optional<QString> text(const TextRequest& request) { return QString(); }
    // The printer set-up dialog on a printer; true when the user accepted (the printer then holds
    // the choices).
    virtual bool printerSetup(QPrinter& printer) { return false; }
    // The print dialog for pages minPage to maxPage; true when the user chose to print (the
    // printer then holds the printer, copies and range chosen).
    virtual bool print(QPrinter& printer, int minPage, int maxPage) { return false; }
    // The print preview has opened; its pages are still to be made.
    virtual void previewOpened(TPreviewForm& preview) {}
    // The preview's pages are made and it waits for the user. A seam that acts in the user's place
    // does so here and returns true: the preview then closes. False leaves the preview to the user.
    virtual bool previewReady(TPreviewForm& preview) { return false; }
};

// Installs a seam (nullptr puts the real dialogs back).
void setDialogSeam(DialogSeam* seam);
DialogSeam* dialogSeam();

QString messageTitle(MsgKind kind);

// Shows a message box exactly as requested (title, kind, text, buttons).
MsgResult messageBox(const MessageRequest& request);
// Shows a message box of the given kind with its standard title, icon and buttons.
MsgResult messageBox(MsgKind kind, const QString& text, MsgButtons buttons = MsgButtons::OK);
inline void showError(const QString& text) { messageBox(MsgKind::Error, text); }
inline void showWarning(const QString& text) { messageBox(MsgKind::Warning, text); }
inline void showInformation(const QString& text) { messageBox(MsgKind::Information, text); }
// A confirmation with Yes and No; true only on Yes.
inline bool confirm(const QString& text) { return messageBox(MsgKind::Confirmation, text, MsgButtons::YesNo) == MsgResult::Yes; }

// The text the general error report shows: a full stop is appended when the last character
// sorts after the full stop.
QString generalErrorText(const QString& message);
// The general error report: title "Zuzevevur Creator", error icon, OK.
void generalErrorReport(const QString& message);

// A file dialog (open or save) through the seam.
std::optional<QString> fileDialog(const FileDialogRequest& request);
// A one-line text input through the seam; nothing when the user cancelled.
std::optional<QString> textDialog(const TextRequest& request);
// The printer set-up and print dialogs through the seam (parented to the active window).
bool printerSetupDialog(QPrinter& printer);
bool printDialog(QPrinter& printer, int minPage, int maxPage);

} // namespace zz
