#pragma once
// Reading the results of a game out of the finished tally state and the
// game's files, and the small conversions that the collector and the
// checks share.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "results/game_results.h"
#include "tally/tally_state.h"

namespace vorskal::collector {

// Whether seconds since midnight fall within the day (0 to 86399).
bool withinDay(std::int64_t seconds);
// Whether a log whose first time of day is `first` follows one that ended
// at `last` across midnight: `first` is more than 12 hours before `last`.
bool acrossMidnight(std::string_view last, std::string_view first);

results::Side sideOfTeam(Count team);
std::string_view trimRight(std::string_view text);

// Size, lines and (when `hash`) sha256 of a file of the game's directory;
// a file that cannot be read gives its name only.
results::FileFacts fileFacts(FileService& files, const std::string& name, bool hash);

// The change of a score that a correction's move makes (Move::points).
std::int64_t pointsOfMove(const results::Move& move, Count killPoints, Count deathPoints);

// The pilots in report order, the teams, the settings, the run's options
// and the kills and deaths per minute, as the state holds them after the
// run.
void readFinalState(results::GameResults& results, const TallyState& state);

// Adds to the timeline the kills and deaths of `events` that the
// multi-death correction took back, at the minutes they were logged.
void addTakenBack(results::GameResults& results, const TallyState& state,
                  const std::vector<KillEvent>& events);

}  // namespace vorskal::collector
