#include "tools/common/ToolCommandLine.h"

#include <QTextStream>

#ifndef ZZ_VERSION
#define ZZ_VERSION "0"
#endif

namespace zz::tools {

QString ToolCommandLine::value(const QString& name, bool* given) const
{
    for (const QString& o : options) {
        if (o == name || o.startsWith(name + QLatin1Char('='))) {
            if (given)
                *given = true;
            return o.mid(name.size() + 1);
        }
    }
    if (given)
        *given = false;
    return {};
}

ToolCommandLine parseToolCommandLine(const QStringList& arguments, const std::vector<ToolOption>& known)
{
    ToolCommandLine line;
    bool help = false, version = false;
    for (const QString& arg : arguments) {
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            help = true;
            continue;
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            version = true;
            continue;
        }
        if (!arg.startsWith(QLatin1Char('-'))) {
            line.operands << arg;
            continue;
        }
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        const bool joined = arg.contains(QLatin1Char('='));
        bool ok = false;
        for (const ToolOption& o : known)
            if (o.name == name && (o.value || !joined))
                ok = true;
        if (!ok && line.error.isEmpty()) {
            line.error = arg == QLatin1String("-") ? QStringLiteral("'-' is no file name; write ./- for a file of that name")
                                                   : QStringLiteral("unknown option '%1'").arg(arg);
        }
        line.options << arg;
    }
    if (help)
        line.action = ToolCommandLine::Action::Help;
    else if (version)
        line.action = ToolCommandLine::Action::Version;
    else if (!line.error.isEmpty())
        line.action = ToolCommandLine::Action::Invalid;
    return line;
}

QString toolVersionText(const QString& program)
{
    return QStringLiteral("%1 (Zuzevevur Creator %2)").arg(program, QLatin1String(ZZ_VERSION));
}

int answerToolCommandLine(const ToolCommandLine& line, const QString& program, const QString& help, QTextStream& out,
                          QTextStream& err)
{
    switch (line.action) {
    case ToolCommandLine::Action::Run: return -1;
    case ToolCommandLine::Action::Help: out << help; return 0;
    case ToolCommandLine::Action::Version: out << toolVersionText(program) << '\n'; return 0;
    case ToolCommandLine::Action::Invalid:
        err << QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, line.error);
        return 2;
    }
    return 2;
}

} // namespace zz::tools
