#include "app/league/league_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/league/post_game.h"
#include "base/log_text.h"
#include "base/version.h"
#include "league/import/league_merge.h"
#include "league/import/report_import.h"
#include "league/listings/listing.h"
#include "league/listings/queries.h"
#include "league/site/season_site.h"
#include "league/store/game_store.h"
#include "league/store/league_file.h"
#include "league/store/season_days.h"
#include "league/store/settings.h"

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
    std::optional<std::string> season;
    bool allSeasons = false;
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
    CLI::Option* season = command->add_option(
        "--season", listing.season, "Only the games of this season (default: the current season)");
    command->add_flag("--all-seasons", listing.allSeasons, "The games of every season")
        ->excludes(season);
}

// The listing's filter; the season, unless every season is asked for, is
// the one named or else the league's current one.
league::GameFilter filterOf(const Listing& listing, LeagueFile& file) {
    std::optional<std::string> season;
    if (!listing.allSeasons) {
        season = listing.season ? *listing.season : league::currentSeason(file.db());
    }
    return {listing.map, listing.from, listing.to, season};
}

std::string removedText(const league::GameSummary& game) {
    return "game " + std::to_string(game.id) + " (season " + logText(game.season) + ", " +
           (game.playedOn.empty() ? "day unknown" : "played " + game.playedOn) + ", map " +
           logText(game.map) + ", Allied " + std::to_string(game.alliedFinal) + ", Hun " +
           std::to_string(game.hunFinal) + ", " + std::to_string(game.pilots) + " pilots)";
}

}  // namespace

