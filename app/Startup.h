#pragma once
// The program's start-up: splash, the data module and every window, then the message loop.
#include <exception>
#include <QString>

namespace zz {

class TApplication;

// Runs the whole program and returns its exit code (1 when the tables cannot be opened).
int runZuzevevur(TApplication& app);

// The text of the start-up failure box: "Exception <kind> in module <file> at <address>."
// and the error's own message on the next line, ending with a full stop.
QString startupErrorText(std::exception_ptr error, const QString& module, quintptr address);

// Creates the data module and every window, hidden, in their fixed order; destroys them again.
void createForms();
void destroyForms();

} // namespace zz
