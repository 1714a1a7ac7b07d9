#include "league/store/game_numbers.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "base/counted.h"

namespace vorskal::league {
namespace {

using results::Side;

constexpr std::int64_t kLeast = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();

// The first fault of one number, or "".
std::string fault(const std::string& owner, const char* field, std::int64_t value, bool count) {
    if (value < kLeast || value > kMost) {
        return owner + ": " + field + " " + std::to_string(value) +
               " lies beyond the 32-bit range the tally counts in";
    }
    if (count && value < 0) {
        return owner + ": " + field + " " + std::to_string(value) + " is negative";
    }
    return "";
}

struct Field {
    const char* name;
    const char* plural;
    std::int64_t results::PilotRow::*pilot;
    std::int64_t results::TeamTotals::*totals;
    bool count;
};

const Field kFields[] = {
    {"kills", "kills", &results::PilotRow::kills, &results::TeamTotals::kills, true},
    {"deaths", "deaths", &results::PilotRow::deaths, &results::TeamTotals::deaths, true},
    {"targets destroyed", "targets destroyed", &results::PilotRow::targetsDestroyed,
     &results::TeamTotals::targetsDestroyed, true},
    {"target points", "target points", &results::PilotRow::targetPoints,
     &results::TeamTotals::targetPoints, false},
    {"score", "scores", &results::PilotRow::score, &results::TeamTotals::score, false},
};

// Whether a row's score is its kills and deaths at the game's points, plus
// its target points, as the tally computes every score. Every number lies
// within 32 bits here: a sum that leaves 64 is no score.
std::string scoreFault(const results::PilotRow& row, const results::Settings& points) {
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t made = 0;
    const bool overflow = __builtin_mul_overflow(row.kills, points.killPoints, &kills) ||
                          __builtin_mul_overflow(row.deaths, points.deathPoints, &deaths) ||
                          __builtin_add_overflow(kills, deaths, &made) ||
                          __builtin_add_overflow(made, row.targetPoints, &made);
    if (!overflow && made == row.score) {
        return "";
    }
    return "pilot \"" + row.name + "\": score " + std::to_string(row.score) + " is not " +
           counted(row.kills, "kill") + " at " + std::to_string(points.killPoints) + ", " +
           counted(row.deaths, "death") + " at " + std::to_string(points.deathPoints) + " and " +
           counted(row.targetPoints, "target point");
}

}  // namespace

std::string numbersFault(const results::GameResults& game) {
    for (const auto& [name, value] : {std::pair{"points per kill", game.settings.killPoints},
                                      std::pair{"points per death", game.settings.deathPoints}}) {
        if (std::string found = fault("the settings", name, value, false); !found.empty()) {
            return found;
        }
    }
    for (const results::PilotRow& row : game.pilots) {
        for (const Field& field : kFields) {
            if (std::string found =
                    fault("pilot \"" + row.name + "\"", field.name, row.*field.pilot, field.count);
                !found.empty()) {
                return found;
            }
        }
        if (std::string found = scoreFault(row, game.settings); !found.empty()) {
            return found;
        }
    }
    for (const auto& [side, totals] :
         {std::pair{Side::Allied, &game.allied}, std::pair{Side::Hun, &game.hun}}) {
        const std::string sideName(results::sideName(side));
        for (const Field& field : kFields) {
            const std::int64_t total = (*totals).*field.totals;
            if (std::string found =
                    fault("the " + sideName + " totals", field.name, total, field.count);
                !found.empty()) {
                return found;
            }
            // Every row lies within 32 bits: the sum cannot leave 64.
            std::int64_t sum = 0;
            for (const results::PilotRow& row : game.pilots) {
                sum += row.team == side ? row.*field.pilot : 0;
            }
            if (sum != total) {
                return "the " + sideName + " pilots' " + field.plural + " add up to " +
                       std::to_string(sum) + ", but the " + sideName + " totals say " +
                       std::to_string(total);
            }
        }
        // The over-max penalty and the final total are the tally's 64-bit
        // numbers: odd time fields can make a penalty negative or huge.
        std::int64_t final = 0;
        if (__builtin_sub_overflow(totals->score, totals->overMaxPenalty, &final) ||
            totals->final != final) {
            return "the " + sideName + " final total " + std::to_string(totals->final) +
                   " is not its score " + std::to_string(totals->score) + " less its penalty " +
                   std::to_string(totals->overMaxPenalty);
        }
    }
    return "";
}

}  // namespace vorskal::league
