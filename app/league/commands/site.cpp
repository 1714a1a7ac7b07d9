// vorskal-league LEAGUE.db site DIR: writes a season's static site.
#include <memory>

#include "app/league/commands/commands.h"
#include "base/counted.h"
#include "base/log_text.h"
#include "league/site/season_site.h"

namespace vorskal {
namespace {

struct SiteAsked {
    std::string dir;
    std::string season;
    bool allowEmpty = false;
    bool keepOthers = false;
};

void runSite(LeagueContext& run, const SiteAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::SiteSummary summary =
        league::writeSeasonSite(file, asked.dir, asked.season, asked.allowEmpty, asked.keepOthers);
    run.out << "Wrote the site of season " << logText(summary.season) << " ("
            << counted(summary.games, "game") << ", " << counted(summary.pilots, "pilot") << ") to "
            << logText(asked.dir) << "\n";
}

}  // namespace

void addSite(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<SiteAsked>();
    CLI::App* command = app.add_subcommand(
        "site", "Writes a season's static site: standings, games, a page per game and per pilot");
    command->add_option("dir", asked->dir, "The site's folder (its files replaced by each build)")
        ->required()
        ->type_name("DIR");
    command->add_option("--season", asked->season, "The season (default: the current season)");
    command->add_flag("--allow-empty", asked->allowEmpty,
                      "Replace a site in DIR even by one without games (a season just begun)");
    command->add_flag("--keep-others", asked->keepOthers,
                      "Keep files in DIR that no build of the site wrote (else refused)");
    command->callback([&run, asked] { runSite(run, *asked); });
}

}  // namespace vorskal