int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Keeps a league's season in one file: records of scored games, standings per pilot\n"
        "and per side, and the import of old report files (vorskal.log).",
        "vorskal-league"};
    // Options are spelt the same on every system: on Windows too, an
    // argument that starts with "/" is a path, not an option.
    app.allow_windows_style_options(false);
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

    CLI::App* remove =
        app.add_subcommand("remove", "Takes a game out of the league, keeping it to be restored");
    remove->add_option("game", gameText, "The game's number or the start of its key")->required();

    CLI::App* restore = app.add_subcommand("restore", "Puts a removed game back");
    restore->add_option("game", gameText, "The number that remove printed")->required();

    std::vector<std::string> reportFiles;
    std::string importSeason;
    CLI::App* import =
        app.add_subcommand("import",
                           "Records every complete report of report files (vorskal.log), and the "
                           "game of results files (vorskal-tally --json)");
    import->add_option("reports", reportFiles, "Report files or results JSON files")
        ->required()
        ->type_name("FILE");
    import->add_option("--season", importSeason,
                       "The season to record the games in (default: the current season)");

    std::string otherLeague;
    CLI::App* merge = app.add_subcommand(
        "merge", "Records every game of another league file (of another server) in this one");
    merge->add_option("other", otherLeague, "The other league file")
        ->required()
        ->type_name("OTHER.db");

    std::string siteDir;
    std::string siteSeason;
    CLI::App* site = app.add_subcommand(
        "site", "Writes a season's static site: standings, games, a page per game and per pilot");
    site->add_option("dir", siteDir, "The site's folder (replaced whole)")
        ->required()
        ->type_name("DIR");
    site->add_option("--season", siteSeason, "The season (default: the current season)");

    bool plainPost = false;
    double postTimeout = 10;
    int postTries = 3;
    CLI::App* post = app.add_subcommand(
        "post",
        "Sends a game's summary to the league's webhook (set webhook URL, or VORSKAL_WEBHOOK)");
    post->add_option("game", gameText, "The game's number or the start of its key")->required();
    post->add_flag("--plain", plainPost, "The plain JSON form, for a league's own site");
    post->add_option("--timeout", postTimeout, "Seconds each try may take (default: 10)")
        ->check(CLI::Range(0.1, 600.0));
    post->add_option("--tries", postTries, "Tries while the receiver fails (default: 3)")
        ->check(CLI::Range(1, 10));

    std::string settingName;
    std::string settingValue;
    CLI::App* set = app.add_subcommand(
        "set",
        "Sets a setting (season NAME; date-order mdy|dmy|ymd; webhook URL; site-address URL), "
        "or lists them");
    set->add_option("name", settingName, "season, date-order, webhook or site-address");
    set->add_option("value", settingValue, "The new value");

    CLI::App* check = app.add_subcommand(
        "check",
        "Lists games probably recorded twice, games whose day is unknown, and removed "
        "games");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion&) {
        out << "vorskal-league " << kVersion << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "vorskal-league: " << e.what() << "\n" << app.help();
        return kExitUsage;
    }

    const Format format = kFormats.at(listing.format);
    try {
        if (*standings) {
            LeagueFile file(path, LeagueFile::Access::Read);
            const league::GameFilter filter = filterOf(listing, file);
            league::Standings table = league::computeStandings(file, filter);
            if (!sortColumn.empty()) {
                league::sortStandings(table, sortColumn, reverse);
            }
            league::writeStandings(out, table, format, league::describeFilter(filter));
        } else if (*games) {
            LeagueFile file(path, LeagueFile::Access::Read);
            const league::GameFilter filter = filterOf(listing, file);
            league::writeGames(out, league::listGames(file, filter), format,
                               league::describeFilter(filter));
        } else if (*show) {
            LeagueFile file(path, LeagueFile::Access::Read);
            league::writeGame(out, league::loadGame(file, league::resolveGame(file, gameText)),
                              format);
        } else if (*remove) {
            LeagueFile file(path, LeagueFile::Access::Change);
            const std::int64_t id = league::resolveGame(file, gameText);
            const league::GameSummary game = league::loadGame(file, id).summary;
            league::removeGame(file, id);
            out << "Removed " << removedText(game) << " from " << logText(path)
                << "; vorskal-league " << logText(path) << " restore " << id << " puts it back\n";
        } else if (*restore) {
            LeagueFile file(path, LeagueFile::Access::Change);
            const std::int64_t id = league::resolveGame(file, gameText, league::Kept::Removed);
            league::restoreGame(file, id);
            out << "Restored " << removedText(league::loadGame(file, id).summary) << " in "
                << logText(path) << "\n";
        } else if (*set) {
            if (settingName.empty()) {
                LeagueFile file(path, LeagueFile::Access::Read);
                const std::string season = league::currentSeason(file.db());
                const league::SeasonDays days = league::seasonDateOrder(file.db(), season);
                out << "season " << logText(season) << "\ndate-order " << dateOrderName(days.order)
                    << (days.inferred ? " (not set: inferred from the season's games)" : "")
                    << "\n";
                // The webhook's address may hold a token: never shown.
                out << "webhook "
                    << (league::settingValue(file.db(), league::kWebhookSetting)
                            ? "(set, not shown)"
                            : "(not set)")
                    << "\nsite-address "
                    << league::settingValue(file.db(), league::kSiteAddressSetting)
                           .value_or("(not set)")
                    << "\n";
            } else {
                if (settingValue.empty()) {
                    throw std::invalid_argument("set " + settingName + " needs a value");
                }
                LeagueFile file(path, LeagueFile::Access::Write);
                league::Transaction transaction(file.db());
                league::changeSetting(file.db(), settingName, settingValue);
                league::refreshAllDays(file.db());
                transaction.commit();
                if (settingName == league::kWebhookSetting) {
                    out << "Set webhook in " << logText(path) << " (its address is not shown)\n";
                } else {
                    out << "Set " << logText(settingName) << " to " << logText(settingValue)
                        << " in " << logText(path) << "\n";
                }
            }
        } else if (*check) {
            LeagueFile file(path, LeagueFile::Access::Read);
            const league::Findings findings = league::checkGames(file);
            league::writeFindings(out, findings, logText(path));
            if (!findings.twins.empty() || !findings.unknownDays.empty()) {
                return kExitFindings;
            }
        } else if (*site) {
            LeagueFile file(path, LeagueFile::Access::Read);
            const league::SiteSummary summary = league::writeSeasonSite(file, siteDir, siteSeason);
            out << "Wrote the site of season " << summary.season << " (" << summary.games
                << " games, " << summary.pilots << " pilots) to " << siteDir << "\n";
        } else if (*post) {
            LeagueFile file(path, LeagueFile::Access::Read);
            const std::int64_t id = league::resolveGame(file, gameText);
            const PostOutcome sent =
                postGame(file, id, plainPost, {postTries, static_cast<long>(postTimeout * 1000)});
            if (!sent.sent) {
                throw league::LeagueError(notPostedText(id, sent));
            }
            out << "Posted game " << id << " to the webhook\n";
        } else if (*merge) {
            LeagueFile other(otherLeague, LeagueFile::Access::Read);  // checked before any write
            LeagueFile file(path, LeagueFile::Access::Write);
            const league::MergeSummary summary = league::mergeLeague(file, other);
            for (const std::string& note : summary.notes) {
                err << "vorskal-league: warning: " << note << "\n";
            }
            out << otherLeague << ": " << summary.games << " games: " << summary.recorded
                << " recorded, " << summary.alreadyRecorded << " already recorded\n";
        } else if (*import) {
            for (const std::string& reportFile : reportFiles) {
                league::checkReportFile(reportFile);
            }
            LeagueFile file(path, LeagueFile::Access::Write);
            for (const std::string& reportFile : reportFiles) {
                const league::ImportSummary summary =
                    league::importReportFile(file, reportFile, importSeason);
                for (const std::string& skipped : summary.skipped) {
                    err << "vorskal-league: " << logText(skipped) << "\n";
                }
                for (const std::string& note : summary.notes) {
                    err << "vorskal-league: warning: " << logText(note) << "\n";
                }
                if (summary.resultsJson) {
                    out << logText(reportFile) << ": results of one game: "
                        << (summary.recorded == 1          ? "recorded as game "
                            : summary.alreadyRecorded == 1 ? "already recorded as game "
                                                           : "skipped")
                        << (summary.games.empty() ? "" : std::to_string(summary.games.front()))
                        << "\n";
                    continue;
                }
                out << logText(reportFile) << ": " << summary.reports
                    << " reports: " << summary.recorded << " recorded, " << summary.alreadyRecorded
                    << " already recorded, " << summary.skipped.size() << " skipped\n";
            }
        }
    } catch (const league::LeagueError& e) {
        err << "vorskal-league: " << logText(e.what()) << "\n";
        return kExitFailed;
    } catch (const std::invalid_argument& e) {
        err << "vorskal-league: " << logText(e.what()) << "\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        err << "vorskal-league: ran out of memory\n";
        return kExitFailed;
    } catch (const std::exception& e) {
        err << "vorskal-league: " << logText(e.what()) << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace vorskal
