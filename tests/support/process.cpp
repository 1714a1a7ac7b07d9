#include "tests/support/process.h"

#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/game_dir.h"

namespace vorskal::testing {

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

ToolRun runProgram(const std::string& cwd, const std::string& program, const std::string& args) {
    GameDir outputs;
    const std::string command = "cd " + shellQuote(cwd) + " && " + shellQuote(program) + " " +
                                args + " </dev/null >" + shellQuote(outputs.path() + "/out") +
                                " 2>" + shellQuote(outputs.path() + "/err");
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = outputs.read("out");
    run.err = outputs.read("err");
    return run;
}

}  // namespace vorskal::testing
