// Zuzevevur Creator: the program's entry.
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "widgets/Application.h"

int main(int argc, char** argv)
{
    // The options that open no window are carried out before the window system is reached, so
    // that they work on a console without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const zz::CommandLine line = zz::parseCommandLine(arguments);
    if (line.action != zz::CommandLine::Action::Run) {
        QTextStream out(stdout), err(stderr);
        return zz::runCommandLine(line, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName(), out, err);
    }
    zz::TApplication app(argc, argv);
    return zz::runZuzevevur(app);
}
