#pragma once
// The window's command line, read before any window exists: `vorskal [DIR]`
// opens the window on the game in DIR; --help and --version print their
// text and end the program, so they work without a display. Read by the
// start the three programs share (app/start/command_start.h).
#include <string>

namespace vorskal::window {

struct WindowCommand {
    enum class Action {
        Open,      // open the window; `folder` is DIR, empty when none was given
        Help,      // print `text` on standard output, exit kExitOk
        Version,   // the same
        BadUsage,  // print `text` on standard error, exit kExitUsage
    };
    Action action = Action::Open;
    std::string folder;
    std::string text;
    int status = 0;  // the exit status when the window is not opened
};

// `argv` in UTF-8 on Windows (from the wide command line), as the system
// gives it elsewhere.
WindowCommand readWindowCommand(int argc, const char* const* argv);

}  // namespace vorskal::window
