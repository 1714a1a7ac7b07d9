#include "tests/support/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

pid_t startRunner(const std::string& dir, const int* gate) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (gate != nullptr) {
            char byte;
            ::close(gate[1]);
            while (::read(gate[0], &byte, 1) > 0) {
            }
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(VORSKAL_TALLY_BINARY, "vorskal-tally", "-C", dir.c_str(), nullptr);
        ::_exit(127);
    }
    return pid;
}

int exitStatus(pid_t pid) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace vorskal::testing
