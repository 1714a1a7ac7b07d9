#pragma once
// The window's command line, read before any window exists: `vorskal [DIR]`
// opens the window on the game in DIR; --help and --version print their
// text and end the program, so they work without a display.
#include <string>

namespace vorskal::window {

struct WindowCommand {
    enum class Action {
        Open,      // open the window; `folder` is DIR, empty when none was given
        Help,      // print `text` on standard output, exit 0
        Version,   // the same
        BadUsage,  // print `text` on standard error, exit 64
    };
    Action action = Action::Open;
    std::string folder;
    std::string text;
};

inline constexpr int kWindowExitUsage = 64;

// `argv` in UTF-8 on Windows (from the wide command line), as the system
// gives it elsewhere.
WindowCommand readWindowCommand(int argc, const char* const* argv);

}  // namespace vorskal::window
