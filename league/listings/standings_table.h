#pragma once
// The standings as tables, built once for every place that shows them: the
// listing in text, CSV, JSON and HTML (listing.h), `--sort` (queries.h) and
// the season site's index and downloads (league/site/season_site.h). A
// column's heading names it in a table, its key in the JSON and in `--sort`;
// the columns stand in the order every format shows them.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "league/listings/queries.h"
#include "league/listings/text_table.h"

namespace vorskal::league {

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

}  // namespace vorskal::league
