#include "league/listings/queries.h"

#include <algorithm>
#include <stdexcept>

#include "base/checked.h"
#include "league/store/game_day.h"
#include "league/store/game_store.h"
#include "league/store/season_days.h"
#include "league/store/settings.h"

namespace vorskal::league {

namespace {

// Every query that filters games binds the filter as ?1 to ?4.
constexpr const char* kGameFilter =
    "g.removed_at IS NULL AND (?1 IS NULL OR g.map = ?1 COLLATE NOCASE) AND (?2 IS NULL OR "
    "g.played_on >= ?2) "
    "AND (?3 IS NULL OR g.played_on <= ?3) AND (?4 IS NULL OR g.season = ?4)";

void bindFilter(Statement& statement, const GameFilter& filter) {
    statement.bind(1, filter.map).bind(2, filter.from).bind(3, filter.to).bind(4, filter.season);
}

// A name of the results model as the league file holds it; a name this
// program does not know makes the file unusable rather than misread.
template <typename Value>
Value named(const std::optional<Value>& value, const LeagueFile& file, const char* what) {
    if (!value) {
        throw LeagueError(file.path() + ": an unknown " + what + " in a recorded game");
    }
    return *value;
}

// Refuses the standings when a game taken in holds a number that no tally
// makes (a negative count, or one beyond the 32-bit range: a file written by
// another program, or by hand), naming the first such game: its sums would be
// wrong, or leave the 64-bit range.
void checkStoredNumbers(LeagueFile& file, const GameFilter& filter) {
    constexpr const char* kCount = "BETWEEN 0 AND 2147483647";
    constexpr const char* kValue = "BETWEEN -2147483648 AND 2147483647";
    const auto holds = [](const char* column, const char* range) {
        return std::string("(typeof(") + column + ") = 'integer' AND " + column + " " + range + ")";
    };
    Statement find = file.db().prepare(
        std::string("SELECT g.id FROM games g WHERE ") + kGameFilter +
        " AND (EXISTS (SELECT 1 FROM pilots p WHERE p.game_id = g.id AND NOT (" +
        holds("p.kills", kCount) + " AND " + holds("p.deaths", kCount) + " AND " +
        holds("p.targets_destroyed", kCount) + " AND " + holds("p.target_points", kValue) +
        " AND " + holds("p.score", kValue) +
        ")) OR EXISTS (SELECT 1 FROM team_totals t WHERE t.game_id = g.id AND NOT (" +
        "typeof(t.final) = 'integer' AND typeof(t.over_max_penalty) = 'integer'" +
        "))) ORDER BY g.id LIMIT 1");
    bindFilter(find, filter);
    if (find.step()) {
        const std::string game = std::to_string(find.integer(0));
        throw LeagueError(file.path() + ": game " + game +
                          " holds a number that no tally makes (a negative count, or one beyond "
                          "the 32-bit range): the standings would be wrong; remove it "
                          "(vorskal-league " +
                          file.path() + " remove " + game + ") and record it again");
    }
}

// Adds `value` of game `game` to `sum`, refusing a sum beyond 64 bits.
void addChecked(std::int64_t& sum, std::int64_t value, const LeagueFile& file, std::int64_t game) {
    try {
        sum = checkedAdd64(sum, value, [&] {
            return file.path() + ": the sum of the points up to game " + std::to_string(game);
        });
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    }
}

// The values of a query's one column, as a message lists them.
std::string namesOf(Statement&& names) {
    std::string list;
    while (names.step()) {
        list += (list.empty() ? "\"" : ", \"") + names.text(0) + "\"";
    }
    return list;
}

}  // namespace

void checkSeason(LeagueFile& file, const std::string& season) {
    try {
        Connection& db = file.db();
        const std::string current = currentSeason(db);
        Statement known = db.prepare("SELECT 1 FROM games WHERE season = ? LIMIT 1");
        known.bind(1, season);
        if (season != current && !known.step()) {
            Statement seasons = db.prepare("SELECT season FROM games UNION SELECT ? ORDER BY 1");
            seasons.bind(1, current);
            throw std::invalid_argument(file.path() + ": no season \"" + season +
                                        "\" (the seasons: " + namesOf(std::move(seasons)) + ")");
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

GameFilter checkedFilter(LeagueFile& file, GameFilter filter) {
    if (filter.from && filter.to && *filter.from > *filter.to) {
        throw std::invalid_argument("--from " + *filter.from + " is after --to " + *filter.to +
                                    ": no day is both");
    }
    if (filter.season) {
        checkSeason(file, *filter.season);
    }
    if (filter.map) {
        try {
            // The file's own spelling; the exact one first.
            Statement map = file.db().prepare(
                "SELECT map FROM games WHERE map = ?1 COLLATE NOCASE ORDER BY map != ?1, map "
                "LIMIT 1");
            map.bind(1, *filter.map);
            if (!map.step()) {
                const std::string maps =
                    namesOf(file.db().prepare("SELECT DISTINCT map FROM games ORDER BY map"));
                throw std::invalid_argument(
                    file.path() + ": no game on a map \"" + *filter.map + "\" (" +
                    (maps.empty() ? std::string("no game is recorded") : "the maps: " + maps) +
                    ")");
            }
            filter.map = map.text(0);
        } catch (const SqliteError& error) {
            file.fail(error);
        }
    }
    return filter;
}

Standings computeStandings(LeagueFile& file, const GameFilter& filter) {
    Standings standings;
    try {
        checkStoredNumbers(file, filter);
        Statement pilots = file.db().prepare(
            std::string("SELECT p.name, p.team, count(DISTINCT p.game_id), sum(p.kills), "
                        "sum(p.deaths), sum(p.targets_destroyed), sum(p.target_points), "
                        "sum(p.score) FROM pilots p JOIN games g ON g.id = p.game_id WHERE ") +
            kGameFilter + " GROUP BY p.name, p.team ORDER BY sum(p.score) DESC, p.name, p.team");
        bindFilter(pilots, filter);
        while (pilots.step()) {
            standings.pilots.push_back({pilots.text(0), pilots.text(1), pilots.integer(2),
                                        pilots.integer(3), pilots.integer(4), pilots.integer(5),
                                        pilots.integer(6), pilots.integer(7)});
        }

        SideStanding allied{"Allied"};
        SideStanding hun{"Hun"};
        Statement finals = file.db().prepare(
            std::string("SELECT a.final, h.final, g.id FROM games g "
                        "JOIN team_totals a ON a.game_id = g.id AND a.team = 'Allied' "
                        "JOIN team_totals h ON h.game_id = g.id AND h.team = 'Hun' WHERE ") +
            kGameFilter);
        bindFilter(finals, filter);
        while (finals.step()) {
            const std::int64_t a = finals.integer(0);
            const std::int64_t h = finals.integer(1);
            const std::int64_t game = finals.integer(2);
            ++allied.games;
            ++hun.games;
            addChecked(allied.pointsFor, a, file, game);
            addChecked(allied.pointsAgainst, h, file, game);
            addChecked(hun.pointsFor, h, file, game);
            addChecked(hun.pointsAgainst, a, file, game);
            if (a > h) {
                ++allied.won;
                ++hun.lost;
            } else if (h > a) {
                ++hun.won;
                ++allied.lost;
            } else {
                ++allied.drawn;
                ++hun.drawn;
            }
        }
        standings.sides = {allied, hun};
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return standings;
}

namespace {

constexpr const char* kSummaryColumns =
    "g.id, g.game_key, g.season, g.origin, coalesce(g.played_on, ''), g.game_date, g.map, "
    "(SELECT final FROM team_totals WHERE game_id = g.id AND team = 'Allied'), "
    "(SELECT final FROM team_totals WHERE game_id = g.id AND team = 'Hun'), "
    "(SELECT count(*) FROM pilots WHERE game_id = g.id), "
    "(SELECT count(*) FROM corrections WHERE game_id = g.id), "
    "(SELECT count(*) FROM warnings WHERE game_id = g.id AND accepted = 0), g.recorded_at";

constexpr int kSummaryCount = 13;

GameSummary summaryOf(const Statement& row) {
    return {row.integer(0),  row.text(1),     row.text(2),    row.text(3),    row.text(4),
            row.text(5),     row.text(6),     row.integer(7), row.integer(8), row.integer(9),
            row.integer(10), row.integer(11), row.text(12)};
}

results::TeamTotals totalsOf(Connection& db, std::int64_t id, const char* team) {
    Statement totals = db.prepare(
        "SELECT kills, deaths, targets_destroyed, target_points, score, over_max_penalty, final "
        "FROM team_totals WHERE game_id = ? AND team = ?");
    totals.bind(1, id).bind(2, std::string_view(team));
    results::TeamTotals t;
    if (totals.step()) {
        t = {totals.integer(0), totals.integer(1), totals.integer(2), totals.integer(3),
             totals.integer(4), totals.integer(5), totals.integer(6)};
    }
    return t;
}

// The location keys, one a line (game_store.cpp).
std::vector<std::string> splitLocations(const std::string& joined) {
    std::vector<std::string> keys;
    for (std::size_t at = 0; at < joined.size();) {
        const std::size_t end = std::min(joined.find('\n', at), joined.size());
        keys.push_back(joined.substr(at, end - at));
        at = end + 1;
    }
    return keys;
}

}  // namespace

std::vector<GameSummary> listGames(LeagueFile& file, const GameFilter& filter) {
    std::vector<GameSummary> games;
    try {
        Statement list =
            file.db().prepare(std::string("SELECT ") + kSummaryColumns + " FROM games g WHERE " +
                              kGameFilter + " ORDER BY g.played_on IS NULL, g.played_on, g.id");
        bindFilter(list, filter);
        while (list.step()) {
            games.push_back(summaryOf(list));
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return games;
}

namespace {

// The kill lines and arena events: what careers and matchups count
// (GameParts::Kills, and GameParts::All).
void loadKills(Connection& db, std::int64_t id, results::GameResults& game) {
    Statement kills = db.prepare(
        "SELECT line, time, victim, victim_aircraft, victim_side, killer, killer_aircraft, "
        "killer_side, self_kill, taken_back_by FROM kills WHERE game_id = ? ORDER BY position");
    kills.bind(1, id);
    while (kills.step()) {
        results::KillRow& row = game.kills.emplace_back();
        row.line = static_cast<std::uint64_t>(kills.integer(0));
        row.time = kills.text(1);
        row.victim = kills.text(2);
        row.victimAircraft = kills.text(3);
        row.victimSide = results::sideNamed(kills.text(4));
        if (!kills.isNull(5)) {
            row.killer = kills.text(5);
        }
        row.killerAircraft = kills.text(6);
        row.killerSide = results::sideNamed(kills.text(7));
        row.selfKill = kills.integer(8) != 0;
        if (!kills.isNull(9)) {
            row.takenBackBy = kills.integer(9);
        }
    }
    Statement events = db.prepare(
        "SELECT line, time, seconds, side, event, pilot, in_game_after FROM arena_events WHERE "
        "game_id = ? ORDER BY position");
    events.bind(1, id);
    while (events.step()) {
        game.arena.push_back({static_cast<std::uint64_t>(events.integer(0)), events.text(1),
                              static_cast<std::int32_t>(events.integer(2)),
                              results::sideNamed(events.text(3)), events.text(4) == "entry",
                              events.text(5), events.integer(6)});
    }
}

// The rest of the game's long lists (GameParts::All).
void loadLists(Connection& db, std::int64_t id, results::GameResults& game) {
    Statement targets = db.prepare(
        "SELECT line, text, location, target_type, team, team_code, points, red_boxed, pilot, "
        "reason FROM targets WHERE game_id = ? ORDER BY position");
    targets.bind(1, id);
    while (targets.step()) {
        game.targets.push_back(
            {static_cast<std::uint64_t>(targets.integer(0)), targets.text(1), targets.text(2),
             targets.text(3), results::sideNamed(targets.text(4)), targets.integer(5),
             targets.integer(6), targets.integer(7) != 0, targets.text(8), targets.text(9)});
    }
    Statement stretches = db.prepare(
        "SELECT side, pilot_number, start_time, end_time, minutes, points FROM "
        "over_max_stretches WHERE game_id = ? ORDER BY position");
    stretches.bind(1, id);
    while (stretches.step()) {
        game.overMax.push_back({results::sideNamed(stretches.text(0)),
                                static_cast<int>(stretches.integer(1)), stretches.text(2),
                                stretches.text(3), stretches.real(4), stretches.integer(5)});
    }
    Statement minutes = db.prepare(
        "SELECT minute, allied_kills, hun_kills, allied_deaths, hun_deaths, "
        "allied_kills_taken_back, hun_kills_taken_back, allied_deaths_taken_back, "
        "hun_deaths_taken_back FROM minute_counts WHERE game_id = ? ORDER BY minute");
    minutes.bind(1, id);
    while (minutes.step()) {
        game.timeline.push_back({static_cast<std::int32_t>(minutes.integer(0)), minutes.integer(1),
                                 minutes.integer(2), minutes.integer(3), minutes.integer(4),
                                 minutes.integer(5), minutes.integer(6), minutes.integer(7),
                                 minutes.integer(8)});
    }
}

}  // namespace

StoredGame loadGame(LeagueFile& file, std::int64_t id, GameParts parts) {
    StoredGame stored;
    results::GameResults& game = stored.results;
    try {
        Connection& db = file.db();
        Statement head =
            db.prepare(std::string("SELECT ") + kSummaryColumns +
                       ", coalesce(g.report_sha256, ''), g.first_time, g.last_time, g.started_at, "
                       "g.directory, g.kill_points, g.death_points, g.over_max_correction, "
                       "g.multi_death_correction, g.fighter_target_correction, g.red_boxed_only, "
                       "g.tool_name, g.tool_version, coalesce(g.start_sha256, ''), g.lists_kept, "
                       "g.kills_listed "
                       "FROM games g "
                       "WHERE g.id = ? AND g.removed_at IS NULL");
        head.bind(1, id);
        if (!head.step()) {
            throw LeagueError(file.path() + ": no game " + std::to_string(id));
        }
        stored.summary = summaryOf(head);
        const auto column = [](int n) { return kSummaryCount + n; };
        stored.reportSha256 = head.text(column(0));
        game.gameDate = stored.summary.gameDate;
        game.firstTime = head.text(column(1));
        game.lastTime = head.text(column(2));
        game.run.startedAt = head.text(column(3));
        game.run.directory = head.text(column(4));
        game.settings.map = stored.summary.map;
        game.settings.killPoints = head.integer(column(5));
        game.settings.deathPoints = head.integer(column(6));
        game.run.overMaxPilotCorrection = head.integer(column(7)) != 0;
        game.run.multiDeathCorrection = head.integer(column(8)) != 0;
        game.run.fighterTargetCorrection = head.integer(column(9)) != 0;
        game.run.redBoxedOnly = head.integer(column(10)) != 0;
        game.toolName = head.text(column(11));
        game.toolVersion = head.text(column(12));
        stored.startSha256 = head.text(column(13));
        stored.listsKept = head.integer(column(14)) != 0;
        game.killsListed = head.integer(column(15)) != 0;

        Statement types =
            db.prepare("SELECT type, points FROM type_values WHERE game_id = ? ORDER BY position");
        types.bind(1, id);
        while (types.step()) {
            game.settings.typeValues.push_back({types.text(0), types.integer(1)});
        }
        game.allied = totalsOf(db, id, "Allied");
        game.hun = totalsOf(db, id, "Hun");

        Statement pilots = db.prepare(
            "SELECT name, team, team_code, kills, deaths, targets_destroyed, target_points, "
            "locations, score FROM pilots WHERE game_id = ? ORDER BY position");
        pilots.bind(1, id);
        while (pilots.step()) {
            game.pilots.push_back({pilots.text(0), results::sideNamed(pilots.text(1)),
                                   pilots.integer(2), pilots.integer(3), pilots.integer(4),
                                   pilots.integer(5), pilots.integer(6),
                                   splitLocations(pilots.text(7)), pilots.integer(8)});
        }

        Statement corrections = db.prepare(
            "SELECT id, kind, applied, note FROM corrections WHERE game_id = ? ORDER BY position");
        Statement lines = db.prepare(
            "SELECT line, text FROM correction_lines WHERE correction_id = ? ORDER BY position");
        Statement moves = db.prepare(
            "SELECT pilot, team, field, by_amount, points FROM correction_moves "
            "WHERE correction_id = ? ORDER BY position");
        corrections.bind(1, id);
        while (corrections.step()) {
            results::Correction correction;
            correction.kind =
                named(results::kindNamed(corrections.text(1)), file, "correction kind");
            correction.applied = corrections.integer(2) != 0;
            correction.note = corrections.text(3);
            lines.bind(1, corrections.integer(0));
            while (lines.step()) {
                correction.evidence.push_back(
                    {static_cast<std::uint64_t>(lines.integer(0)), lines.text(1)});
            }
            lines.reset();
            moves.bind(1, corrections.integer(0));
            while (moves.step()) {
                correction.moves.push_back(
                    {moves.text(0), results::sideNamed(moves.text(1)),
                     named(results::fieldNamed(moves.text(2)), file, "correction field"),
                     moves.integer(3), moves.integer(4)});
            }
            moves.reset();
            game.corrections.push_back(std::move(correction));
        }

        Statement warnings = db.prepare(
            "SELECT code, file, line, message, subject, accepted FROM warnings WHERE game_id = ? "
            "ORDER BY position");
        warnings.bind(1, id);
        while (warnings.step()) {
            game.warnings.push_back({warnings.text(0), warnings.text(1),
                                     static_cast<std::uint64_t>(warnings.integer(2)),
                                     warnings.text(3), warnings.text(4), warnings.integer(5) != 0});
        }

        Statement inputs = db.prepare(
            "SELECT name, bytes, lines, sha256 FROM inputs WHERE game_id = ? ORDER BY position");
        inputs.bind(1, id);
        while (inputs.step()) {
            game.inputs.push_back({inputs.text(0), static_cast<std::uint64_t>(inputs.integer(1)),
                                   static_cast<std::uint64_t>(inputs.integer(2)), inputs.text(3)});
        }
        Statement starts = db.prepare(
            "SELECT bytes, lines, sha256 FROM log_starts WHERE game_id = ? ORDER BY bytes");
        starts.bind(1, id);
        while (starts.step()) {
            game.mergedStarts.push_back({"", static_cast<std::uint64_t>(starts.integer(0)),
                                         static_cast<std::uint64_t>(starts.integer(1)),
                                         starts.text(2)});
        }
        if (parts != GameParts::Scores) {
            loadKills(db, id, game);
        }
        if (parts == GameParts::All) {
            loadLists(db, id, game);
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return stored;
}

Findings checkGames(LeagueFile& file) {
    Findings findings;
    try {
        Connection& db = file.db();
        findings.sharedLogs = sharedLogs(db);
        Statement conflicts = db.prepare(
            "SELECT game_id, arrived_at, source, differences FROM conflicts ORDER BY id");
        while (conflicts.step()) {
            findings.conflicts.push_back(
                {conflicts.integer(0), conflicts.text(1), conflicts.text(2), conflicts.text(3)});
        }
        Statement games = db.prepare(
            std::string("SELECT ") + kSummaryColumns +
            ", g.removed_at IS NOT NULL FROM games g ORDER BY g.played_on IS NULL, g.played_on, "
            "g.id");
        while (games.step()) {
            const GameSummary game = summaryOf(games);
            if (games.integer(kSummaryCount) != 0) {
                findings.removed.push_back(game);
                continue;
            }
            if (game.playedOn.empty()) {
                const SeasonDays days = seasonDateOrder(db, game.season);
                findings.unknownDays.push_back(
                    {game.id, unreadableDayMessage(game.gameDate, days.order, days.inferred)});
                continue;
            }
            for (const std::int64_t twin : probableTwins(db, game.id)) {
                if (twin > game.id) {
                    findings.twins.push_back({game.id, twin, game.playedOn, game.map});
                }
            }
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return findings;
}

}  // namespace vorskal::league
