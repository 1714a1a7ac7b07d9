#include "league/listings/ratings.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <utility>

#include "base/aircraft_class.h"
#include "base/counted.h"
#include "base/log_text.h"
#include "league/listings/text_table.h"
#include "results/json_text.h"

namespace vorskal::league {

namespace {

// A rated player: a pilot in one role.
using Player = std::pair<std::string, RatingRole>;

// A number as the outputs give it: `places` decimals.
double rounded(double value, int places) {
    const double scale = std::pow(10.0, places);
    return std::round(value * scale) / scale;
}

std::string whole(double value) {
    return std::to_string(static_cast<long long>(std::llround(value)));
}

struct Period {
    std::vector<RatedResult> results;
    std::vector<std::string> opponents;  // of each result
};

}  // namespace

std::string_view roleName(RatingRole role) {
    return role == RatingRole::TwoSeater ? "two-seater" : "fighter";
}

RatingRole roleOf(std::string_view aircraft) {
    return twoSeater(aircraft) ? RatingRole::TwoSeater : RatingRole::Fighter;
}

std::vector<PilotRating> rateGames(const std::vector<RatedGame>& games) {
    std::map<Player, PilotRating> players;
    const Rating initial;
    for (const RatedGame& game : games) {
        // Every result against the ratings from before the game.
        std::map<Player, Period> periods;
        for (const RatedKill& kill : game.kills) {
            const Player killer{kill.killer, roleOf(kill.killerAircraft)};
            const Player victim{kill.victim, roleOf(kill.victimAircraft)};
            for (const Player& p : {killer, victim}) {
                players.try_emplace(p, PilotRating{p.first, p.second, initial, 0, {}});
            }
            Period& won = periods[killer];
            won.results.push_back({players.at(victim).rating, 1});
            won.opponents.push_back(victim.first);
            Period& lost = periods[victim];
            lost.results.push_back({players.at(killer).rating, 0});
            lost.opponents.push_back(killer.first);
        }
        for (auto& [player, rated] : players) {
            const auto period = periods.find(player);
            if (period == periods.end()) {
                rated.rating = updateRating(rated.rating, {}).after;
                rated.rating.rd = std::min(rated.rating.rd, initial.rd);
                continue;
            }
            const RatingUpdate update = updateRating(rated.rating, period->second.results);
            std::map<std::string, double> byOpponent;
            for (std::size_t i = 0; i < update.moved.size(); ++i) {
                byOpponent[period->second.opponents[i]] += update.moved[i];
            }
            RatingMove move{game.id, rated.rating, update.after, {}};
            for (const auto& [name, points] : byOpponent) {
                move.opponents.push_back({name, points});
            }
            std::stable_sort(move.opponents.begin(), move.opponents.end(),
                             [](const auto& a, const auto& b) {
                                 return std::fabs(a.points) > std::fabs(b.points);
                             });
            if (move.opponents.size() > kMovingOpponents) {
                move.opponents.resize(kMovingOpponents);
            }
            rated.rating = update.after;
            ++rated.games;
            rated.moves.push_back(std::move(move));
        }
    }
    std::vector<PilotRating> all;
    for (auto& [player, rated] : players) {
        all.push_back(std::move(rated));
    }
    std::stable_sort(all.begin(), all.end(), [](const PilotRating& a, const PilotRating& b) {
        return a.rating.rating > b.rating.rating;
    });
    return all;
}

std::vector<PilotRating> ratingsOf(const std::vector<PilotRating>& all, RatingRole role) {
    std::vector<PilotRating> some;
    std::copy_if(all.begin(), all.end(), std::back_inserter(some),
                 [role](const PilotRating& p) { return p.role == role; });
    return some;
}

std::vector<RatedGame> ratedGames(LeagueFile& file, const GameFilter& filter) {
    std::vector<RatedGame> games;
    const std::vector<GameSummary> listed = listGames(file, filter);
    try {
        Statement kept = file.db().prepare("SELECT kills_listed FROM games WHERE id = ?");
        Statement kills = file.db().prepare(
            "SELECT killer, killer_aircraft, victim, victim_aircraft FROM kills WHERE game_id = ? "
            "AND killer IS NOT NULL AND killer != victim AND self_kill = 0 AND taken_back_by IS "
            "NULL ORDER BY position");
        for (const GameSummary& game : listed) {
            kept.bind(1, game.id);
            const bool listedKills = kept.step() && kept.integer(0) != 0;
            kept.reset();
            if (!listedKills) {
                continue;
            }
            RatedGame rated{game.id, {}};
            kills.bind(1, game.id);
            while (kills.step()) {
                rated.kills.push_back({kills.text(0), kills.text(1), kills.text(2), kills.text(3)});
            }
            kills.reset();
            games.push_back(std::move(rated));
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return games;
}

void writeRatings(std::ostream& out, const std::vector<PilotRating>& ratings, RatingRole role,
                  Format format, const std::string& filterText) {
    const std::string what = "Ratings, " + std::string(roleName(role));
    switch (format) {
        case Format::Text: {
            out << logText(filterText.empty() ? what : what + " (" + filterText + ")") << ": "
                << counted(static_cast<std::int64_t>(ratings.size()), "pilot") << "\n";
            if (ratings.empty()) {
                return;
            }
            TextTable table{{"Rank", "Pilot", "Rating", "+/- 2 RD", "Games"},
                            {true, false, true, true, true},
                            {}};
            for (std::size_t i = 0; i < ratings.size(); ++i) {
                const PilotRating& p = ratings[i];
                table.rows.push_back({std::to_string(i + 1), p.name, whole(p.rating.rating),
                                      whole(2 * p.rating.rd), std::to_string(p.games)});
            }
            out << "\n";
            table.writeText(out);
            return;
        }
        case Format::Json: {
            using results::Json;
            Json json = {{"formatVersion", kListingFormatVersion},
                         {"role", std::string(roleName(role))},
                         {"pilots", Json::array()}};
            for (const PilotRating& p : ratings) {
                Json moves = Json::array();
                for (const RatingMove& m : p.moves) {
                    Json opponents = Json::array();
                    for (const RatingMove::Opponent& o : m.opponents) {
                        opponents.push_back({{"name", results::textJson(o.name)},
                                             {"points", rounded(o.points, 2)}});
                    }
                    moves.push_back({{"game", m.game},
                                     {"before", rounded(m.before.rating, 2)},
                                     {"after", rounded(m.after.rating, 2)},
                                     {"opponents", std::move(opponents)}});
                }
                json["pilots"].push_back({{"name", results::textJson(p.name)},
                                          {"rating", rounded(p.rating.rating, 2)},
                                          {"rd", rounded(p.rating.rd, 2)},
                                          {"volatility", rounded(p.rating.volatility, 6)},
                                          {"games", p.games},
                                          {"moves", std::move(moves)}});
            }
            out << json.dump(2) << "\n";
            return;
        }
        default:
            throw std::invalid_argument("ratings are written as text or JSON");
    }
}

}  // namespace vorskal::league
