#include "widgets/Application.h"

#include "data/Errors.h"
#include "widgets/Dialogs.h"
#include "widgets/Glyphs.h"

namespace zz {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zuzevevur"));
    setApplicationDisplayName(QStringLiteral("Zuzevevur Creator"));
    registerPictures();
    // The program ends when the main window closes, never because a dialog closed while the
    // main window was hidden under a section menu.
    setQuitOnLastWindowClosed(false);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        handleException(std::current_exception());
    }
    return false;
}

void TApplication::handleException(std::exception_ptr error) { generalErrorReport(errorMessage(error)); }

} // namespace zz
