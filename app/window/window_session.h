#pragma once
// What the window does, whatever draws it: the options its boxes set (all on
// at start), the one run that "Tally Score" starts, and the run itself with
// its closing message. A view shows the controls of form_layout.h, passes
// each box's new state and the click on, runs run() on a thread of its own
// so the window keeps repainting, and shows the message it returns.
#include <functional>
#include <string>

#include "app/tally_run.h"
#include "app/window/closing_message.h"
#include "app/window/option_boxes.h"

namespace vorskal::window {

// How a run ended: its message and the program's exit status.
struct RunEnd {
    ClosingMessage message;
    int exitStatus = 0;
};

// One tally of the game in `folder` (a path as the system's file service
// takes it; "" is the current directory) with `options`, on the real files
// and clock. The folder is locked for the run, so it never overlaps another
// tally there. Never throws.
RunEnd tallyGame(const TallyOptions& options, const std::string& folder);

using GameRunner = std::function<RunEnd(const TallyOptions& options, const std::string& folder)>;

class WindowSession {
  public:
    // The window on the game in `folder`; `runner` does the run (tests hold
    // it back or count it).
    explicit WindowSession(std::string folder, GameRunner runner = tallyGame);

    const std::string& folder() const { return folder_; }
    const TallyOptions& options() const { return options_; }

    // A box's state has changed. After the run has begun the options stay as
    // they were.
    void boxChanged(Option option, BoxState state);

    // "Tally Score" was clicked: true the first time, when the view disables
    // the button and the boxes and starts run(); false ever after (one
    // program start, one tally).
    bool begin();
    bool begun() const { return begun_; }

    // The run, with the options as they were at begin(). For the run's own
    // thread: it reads nothing that changes after begin().
    RunEnd run() const;

  private:
    std::string folder_;
    GameRunner runner_;
    TallyOptions options_;
    bool begun_ = false;
};

}  // namespace vorskal::window
