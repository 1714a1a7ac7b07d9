#pragma once
// The start of every command-line program: its arguments as UTF-8 on every
// system, its standard output and standard error.
#include <ostream>

namespace vorskal {

using CommandFunction = int (*)(int argc, const char* const* argv, std::ostream& out,
                                std::ostream& err);

// Runs the command with the program's arguments (as main() received them;
// on Windows they are read again from the wide command line, since main()'s
// own are in the system's code page, which cannot hold every file name).
int runCommandLine(CommandFunction command, int argc, char** argv);

}  // namespace vorskal
