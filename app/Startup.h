#pragma once
// The program's start-up: splash, the data module and every window, then the message loop.
#include <QString>
#include <exception>
#include <span>

class QObject;

namespace zz {

class TApplication;

// Runs the whole program and returns its exit code (1 when the tables cannot be opened).
int runZuzevevur(TApplication& app);

// The text of the start-up failure box: "Exception <kind> in module <file> at <address>."
// and the error's own message on the next line, ending with a full stop.
QString startupErrorText(std::exception_ptr error, const QString& module, quintptr address);

// One row of the start-up table: a window of the program (or the data module), by its global
// reference's name, with how it is created and destroyed and where its instance is.
struct StartupForm {
    const char* name;
    void (*create)();
    void (*destroy)(); // nullptr for the data module, which goes last
    QObject* (*instance)();
};
// The windows and the data module in their order of creation.
std::span<const StartupForm> startupForms();

// Creates the data module and every window, hidden, in their fixed order; destroys the windows
// in the reverse order, then the data module. Destroying what a failed start-up left is safe.
void createForms();
void destroyForms();

} // namespace zz
