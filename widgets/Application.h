#pragma once
// The application object: sets the title and catches every error that escapes a handler,
// showing it in the general error report so that the program goes on.
#include <QApplication>

namespace zz {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    // The application title "Zuzevevur Creator": the main window's caption and the title of the
    // general error report.
    static QString title();
    bool notify(QObject* receiver, QEvent* event) override;
    // Shows an error that no handler caught; used by notify and by code outside events.
    static void handleException(std::exception_ptr error);
};

} // namespace zz
