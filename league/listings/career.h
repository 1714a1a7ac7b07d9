#pragma once
// A pilot's career, counted from the kill lines the league file keeps of
// the games that count (those of the standings: not removed, in the
// listing's season): kills and deaths, by aircraft, whom he shot down and
// who shot him down, his longest run of kills and his best game.
//
// A kill line a correction took back counts nowhere. A self-kill is a
// death and no kill; a line that awards the kill to no one is the victim's
// death alone. Games whose kills the file does not list (read back from a
// report, or recorded before the league kept kills) count in `games` and
// in `gamesWithoutKills`, and in nothing else.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "league/listings/queries.h"
#include "results/game_results.h"

namespace vorskal::league {

// Kills and deaths in (or over) one aircraft type.
struct AircraftCount {
    std::string aircraft;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
};

// Another pilot and how often.
struct PilotCount {
    std::string name;
    std::int64_t count = 0;
};

struct CareerGame {
    std::int64_t id = 0;
    std::string playedOn;  // "" when not known
    std::string map;
    std::int64_t kills = 0;
};

struct Career {
    std::string name;
    std::int64_t games = 0;    // games with a row of his in the score tables
    std::int64_t sorties = 0;  // his entries into the arena
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t gamesWithoutKills = 0;  // of `games`, those without kills listed
    // By the aircraft he flew: most kills first, then most deaths, then by name.
    std::vector<AircraftCount> flown;
    // His victims by the aircraft they flew (`deaths` unused), most first.
    std::vector<AircraftCount> victims;
    std::optional<PilotCount> shotDownMostBy;  // the most; ties: first by name
    std::optional<PilotCount> shotDownMost;
    // The most kills in a row in one game, a death ending a run; the game of
    // the first such run (none without a kill).
    std::int64_t longestRun = 0;
    std::optional<std::int64_t> longestRunGame;
    std::optional<CareerGame> bestGame;  // the most kills; ties: the earliest
};

// Kills per death with two decimals, rounded half up ("1.33"); with no
// death, the kills alone ("3.00"), as if one: as the site's index shows it.
std::string careerKillsPerDeath(const Career& career);

// Counts careers game by game; games are added in the order they were played
// (listGames), which breaks the ties of the best game.
class CareerTally {
  public:
    // Every pilot's career, or only `only`'s.
    explicit CareerTally(std::optional<std::string> only = std::nullopt) : only_(std::move(only)) {}

    // A counting game with its pilots' rows, arena events and kills (as
    // loadGame reads them with GameParts::Kills).
    void add(const GameSummary& summary, const results::GameResults& game);

    // Every pilot with a row in a game added, by name.
    std::vector<Career> careers() const;

  private:
    struct Counts {
        Career career;
        std::map<std::string, AircraftCount> flown;
        std::map<std::string, std::int64_t> victims;
        std::map<std::string, std::int64_t> killers;
        std::map<std::string, std::int64_t> shotDown;
    };
    bool counted(const std::string& name) const { return !only_ || *only_ == name; }
    Counts& of(const std::string& name);

    std::optional<std::string> only_;
    std::map<std::string, Counts> counts_;
};

// The career of `name` in the games `filter` takes in. Throws
// std::invalid_argument when no game of the file has a pilot of that name,
// naming the closest names the file has.
Career pilotCareer(LeagueFile& file, const GameFilter& filter, const std::string& name);

// Every pilot's career in the games `filter` takes in, by name.
std::vector<Career> allCareers(LeagueFile& file, const GameFilter& filter);

}  // namespace vorskal::league
