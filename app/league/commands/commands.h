#pragma once
// The subcommands of vorskal-league, one handler each (a file each, beside
// this one). A handler defines its subcommand's options, lets CLI11 check
// what it can say, and runs in the subcommand's callback once the command
// line is read. What it throws the program shows: a league::LeagueError or
// any failure with status 2, a std::invalid_argument with status 64.
//
// Every name a handler prints (the league file's, a season's, a map's, a
// file's, a setting's) goes through logText (base/log_text.h), as the
// listings print theirs.
#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "base/platform.h"
#include "league/listings/listing.h"
#include "league/listings/queries.h"
#include "league/store/league_file.h"

namespace vorskal {

// What every handler shares: the league file named on the command line, the
// two streams, the clock the league file's times come from, and the
// program's exit status.
struct LeagueContext {
    std::string path;
    std::ostream& out;
    std::ostream& err;
    Clock& clock;
    int status = 0;
};

void addStandings(CLI::App& app, LeagueContext& run);
void addGames(CLI::App& app, LeagueContext& run);
void addShow(CLI::App& app, LeagueContext& run);
void addRemove(CLI::App& app, LeagueContext& run);
void addRestore(CLI::App& app, LeagueContext& run);
void addImport(CLI::App& app, LeagueContext& run);
void addMerge(CLI::App& app, LeagueContext& run);
void addSite(CLI::App& app, LeagueContext& run);
void addPost(CLI::App& app, LeagueContext& run);
void addSet(CLI::App& app, LeagueContext& run);
void addSetDay(CLI::App& app, LeagueContext& run);
void addCheck(CLI::App& app, LeagueContext& run);
void addPilot(CLI::App& app, LeagueContext& run);
void addMatchups(CLI::App& app, LeagueContext& run);
void addRatings(CLI::App& app, LeagueContext& run);
void addExplain(CLI::App& app, LeagueContext& run);
void addRescore(CLI::App& app, LeagueContext& run);

// The options of a listing (standings, games, show).
struct Listing {
    std::string format = "text";
    std::optional<std::string> map;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> season;
    bool allSeasons = false;
};

// --format.
void addFormat(CLI::App& command, Listing& listing);
league::Format formatOf(const Listing& listing);
// --map, --from, --to, --season, --all-seasons.
void addFilter(CLI::App& command, Listing& listing);
// The listing's filter; the season, unless every season is asked for, is
// the one named or else the league's current one. A season or a map that
// no game has, or --from after --to, is refused (std::invalid_argument).
league::GameFilter filterOf(const Listing& listing, league::LeagueFile& file);

// The argument naming a game: its number or the start of its key.
void addGameArgument(CLI::App& command, std::string& game, const std::string& help);
// A game as remove and restore name it.
std::string removedText(const league::GameSummary& game);

}  // namespace vorskal
