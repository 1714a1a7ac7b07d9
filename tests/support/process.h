#pragma once
// Running a program of the project (the headless runner) from a test, with
// its standard output and error caught.
#include <sys/types.h>

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

// Starts the headless runner on `dir` in a process of its own, its output
// thrown away; when `gate` (a pipe) is given, it runs once the pipe is closed.
pid_t startRunner(const std::string& dir, const int* gate = nullptr);
// Waits for `pid` to end: its exit status, -1 when it did not exit normally.
int exitStatus(pid_t pid);

}  // namespace vorskal::testing
