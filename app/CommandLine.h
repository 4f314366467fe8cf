#pragma once
// The program's command line. Without options the program starts as it always does; the options
// print help or the version, list the books' backups or restore one, and end without a window.
#include <QString>
#include <QStringList>

class QTextStream;

namespace zz {

struct CommandLine {
    enum class Action { Run, Help, Version, ListBackups, Restore, Invalid };
    Action action = Action::Run;
    QString backupFile; // Restore: the backup to put in place
    QString error;      // Invalid: what is wrong, e.g. "unknown option '--colour'"
};

// Reads the arguments after the program's name. The window system's standard options ("-platform
// xcb", "-style Fusion", ...) are left to the application object.
CommandLine parseCommandLine(const QStringList& arguments);

// "Zuzevevur Creator 0.1"
QString versionText();
QString helpText(const QString& program);

// Exit codes of the actions that open no window.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Carries out an action that opens no window (anything but Run) and returns the exit code;
// what it reports goes to out, errors to err.
int runCommandLine(const CommandLine& line, const QString& program, QTextStream& out, QTextStream& err);

} // namespace zz
