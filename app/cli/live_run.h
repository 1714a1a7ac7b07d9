#pragma once
// vorskal-tally --follow: a game followed while it is flown. At each look
// the numbered logs' complete lines are tallied by the very run a plain
// tally makes (app/live_logs.h), writing nothing in the game's folder, and
// the outputs asked for are replaced whole: the JSON, the CSV files and the
// page, which reloads itself and says when the logs were read. What ends the
// following is returned; the final tally is the caller's (a plain run).
#include <ctime>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/cli/follow_pace.h"
#include "app/cli/session.h"
#include "app/tally_run.h"
#include "base/platform.h"

namespace vorskal {

struct LiveAsked {
    std::string directory;
    TallyOptions options;
    std::string json;  // a file; empty: none
    std::string csv;   // a folder; empty: none
    std::string htmlFile;
    bool showAddresses = false;  // --show-addresses
    int everySeconds = 30;
    std::optional<int> untilMinute;  // --until, minutes after midnight
    int idleMinutes = 0;             // --idle; 0: none
};

enum class LiveEnd {
    Asked,      // SIGINT, SIGTERM, Ctrl-C
    Until,      // the time of --until came
    Idle,       // no log grew for --idle minutes
    Restarted,  // the server started again: nothing final may be written
};

struct LiveEnding {
    LiveEnd end = LiveEnd::Asked;
    std::string message;  // what happened, for the user
};

LiveEnding followGame(const LiveAsked& asked, Clock& clock, FollowPace& pace, std::ostream& out,
                      std::ostream& err);

// "HH:MM" (00:00 to 23:59) as minutes after midnight; none when it is not.
std::optional<int> minuteOfDay(const std::string& text);
// Seconds from `local` to the next time the clock reads `minute`:00, 0 when
// it reads it now.
int secondsUntil(const std::tm& local, int minute);

}  // namespace vorskal
