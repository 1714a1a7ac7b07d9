#pragma once
// A season's static site (`vorskal-league LEAGUE.db site DIR`), drawn from
// what the league file stored (no log is needed): an index with the
// standings, the list of games and a search over both (site_search.h), a
// page per game (the game's page of html/game_page.h, with a link back), a
// page per pilot with his charts (html/season_charts.h), the standings and
// the games as JSON and CSV downloads; every page in the one page frame of
// html/ (page_assets.h). Links are relative only, so
// the site works from a folder, a web space or a USB stick; nothing is
// fetched. The site is replaced in one step, a rebuild writing only the
// files that change (site_folder.h). Layout:
// docs/site.md (site format 2).
#include <string>

#include "league/store/league_file.h"

namespace vorskal::league {

inline constexpr int kSiteFormat = 2;

struct SiteSummary {
    std::string season;
    int games = 0;
    int pilots = 0;
};

// `season` empty: the league's current season; a season the file does not
// know is refused (std::invalid_argument). A site in `dir` is not replaced
// by one without a game (a new season, a mistyped name) unless
// `allowEmpty`: LeagueError then, and the site stays. Files in `dir` that no
// build wrote are refused, or kept with `keepOthers` (site_folder.h).
// Throws LeagueError.
SiteSummary writeSeasonSite(LeagueFile& file, const std::string& dir, const std::string& season,
                            bool allowEmpty = false, bool keepOthers = false);

// The pilot's page's file name in "pilots/": the first 16 hex digits of the
// SHA-256 of the name, so that any name makes a safe, stable file name.
std::string pilotPageName(const std::string& name);

}  // namespace vorskal::league
