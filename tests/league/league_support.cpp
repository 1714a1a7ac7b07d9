#include "tests/league/league_support.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

// Child processes for the tests of concurrency, which the Windows build
// leaves out (they include POSIX headers).
#if !defined(_WIN32)
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace vorskal::testing {

#if !defined(_WIN32)

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        environment.push_back(*e);
    }
    for (const std::string& e : env) {
        environment.push_back(const_cast<char*>(e.c_str()));
    }
    environment.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environment.data()) != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

int waitFor(pid_t pid) {
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}
#endif

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string reportFile(const std::vector<std::string>& scenarios,
                       const std::vector<std::string>& times) {
    std::string file;
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        std::string report = bytesOf(std::string(VORSKAL_SOURCE_DIR) + "/tests/scenarios/" +
                                     scenarios[i] + "/expect.report");
        const std::size_t at = report.find("<TIME>");
        report.replace(at, 6, times[i]);
        file += report;
    }
    return file;
}

}  // namespace vorskal::testing
