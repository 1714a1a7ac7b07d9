#pragma once
// The standings (computeStandings, queries.h, reads them from the league
// file): their rows, their columns and their tables, written once for every
// place that shows them: the listing in text, CSV, JSON and HTML (listing.h),
// `--sort` and the season site's index and downloads
// (league/site/season_site.h). A column's heading names it in a table, its
// key in the JSON and in `--sort`; the columns stand in the order every
// format shows them.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "league/listings/text_table.h"

namespace vorskal::league {

// One pilot on one side: the sums of his rows in the games' score tables.
struct PilotStanding {
    std::string name;
    std::string team;  // "Allied", "Hun" or "unknown"
    std::int64_t games = 0;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t targetsDestroyed = 0;
    std::int64_t targetPoints = 0;
    std::int64_t score = 0;
};

// One side, by the ZORL totals of its games: a game is won when the side's
// final total is the higher one, drawn when both are equal.
struct SideStanding {
    std::string team;  // "Allied" or "Hun"
    std::int64_t games = 0;
    std::int64_t won = 0;
    std::int64_t lost = 0;
    std::int64_t drawn = 0;
    std::int64_t pointsFor = 0;
    std::int64_t pointsAgainst = 0;
};

struct Standings {
    std::vector<PilotStanding> pilots;  // by score, highest first, then by name and side
    std::vector<SideStanding> sides;    // Allied, then Hun
};

// One column of a standings list: a text or a number of `Row`.
template <typename Row>
struct StandingsColumn {
    std::string_view heading;
    std::string_view key;
    std::string Row::*text = nullptr;  // a text column, or
    std::int64_t Row::*number = nullptr;
};

std::span<const StandingsColumn<PilotStanding>> pilotColumns();
std::span<const StandingsColumn<SideStanding>> sideColumns();

// Every pilot, his side in the second column.
TextTable pilotStandingsTable(const std::vector<PilotStanding>& pilots);
// The pilots of one side ("Allied", "Hun", "unknown"), without the side.
TextTable sidePilotsTable(const std::vector<PilotStanding>& pilots, std::string_view team);
TextTable sideStandingsTable(const std::vector<SideStanding>& sides);

// Sorts both lists by `column` (a name of the standings' JSON, any letter
// case; a list without that column keeps its order): numbers highest first,
// names in ascending order; `reverse` turns it round. Ties keep the order.
// Throws std::invalid_argument for a column neither list has.
void sortStandings(Standings& standings, const std::string& column, bool reverse);

}  // namespace vorskal::league
