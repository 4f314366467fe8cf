#include "widgets/Application.h"

#include <QTimer>

#include "data/Engine.h"
#include "data/Errors.h"
#include "widgets/Accessible.h"
#include "widgets/Dialogs.h"
#include "widgets/Glyphs.h"

namespace zz {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zuzevevur"));
    // The title is no display name of Qt's: that would be appended to every window's caption
    // ("VAT - Zuzevevur Creator"), and each caption reads exactly as its window sets it.
    registerPictures();
    installAccessibility();
    // The desktop matches the windows to the launcher of this name (and its icon).
    setDesktopFileName(QStringLiteral("org.zuzevevur.Creator"));
    setWindowIcon(programIcon());
    // The program ends when the main window closes, never because a dialog closed while the
    // main window was hidden under a section menu.
    setQuitOnLastWindowClosed(false);
    // A statement waiting for another program's lock shows the wait cursor until the program is
    // back at its event loop.
    Engine::setBusyNotifier([] {
        static bool waiting = false;
        if (waiting)
            return;
        waiting = true;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer::singleShot(0, [] {
            QGuiApplication::restoreOverrideCursor();
            waiting = false;
        });
    });
}

QString TApplication::title() { return QStringLiteral("Zuzevevur Creator"); }

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
