#include "league/listings/standings.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <stdexcept>
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

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

template <typename Row>
using Column = std::function<bool(const Row&, const Row&)>;

template <typename Row, typename Field>
Column<Row> byNumber(Field Row::*field) {
    return [field](const Row& a, const Row& b) { return a.*field > b.*field; };
}

template <typename Row>
Column<Row> byText(std::string Row::*field) {
    return [field](const Row& a, const Row& b) { return a.*field < b.*field; };
}

// The order of the column whose key is `name` (in lower case); none when
// the list has no such column.
template <typename Row>
Column<Row> columnNamed(std::span<const StandingsColumn<Row>> columns, const std::string& name) {
    for (const StandingsColumn<Row>& column : columns) {
        if (lower(std::string(column.key)) == name) {
            return column.number != nullptr ? byNumber(column.number) : byText(column.text);
        }
    }
    return {};
}

// The keys of both lists, each once: "name, team, games, ...".
std::string columnKeys() {
    std::vector<std::string_view> keys;
    for (const StandingsColumn<PilotStanding>& column : pilotColumns()) {
        keys.push_back(column.key);
    }
    for (const StandingsColumn<SideStanding>& column : sideColumns()) {
        if (std::find(keys.begin(), keys.end(), column.key) == keys.end()) {
            keys.push_back(column.key);
        }
    }
    std::string text;
    for (const std::string_view key : keys) {
        text += (text.empty() ? "" : ", ") + std::string(key);
    }
    return text;
}

template <typename Row>
void sortBy(std::vector<Row>& rows, const Column<Row>& column, bool reverse) {
    if (!column) {
        return;
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        return reverse ? column(b, a) : column(a, b);
    });
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

void sortStandings(Standings& standings, const std::string& column, bool reverse) {
    const std::string name = lower(column);
    const Column<PilotStanding> pilot = columnNamed(pilotColumns(), name);
    const Column<SideStanding> side = columnNamed(sideColumns(), name);
    if (!pilot && !side) {
        throw std::invalid_argument("no column \"" + column + "\" to sort by (" + columnKeys() +
                                    ")");
    }
    sortBy(standings.pilots, pilot, reverse);
    sortBy(standings.sides, side, reverse);
}

}  // namespace vorskal::league
