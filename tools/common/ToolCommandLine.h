#pragma once
// The small tools' command lines, read as the program reads its own: -h/--help and -v/--version
// print and end with status 0; any other word beginning with "-" is an option, and one the tool
// does not know is named on stderr and ends it with status 2, so that a mistyped option never
// becomes the name of a file.
#include <QString>
#include <QStringList>
#include <vector>

class QTextStream;

namespace zz::tools {

// An option a tool takes: "--einvoicing", with "=VALUE" allowed when `value` is true.
struct ToolOption {
    QString name;
    bool value = false;
};

struct ToolCommandLine {
    enum class Action { Run, Help, Version, Invalid };
    Action action = Action::Run;
    QStringList operands;             // the words that are not options, in order
    QStringList options;              // the options given, as given ("--einvoicing=ZA")
    QString error;                    // for Invalid: "unknown option '--x'"

    // The value of an option given as "--name=VALUE" ("" for "--name"); `given` tells whether it was.
    QString value(const QString& name, bool* given = nullptr) const;
};

ToolCommandLine parseToolCommandLine(const QStringList& arguments, const std::vector<ToolOption>& known = {});

// "zuzevevur-book (Zuzevevur Creator 0.1)"
QString toolVersionText(const QString& program);

// Prints the help or the version to `out`, or the error and a pointer to --help to `err`, and
// gives the exit status; -1 for a command line to run.
int answerToolCommandLine(const ToolCommandLine& line, const QString& program, const QString& help, QTextStream& out,
                          QTextStream& err);

} // namespace zz::tools
