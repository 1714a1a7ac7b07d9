#include "league/listings/standings_table.h"

#include <type_traits>

namespace vorskal::league {

namespace {

using P = PilotStanding;
using S = SideStanding;

constexpr StandingsColumn<P> kPilotColumns[] = {
    {"Pilot", "name", &P::name},
    {"Side", "team", &P::team},
    {"Games", "games", nullptr, &P::games},
    {"Kills", "kills", nullptr, &P::kills},
    {"Deaths", "deaths", nullptr, &P::deaths},
    {"Targets", "targetsDestroyed", nullptr, &P::targetsDestroyed},
    {"Target points", "targetPoints", nullptr, &P::targetPoints},
    {"Score", "score", nullptr, &P::score},
};

constexpr StandingsColumn<S> kSideColumns[] = {
    {"Side", "team", &S::team},
    {"Games", "games", nullptr, &S::games},
    {"Won", "won", nullptr, &S::won},
    {"Lost", "lost", nullptr, &S::lost},
    {"Drawn", "drawn", nullptr, &S::drawn},
    {"Points for", "pointsFor", nullptr, &S::pointsFor},
    {"Points against", "pointsAgainst", nullptr, &S::pointsAgainst},
};

// The table of the `rows` that `keep`, in `columns` but for the text
// column `left` (nullptr: none left out).
template <typename Row, typename Keep>
TextTable tableOf(const std::vector<Row>& rows, std::span<const StandingsColumn<Row>> columns,
                  std::type_identity_t<std::string Row::*> left, Keep keep) {
    TextTable table;
    for (const StandingsColumn<Row>& column : columns) {
        if (column.text == nullptr || column.text != left) {
            table.header.emplace_back(column.heading);
            table.numeric.push_back(column.number != nullptr);
        }
    }
    for (const Row& row : rows) {
        if (!keep(row)) {
            continue;
        }
        std::vector<std::string> cells;
        for (const StandingsColumn<Row>& column : columns) {
            if (column.number != nullptr) {
                cells.push_back(std::to_string(row.*column.number));
            } else if (column.text != left) {
                cells.push_back(row.*column.text);
            }
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

}  // namespace

std::span<const StandingsColumn<PilotStanding>> pilotColumns() {
    return kPilotColumns;
}

std::span<const StandingsColumn<SideStanding>> sideColumns() {
    return kSideColumns;
}

TextTable pilotStandingsTable(const std::vector<PilotStanding>& pilots) {
    return tableOf(pilots, pilotColumns(), nullptr, [](const P&) { return true; });
}

TextTable sidePilotsTable(const std::vector<PilotStanding>& pilots, std::string_view team) {
    return tableOf(pilots, pilotColumns(), &P::team, [&](const P& p) { return p.team == team; });
}

TextTable sideStandingsTable(const std::vector<SideStanding>& sides) {
    return tableOf(sides, sideColumns(), nullptr, [](const S&) { return true; });
}

}  // namespace vorskal::league
