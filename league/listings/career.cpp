#include "league/listings/career.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace vorskal::league {

namespace {

// The most often named pilot; ties: the first by name (the map's order).
std::optional<PilotCount> most(const std::map<std::string, std::int64_t>& counts) {
    std::optional<PilotCount> best;
    for (const auto& [name, count] : counts) {
        if (!best || count > best->count) {
            best = PilotCount{name, count};
        }
    }
    return best;
}

// Edits (insertions, deletions, replacements) from `a` to `b`, letter case
// aside.
std::size_t distance(const std::string& a, const std::string& b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Up to three of the file's pilots' names closest to `name`, closest first.
std::string closestNames(Connection& db, const std::string& name) {
    std::vector<std::pair<std::size_t, std::string>> names;
    Statement all = db.prepare("SELECT DISTINCT name FROM pilots ORDER BY name");
    while (all.step()) {
        names.emplace_back(distance(name, all.text(0)), all.text(0));
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < 3; ++i) {
        text += (text.empty() ? "\"" : ", \"") + names[i].second + "\"";
    }
    return text;
}

std::vector<Career> careersOf(LeagueFile& file, const GameFilter& filter,
                              const std::optional<std::string>& only) {
    CareerTally tally(only);
    for (const GameSummary& game : listGames(file, filter)) {
        tally.add(game, loadGame(file, game.id, GameParts::Kills).results);
    }
    return tally.careers();
}

}  // namespace

std::string careerKillsPerDeath(const Career& career) {
    const std::int64_t by = career.deaths > 0 ? career.deaths : 1;
    const std::int64_t hundredths = (career.kills * 200 + by) / (2 * by);  // rounded half up
    const std::int64_t cents = hundredths % 100;
    return std::to_string(hundredths / 100) + "." + (cents < 10 ? "0" : "") + std::to_string(cents);
}

CareerTally::Counts& CareerTally::of(const std::string& name) {
    Counts& counts = counts_[name];
    counts.career.name = name;
    return counts;
}

void CareerTally::add(const GameSummary& summary, const results::GameResults& game) {
    std::set<std::string> played;
    for (const results::PilotRow& row : game.pilots) {
        if (counted(row.name) && played.insert(row.name).second) {
            Career& career = of(row.name).career;
            ++career.games;
            career.gamesWithoutKills += game.killsListed ? 0 : 1;
        }
    }
    for (const results::ArenaEvent& event : game.arena) {
        if (event.entry && played.count(event.pilot) != 0) {
            ++of(event.pilot).career.sorties;
        }
    }
    if (!game.killsListed) {
        return;
    }
    std::map<std::string, std::int64_t> run;
    std::map<std::string, std::int64_t> killsHere;
    for (const results::KillRow& kill : game.kills) {
        if (kill.takenBackBy) {
            continue;  // counts nowhere
        }
        if (counted(kill.victim)) {
            Counts& victim = of(kill.victim);
            ++victim.career.deaths;
            ++victim.flown[kill.victimAircraft].deaths;
            if (kill.killer && !kill.selfKill) {
                ++victim.killers[*kill.killer];
            }
            run[kill.victim] = 0;
        }
        if (!kill.killer || kill.selfKill || !counted(*kill.killer)) {
            continue;
        }
        Counts& killer = of(*kill.killer);
        ++killer.career.kills;
        ++killer.flown[kill.killerAircraft].kills;
        ++killer.victims[kill.victimAircraft];
        ++killer.shotDown[kill.victim];
        ++killsHere[*kill.killer];
        const std::int64_t now = ++run[*kill.killer];
        if (now > killer.career.longestRun) {
            killer.career.longestRun = now;
            killer.career.longestRunGame = summary.id;
        }
    }
    for (const auto& [name, kills] : killsHere) {
        Career& career = of(name).career;
        if (!career.bestGame || kills > career.bestGame->kills) {
            career.bestGame = CareerGame{summary.id, summary.playedOn, summary.map, kills};
        }
    }
}

std::vector<Career> CareerTally::careers() const {
    std::vector<Career> careers;
    for (const auto& [name, counts] : counts_) {
        Career career = counts.career;
        for (const auto& [aircraft, count] : counts.flown) {
            career.flown.push_back({aircraft, count.kills, count.deaths});
        }
        std::stable_sort(career.flown.begin(), career.flown.end(),
                         [](const AircraftCount& a, const AircraftCount& b) {
                             return a.kills != b.kills ? a.kills > b.kills : a.deaths > b.deaths;
                         });
        for (const auto& [aircraft, kills] : counts.victims) {
            career.victims.push_back({aircraft, kills, 0});
        }
        std::stable_sort(
            career.victims.begin(), career.victims.end(),
            [](const AircraftCount& a, const AircraftCount& b) { return a.kills > b.kills; });
        career.shotDownMostBy = most(counts.killers);
        career.shotDownMost = most(counts.shotDown);
        careers.push_back(std::move(career));
    }
    return careers;
}

Career pilotCareer(LeagueFile& file, const GameFilter& filter, const std::string& name) {
    try {
        Statement known = file.db().prepare("SELECT 1 FROM pilots WHERE name = ? LIMIT 1");
        known.bind(1, name);
        if (!known.step()) {
            const std::string closest = closestNames(file.db(), name);
            throw std::invalid_argument(file.path() + ": no pilot \"" + name + "\" in any game" +
                                        (closest.empty()
                                             ? std::string(" (no game is recorded)")
                                             : " (the closest names: " + closest + ")"));
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    std::vector<Career> careers = careersOf(file, filter, name);
    if (careers.empty()) {
        Career none;
        none.name = name;
        return none;  // no game in the filter's games
    }
    return careers.front();
}

std::vector<Career> allCareers(LeagueFile& file, const GameFilter& filter) {
    return careersOf(file, filter, std::nullopt);
}

}  // namespace vorskal::league
