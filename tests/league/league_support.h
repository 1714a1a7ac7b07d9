#pragma once
// Shared pieces of the league tests: games built by hand, the programs run
// in this process or as child processes, and a file's bytes.
#include <sys/types.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/league/league_command.h"
#include "league/store/game_store.h"
#include "results/game_results.h"
#include "tests/support/scenarios.h"

namespace vorskal::testing {

class GameDir;  // tests/support/game_dir.h

struct Row {
    const char* name;
    results::Side team;
    std::int64_t kills, deaths, targets, targetPoints, score;
};

// A game with the given rows, their sums per side as totals (less the
// penalty in the final one), and the points per kill and death the rows
// were scored with (10 and -5 where the rows do not tell).
results::GameResults handGame(const std::string& map, const std::string& date,
                              const std::vector<Row>& rows, std::int64_t alliedPenalty = 0);

// A hand game's identity: `key` stands for its report's key.
inline league::GameIdentity handIdentity(const std::string& key) {
    league::GameIdentity identity;
    identity.key = key;
    identity.reportSha256 = key + "-report";
    return identity;
}

// `game` recorded into the league file `db` under the hand identity `key`.
void recordHand(const std::string& db, const results::GameResults& game, const std::string& key);

struct LeagueRun {
    int status;
    std::string out;
    std::string err;
};

// vorskal-league and vorskal-tally in this process.
LeagueRun league(const std::vector<std::string>& args);
LeagueRun tally(const std::vector<std::string>& args);
// vorskal-league's output read as JSON; the run must succeed.
nlohmann::json leagueJson(const std::vector<std::string>& args);

pid_t spawn(const std::vector<std::string>& argv);
// A recorder that, inside its transaction after each game, makes the file
// `mark` and waits `ms` milliseconds. `args` begin with "tally" or "league".
pid_t spawnPaused(const std::string& mark, int ms, const std::vector<std::string>& args);
// Waits for the child; its exit status, or -1 when a signal ended it.
int waitFor(pid_t pid);
// Runs `argv` as the user "nobody" when this process runs as root (whom
// file modes do not stop), else as itself; its status and output.
LeagueRun runAsOrdinaryUser(const std::vector<std::string>& argv);

std::string bytesOf(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// The hand-worked reports of tests/scenarios/NAME/expect.report, each
// with its "Current time is" line set to `times[i]`.
std::string reportFile(const std::vector<std::string>& scenarios,
                       const std::vector<std::string>& times);

// The scenario folders of tests/scenarios whose tally completes.
std::vector<Scenario> completedScenarios();

// The game's folder, as the scenario has it, copied into `dir`.
void copyInputs(const Scenario& s, const GameDir& dir);

// The sample game's logs and vorskal.ini (examples/sample-game) copied into `dir`.
void copySampleGame(const GameDir& dir);

}  // namespace vorskal::testing
