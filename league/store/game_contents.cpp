#include "league/store/game_contents.h"

#include <vector>

#include "base/log_text.h"

namespace vorskal::league {

namespace {

constexpr std::size_t kShown = 3;

struct Differences {
    std::string stored;  // "game N"
    std::vector<std::string> found;

    void compare(const std::string& what, std::int64_t there, std::int64_t here) {
        if (there != here) {
            add(what, std::to_string(there), std::to_string(here));
        }
    }
    void compare(const std::string& what, const std::string& there, const std::string& here) {
        if (there != here) {
            add(what, "\"" + there + "\"", "\"" + here + "\"");
        }
    }
    void add(const std::string& what, const std::string& there, const std::string& here) {
        found.push_back(what + " " + there + " in " + stored + ", " + here + " in this one");
    }
    std::string text() const {
        std::string out;
        for (std::size_t i = 0; i < found.size() && i < kShown; ++i) {
            out += (i == 0 ? "" : "; ") + found[i];
        }
        if (found.size() > kShown) {
            out += "; and " + std::to_string(found.size() - kShown) + " more";
        }
        return out;
    }
};

}  // namespace

std::string contentsDifference(Connection& db, std::int64_t id, const results::GameResults& game) {
    Differences d{"game " + std::to_string(id), {}};
    // The points per kill and death are not compared: a report that does not
    // show them leaves them to be worked out from the rows, whose scores are.
    Statement map = db.prepare("SELECT map FROM games WHERE id = ?");
    map.bind(1, id);
    if (map.step()) {
        d.compare("the map", map.text(0), logText(game.settings.map));
    }
    Statement rows = db.prepare(
        "SELECT name, team, kills, deaths, targets_destroyed, target_points, score FROM pilots "
        "WHERE game_id = ? ORDER BY position");
    rows.bind(1, id);
    std::size_t n = 0;
    for (; rows.step(); ++n) {
        if (n >= game.pilots.size()) {
            d.add("pilot \"" + rows.text(0) + "\"", "listed", "not listed");
            continue;
        }
        const results::PilotRow& row = game.pilots[n];
        const std::string who = "pilot \"" + rows.text(0) + "\"";
        // Texts are stored as every output shows them (game_store.cpp).
        d.compare("row " + std::to_string(n + 1) + "'s pilot", rows.text(0), logText(row.name));
        d.compare(who + "'s side", rows.text(1), std::string(results::sideName(row.team)));
        const std::int64_t here[] = {row.kills, row.deaths, row.targetsDestroyed, row.targetPoints,
                                     row.score};
        const char* const names[] = {"kills", "deaths", "targets destroyed", "target points",
                                     "score"};
        for (int i = 0; i < 5; ++i) {
            d.compare(who + ": " + names[i], rows.integer(i + 2), here[i]);
        }
    }
    for (; n < game.pilots.size(); ++n) {
        d.add("pilot \"" + logText(game.pilots[n].name) + "\"", "not listed", "listed");
    }
    Statement totals = db.prepare(
        "SELECT team, kills, deaths, targets_destroyed, target_points, score, over_max_penalty, "
        "final FROM team_totals WHERE game_id = ?");
    totals.bind(1, id);
    while (totals.step()) {
        const std::string side = totals.text(0);
        const results::TeamTotals& t = side == "Allied" ? game.allied : game.hun;
        const std::int64_t here[] = {t.kills,        t.deaths, t.targetsDestroyed,
                                     t.targetPoints, t.score,  t.overMaxPenalty,
                                     t.final};
        const char* const names[] = {"kills",         "deaths", "targets destroyed",
                                     "target points", "score",  "over-max penalty",
                                     "final total"};
        for (int i = 0; i < 7; ++i) {
            d.compare("the " + side + " " + names[i], totals.integer(i + 1), here[i]);
        }
    }
    return d.text();
}

}  // namespace vorskal::league
