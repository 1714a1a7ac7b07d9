#pragma once
// The start that the three programs share (vorskal-tally, vorskal-league and
// the window): their command line read with CLI11, --help and --version, a
// usage fault, and the exit statuses. Options are spelt the same on every
// system: on Windows too, an argument that starts with "/" is a path, not an
// option. The arguments come in UTF-8 (base/command_line.h).
#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "base/log_date.h"

namespace vorskal {

// The exit statuses of the three programs.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMissingFirstLog = 1;  // vorskal-tally: no "ux7server0.log"
inline constexpr int kExitFailed = 2;           // a file cannot be used, the run failed
inline constexpr int kExitFindings = 3;         // --check, --strict, `check` found something
inline constexpr int kExitRestarted = 4;        // vorskal-tally --follow: the server started again
inline constexpr int kExitUsage = 64;           // bad usage

class CommandStart {
  public:
    // What the command line asked for.
    enum class Asked {
        Run,       // the program goes on (the callbacks of what was asked have run)
        Help,      // text() goes to standard output, exit kExitOk
        Version,   // the same
        BadUsage,  // text() goes to standard error, exit kExitUsage
    };

    // `program` starts every message and, with the version, is what
    // --version prints.
    CommandStart(const std::string& program, const std::string& description);

    // Where the program defines its options and subcommands.
    CLI::App& app() { return app_; }

    // Reads the arguments and runs the callbacks of the subcommands given;
    // what a callback throws, other than a usage fault, goes to the caller.
    Asked read(int argc, const char* const* argv);
    const std::string& text() const { return text_; }

    // read(), with the text printed: the exit status for help, version and a
    // usage fault, nothing when the program goes on.
    std::optional<int> start(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);

  private:
    std::string program_;
    CLI::App app_;
    std::string text_;
};

// --date-order mdy|dmy|ymd: the order a server writes its dates in.
CLI::Option* addDateOrder(CLI::App& app, std::optional<DateOrder>& order, const std::string& help);

// The exit status of what the command line asked for (kExitOk for Run).
int exitStatus(CommandStart::Asked asked);

}  // namespace vorskal
