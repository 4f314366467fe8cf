#pragma once
// Message boxes, file dialogs and the general error report, all through one seam.
// The program uses real modal dialogs; tests install a DialogSeam that records each request
// and answers it at once, without a modal loop.
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace zz {

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

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual MsgResult message(const MessageRequest& request) = 0;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<QString> file(const FileDialogRequest& request) { return std::nullopt; }
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

} // namespace zz
