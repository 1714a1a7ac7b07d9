// What the handlers of vorskal-league share: a listing's options, the game
// argument, a game as remove and restore name it.
#include <cstdio>
#include <map>

#include "app/league/commands/commands.h"
#include "base/counted.h"
#include "base/log_text.h"
#include "league/store/settings.h"

namespace vorskal {

namespace {

// A calendar day written "YYYY-MM-DD".
bool isDay(const std::string& text) {
    int year = 0;
    int month = 0;
    int day = 0;
    char tail = 0;
    return text.size() == 10 && text[4] == '-' && text[7] == '-' &&
           std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &tail) == 3 &&
           month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

}  // namespace

void addFormat(CLI::App& command, Listing& listing) {
    command.add_option("--format", listing.format, "Output format (default: text)")
        ->check(CLI::IsMember({"text", "csv", "json", "html"}));
}

league::Format formatOf(const Listing& listing) {
    static const std::map<std::string, league::Format> kFormats = {{"text", league::Format::Text},
                                                                   {"csv", league::Format::Csv},
                                                                   {"json", league::Format::Json},
                                                                   {"html", league::Format::Html}};
    return kFormats.at(listing.format);
}

void addFilter(CLI::App& command, Listing& listing) {
    const auto day = CLI::Validator(
        [](std::string& text) {
            return isDay(text) ? std::string() : "expected a day as YYYY-MM-DD: " + text;
        },
        "YYYY-MM-DD");
    command.add_option("--map", listing.map,
                       "Only games on this map (as section 7 names it; any letter case)");
    command.add_option("--from", listing.from, "Only games played on or after this day")
        ->check(day);
    command.add_option("--to", listing.to, "Only games played on or before this day")->check(day);
    CLI::Option* season = command.add_option(
        "--season", listing.season, "Only the games of this season (default: the current season)");
    command.add_flag("--all-seasons", listing.allSeasons, "The games of every season")
        ->excludes(season);
}

league::GameFilter filterOf(const Listing& listing, league::LeagueFile& file) {
    std::optional<std::string> season;
    if (!listing.allSeasons) {
        season = listing.season ? *listing.season : league::currentSeason(file.db());
    }
    // A mistyped season or map, or days the wrong way round, are refused
    // rather than answered with "0 games".
    return league::checkedFilter(file, {listing.map, listing.from, listing.to, season});
}

void addGameArgument(CLI::App& command, std::string& game, const std::string& help) {
    command.add_option("game", game, help)->required();
}

std::string removedText(const league::GameSummary& game) {
    return "game " + std::to_string(game.id) + " (season " + logText(game.season) + ", " +
           (game.playedOn.empty() ? "day unknown" : "played " + game.playedOn) + ", map " +
           logText(game.map) + ", Allied " + std::to_string(game.alliedFinal) + ", Hun " +
           std::to_string(game.hunFinal) + ", " + counted(game.pilots, "pilot") + ")";
}

}  // namespace vorskal
