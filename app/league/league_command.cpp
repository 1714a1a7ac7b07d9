#include "app/league/league_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/version.h"
#include "league/game_store.h"
#include "league/league_file.h"
#include "league/listing.h"
#include "league/queries.h"
#include "league/report_import.h"

namespace vorskal {

namespace {

using league::Format;
using league::LeagueFile;

const std::map<std::string, Format> kFormats = {
    {"text", Format::Text}, {"csv", Format::Csv}, {"json", Format::Json}, {"html", Format::Html}};

struct Listing {
    std::string format = "text";
    std::optional<std::string> map;
    std::optional<std::string> from;
    std::optional<std::string> to;
};

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

void addFormat(CLI::App* command, Listing& listing) {
    command->add_option("--format", listing.format, "Output format (default: text)")
        ->check(CLI::IsMember({"text", "csv", "json", "html"}));
}

void addFilter(CLI::App* command, Listing& listing) {
    const auto day = CLI::Validator(
        [](std::string& text) {
            return isDay(text) ? std::string() : "expected a day as YYYY-MM-DD: " + text;
        },
        "YYYY-MM-DD");
    command->add_option("--map", listing.map, "Only games on this map (as section 7 names it)");
    command->add_option("--from", listing.from, "Only games played on or after this day")
        ->check(day);
    command->add_option("--to", listing.to, "Only games played on or before this day")->check(day);
}

league::GameFilter filterOf(const Listing& listing) {
    return {listing.map, listing.from, listing.to};
}

}  // namespace

int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Keeps a league's season in one file: records of scored games, standings per pilot\n"
        "and per side, and the import of old report files (vorskal.log).",
        "vorskal-league"};
    app.require_subcommand(1);
    std::string path;
    app.add_option("league", path, "The league file (an SQLite database)")
        ->required()
        ->type_name("LEAGUE.db");
    app.set_version_flag("--version", "vorskal-league " + std::string(kVersion));

    Listing listing;
    std::string sortColumn;
    bool reverse = false;
    CLI::App* standings = app.add_subcommand(
        "standings", "Pilots' totals per side flown, and each side's games won, lost and drawn");
    addFilter(standings, listing);
    addFormat(standings, listing);
    standings->add_option("--sort", sortColumn,
                          "Column to sort by: name, team, games, kills, deaths, "
                          "targetsDestroyed, targetPoints, score, won, lost, drawn, pointsFor, "
                          "pointsAgainst (numbers highest first)");
    standings->add_flag("--reverse", reverse, "Sort the other way round");

    CLI::App* games = app.add_subcommand("games", "The recorded games");
    addFilter(games, listing);
    addFormat(games, listing);

    std::string gameText;
    CLI::App* show = app.add_subcommand("show", "One recorded game in full");
    show->add_option("game", gameText, "The game's number or the start of its key")->required();
    addFormat(show, listing);

    CLI::App* remove = app.add_subcommand("remove", "Removes a recorded game");
    remove->add_option("game", gameText, "The game's number or the start of its key")->required();

    std::vector<std::string> reportFiles;
    CLI::App* import =
        app.add_subcommand("import", "Records every complete report of report files (vorskal.log)");
    import->add_option("reports", reportFiles, "Report files")->required()->type_name("FILE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kLeagueExitOk;
    } catch (const CLI::CallForVersion&) {
        out << "vorskal-league " << kVersion << "\n";
        return kLeagueExitOk;
    } catch (const CLI::ParseError& e) {
        err << "vorskal-league: " << e.what() << "\n" << app.help();
        return kLeagueExitUsage;
    }

    const Format format = kFormats.at(listing.format);
    try {
        if (*standings) {
            LeagueFile file(path, LeagueFile::Access::Read);
            league::Standings table = league::computeStandings(file, filterOf(listing));
            if (!sortColumn.empty()) {
                league::sortStandings(table, sortColumn, reverse);
            }
            league::writeStandings(out, table, format, league::describeFilter(filterOf(listing)));
        } else if (*games) {
            LeagueFile file(path, LeagueFile::Access::Read);
            league::writeGames(out, league::listGames(file, filterOf(listing)), format,
                               league::describeFilter(filterOf(listing)));
        } else if (*show) {
            LeagueFile file(path, LeagueFile::Access::Read);
            league::writeGame(out, league::loadGame(file, league::resolveGame(file, gameText)),
                              format);
        } else if (*remove) {
            LeagueFile file(path, LeagueFile::Access::Change);
            const std::int64_t id = league::resolveGame(file, gameText);
            league::removeGame(file, id);
            out << "Removed game " << id << " from " << path << "\n";
        } else if (*import) {
            for (const std::string& reportFile : reportFiles) {
                league::checkReportFile(reportFile);
            }
            LeagueFile file(path, LeagueFile::Access::Write);
            for (const std::string& reportFile : reportFiles) {
                const league::ImportSummary summary = league::importReportFile(file, reportFile);
                for (const std::string& skipped : summary.skipped) {
                    err << "vorskal-league: " << skipped << "\n";
                }
                out << reportFile << ": " << summary.reports << " reports: " << summary.recorded
                    << " recorded, " << summary.alreadyRecorded << " already recorded, "
                    << summary.skipped.size() << " skipped\n";
            }
        }
    } catch (const league::LeagueError& e) {
        err << "vorskal-league: " << e.what() << "\n";
        return kLeagueExitFailed;
    } catch (const std::invalid_argument& e) {
        err << "vorskal-league: " << e.what() << "\n";
        return kLeagueExitUsage;
    } catch (const std::bad_alloc&) {
        err << "vorskal-league: ran out of memory\n";
        return kLeagueExitFailed;
    } catch (const std::exception& e) {
        err << "vorskal-league: " << e.what() << "\n";
        return kLeagueExitFailed;
    }
    return kLeagueExitOk;
}

}  // namespace vorskal
