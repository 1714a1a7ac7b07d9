#pragma once
// Running a program of the project (the headless runner) from a test, with
// its standard output and error caught.
#include <string>

namespace vorskal::testing {

struct ToolRun {
    int status = -1;  // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// The text quoted for the shell.
std::string shellQuote(const std::string& text);

// Runs `program` with the shell words `args` in the folder `cwd`, with no input.
ToolRun runProgram(const std::string& cwd, const std::string& program, const std::string& args);

}  // namespace vorskal::testing
