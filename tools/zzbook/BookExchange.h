#pragma once
// The book tool's import and export: the exchange library's work on a book named on the command
// line, with the options read from the arguments and the outcome printed for people and scripts.
#include <QStringList>
#include <cstdio>

namespace zz::book {

// `export BOOK WHAT FILE [--invoice-dates FROM TO | --pay-dates FROM TO] [--no-bom]`
// `import BOOK customers|products FILE [--update-existing] [--skip-refused] [--cut-long]
//         [--regional-prices] [--separator comma|semicolon|tab] [--encoding utf-8|windows-1252]`
// args start after the command word. Returns the exit status: 0 done, 1 refused or failed (the
// reason on err), 2 wrong arguments.
int runExport(const QStringList& args, FILE* out, FILE* err);
int runImport(const QStringList& args, FILE* out, FILE* err);

extern const char* const kExchangeUsage;

} // namespace zz::book
