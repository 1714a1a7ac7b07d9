#pragma once
// Shared pieces of the league tests: games built by hand, the program run
// in this process or as a child process, and a file's bytes.
#include <sys/types.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/league/league_command.h"
#include "results/game_results.h"

namespace vorskal::testing {

struct Row {
    const char* name;
    results::Side team;
    std::int64_t kills, deaths, targets, targetPoints, score;
};

// A game with the given rows; the totals are the rows' sums per side, and
// the final totals take off the penalties. `logSha` names its merged log.
inline results::GameResults handGame(const std::string& logSha, const std::string& map,
                                     const std::string& date, const std::vector<Row>& rows,
                                     std::int64_t alliedPenalty = 0) {
    results::GameResults game;
    game.inputs.push_back({"ux7server.log", 100, 2, logSha});
    game.settings.map = map;
    game.gameDate = date;
    for (const Row& r : rows) {
        game.pilots.push_back({r.name,
                               r.team,
                               r.team == results::Side::Allied ? 1 : 2,
                               r.kills,
                               r.deaths,
                               r.targets,
                               r.targetPoints,
                               {},
                               r.score});
        results::TeamTotals* totals = r.team == results::Side::Allied ? &game.allied
                                      : r.team == results::Side::Hun  ? &game.hun
                                                                      : nullptr;
        if (totals != nullptr) {
            totals->kills += r.kills;
            totals->deaths += r.deaths;
            totals->targetsDestroyed += r.targets;
            totals->targetPoints += r.targetPoints;
            totals->score += r.score;
        }
    }
    game.allied.overMaxPenalty = alliedPenalty;
    game.allied.final = game.allied.score - alliedPenalty;
    game.hun.final = game.hun.score;
    return game;
}

struct LeagueRun {
    int status;
    std::string out;
    std::string err;
};

// vorskal-league in this process.
inline LeagueRun league(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {"vorskal-league"};
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = runLeagueCommand(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// Starts `argv` as a child process with `env` ("NAME=value") added.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
// Waits for the child; its exit status, or -1 when a signal ended it.
int waitFor(pid_t pid);

std::string bytesOf(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// A report file of the reports given (the hand-worked reports of
// tests/scenarios/NAME/expect.report), each with its "Current time is" line set to `times[i]`, so
// each is a report of its own.
std::string reportFile(const std::vector<std::string>& scenarios,
                       const std::vector<std::string>& times);

}  // namespace vorskal::testing
