#include "league/store/game_store.h"

#include <ctime>
#include <stdexcept>
#include <tuple>

#include "base/log_text.h"
#include "league/store/game_contents.h"
#include "league/store/game_day.h"
#include "league/store/game_numbers.h"
#include "league/store/settings.h"
#include "results/address_mask.h"
#include "results/json_text.h"

namespace vorskal::league {

void (*insideRecordingForTests)() = nullptr;

namespace {

using results::GameResults;
using results::Side;

// The moment as the league file keeps it: "2026-12-06T20:15:03Z".
std::string utcText(std::time_t moment) {
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &moment);
#else
    gmtime_r(&moment, &utc);
#endif
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return buffer;
}

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Texts are kept as every output shows them (base/log_text.h): valid UTF-8
// as it is, any other byte read in code page 1252, controls as \xNN. The
// rule gives the same text again when applied twice, so the listings can
// apply it to what they read back.
std::string utf8(std::string_view text) {
    return logText(text);
}

// A text that can quote a log line, with the players' addresses masked
// (results/address_mask.h): a league file is shared, whatever the tally's
// --show-addresses said.
std::string withoutAddresses(std::string_view text) {
    return results::maskAddresses(utf8(text));
}

std::optional<std::string> orNull(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

// A pilot's location keys, one a line: no key holds a line end.
std::string joinLocations(const std::vector<std::string>& locations) {
    std::string joined;
    for (const std::string& key : locations) {
        joined += (joined.empty() ? "" : "\n") + utf8(key);
    }
    return joined;
}

void insertTotals(Connection& db, std::int64_t id, const char* team,
                  const results::TeamTotals& totals) {
    db.prepare(
          "INSERT INTO team_totals (game_id, team, kills, deaths, targets_destroyed, "
          "target_points, score, over_max_penalty, final) VALUES (?,?,?,?,?,?,?,?,?)")
        .bind(1, id)
        .bind(2, std::string_view(team))
        .bind(3, totals.kills)
        .bind(4, totals.deaths)
        .bind(5, totals.targetsDestroyed)
        .bind(6, totals.targetPoints)
        .bind(7, totals.score)
        .bind(8, totals.overMaxPenalty)
        .bind(9, totals.final)
        .run();
}

class CorrectionWriter {
  public:
    CorrectionWriter(Connection& db, std::int64_t game)
        : db_(db),
          game_(game),
          corrections_(
              db.prepare("INSERT INTO corrections (game_id, position, kind, applied, note) VALUES "
                         "(?,?,?,?,?)")),
          lines_(db.prepare("INSERT INTO correction_lines (correction_id, position, line, text) "
                            "VALUES (?,?,?,?)")),
          moves_(db.prepare("INSERT INTO correction_moves (correction_id, position, pilot, team, "
                            "field, by_amount, points) VALUES (?,?,?,?,?,?,?)")) {}

    void write(const results::Correction& correction) {
        corrections_.bind(1, game_)
            .bind(2, position_++)
            .bind(3, results::kindName(correction.kind))
            .bind(4, std::int64_t{correction.applied})
            .bind(5, withoutAddresses(correction.note))
            .run();
        const std::int64_t id = db_.lastInsertId();
        for (std::size_t j = 0; j < correction.evidence.size(); ++j) {
            const results::EvidenceLine& line = correction.evidence[j];
            lines_.bind(1, id)
                .bind(2, std::int64_t(j))
                .bind(3, std::int64_t(line.line))
                .bind(4, withoutAddresses(line.text))
                .run();
        }
        for (std::size_t j = 0; j < correction.moves.size(); ++j) {
            const results::Move& move = correction.moves[j];
            moves_.bind(1, id)
                .bind(2, std::int64_t(j))
                .bind(3, utf8(move.pilot))
                .bind(4, results::sideName(move.team))
                .bind(5, results::fieldName(move.field))
                .bind(6, move.by)
                .bind(7, move.points)
                .run();
        }
    }

  private:
    Connection& db_;
    std::int64_t game_;
    std::int64_t position_ = 0;
    Statement corrections_;
    Statement lines_;
    Statement moves_;
};

// What the game's page draws beyond its scores (RecordRequest::listsKept).
class PageListWriter {
  public:
    PageListWriter(Connection& db, std::int64_t game)
        : game_(game),
          targets_(db.prepare(
              "INSERT INTO targets (game_id, position, line, text, location, target_type, team, "
              "team_code, points, red_boxed, pilot, reason) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)")),
          events_(db.prepare(
              "INSERT INTO arena_events (game_id, position, line, time, seconds, side, event, "
              "pilot, in_game_after) VALUES (?,?,?,?,?,?,?,?,?)")),
          stretches_(
              db.prepare("INSERT INTO over_max_stretches (game_id, position, side, pilot_number, "
                         "start_time, end_time, minutes, points) VALUES (?,?,?,?,?,?,?,?)")),
          minutes_(db.prepare(
              "INSERT INTO minute_counts (game_id, minute, allied_kills, hun_kills, "
              "allied_deaths, hun_deaths, allied_kills_taken_back, hun_kills_taken_back, "
              "allied_deaths_taken_back, hun_deaths_taken_back) VALUES (?,?,?,?,?,?,?,?,?,?)")) {}

    void write(const results::TargetRow& row) {
        targets_.bind(1, game_)
            .bind(2, targetPosition_++)
            .bind(3, static_cast<std::int64_t>(row.line))
            .bind(4, withoutAddresses(row.text))
            .bind(5, utf8(row.key))
            .bind(6, utf8(row.targetType))
            .bind(7, results::sideName(row.team))
            .bind(8, row.teamCode)
            .bind(9, row.points)
            .bind(10, std::int64_t{row.redBoxed})
            .bind(11, utf8(row.pilot))
            .bind(12, utf8(row.reason))
            .run();
    }

    void write(const results::ArenaEvent& row) {
        events_.bind(1, game_)
            .bind(2, eventPosition_++)
            .bind(3, static_cast<std::int64_t>(row.line))
            .bind(4, row.time)
            .bind(5, std::int64_t{row.seconds})
            .bind(6, results::sideName(row.side))
            .bind(7, std::string_view(row.entry ? "entry" : "exit"))
            .bind(8, utf8(row.pilot))
            .bind(9, row.inGameAfter)
            .run();
    }

    void write(const GameResults& game) {
        for (std::size_t i = 0; i < game.overMax.size(); ++i) {
            const results::OverMaxStretch& stretch = game.overMax[i];
            stretches_.bind(1, game_)
                .bind(2, std::int64_t(i))
                .bind(3, results::sideName(stretch.side))
                .bind(4, std::int64_t{stretch.pilotNumber})
                .bind(5, stretch.start)
                .bind(6, stretch.end)
                .bindReal(7, stretch.minutes)
                .bind(8, stretch.points)
                .run();
        }
        for (const results::MinuteCount& count : game.timeline) {
            minutes_.bind(1, game_)
                .bind(2, std::int64_t{count.minute})
                .bind(3, count.alliedKills)
                .bind(4, count.hunKills)
                .bind(5, count.alliedDeaths)
                .bind(6, count.hunDeaths)
                .bind(7, count.alliedKillsTakenBack)
                .bind(8, count.hunKillsTakenBack)
                .bind(9, count.alliedDeathsTakenBack)
                .bind(10, count.hunDeathsTakenBack)
                .run();
        }
    }

  private:
    std::int64_t game_;
    std::int64_t targetPosition_ = 0;
    std::int64_t eventPosition_ = 0;
    Statement targets_;
    Statement events_;
    Statement stretches_;
    Statement minutes_;
};

// Every kill line of a game whose kills are known (GameResults::killsListed).
class KillWriter {
  public:
    KillWriter(Connection& db, std::int64_t game)
        : game_(game),
          kills_(db.prepare(
              "INSERT INTO kills (game_id, position, line, time, victim, victim_aircraft, "
              "victim_side, killer, killer_aircraft, killer_side, self_kill, taken_back_by) "
              "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)")) {}

    void write(const results::KillRow& row) {
        kills_.bind(1, game_)
            .bind(2, position_++)
            .bind(3, static_cast<std::int64_t>(row.line))
            .bind(4, row.time)
            .bind(5, utf8(row.victim))
            .bind(6, utf8(row.victimAircraft))
            .bind(7, results::sideName(row.victimSide))
            .bind(8, row.killer ? std::optional<std::string>(utf8(*row.killer)) : std::nullopt)
            .bind(9, utf8(row.killerAircraft))
            .bind(10, results::sideName(row.killerSide))
            .bind(11, std::int64_t{row.selfKill});
        if (row.takenBackBy) {
            kills_.bind(12, *row.takenBackBy);
        } else {
            kills_.bindNull(12);
        }
        kills_.run();
    }

  private:
    std::int64_t game_;
    std::int64_t position_ = 0;
    Statement kills_;
};

// The rows of a game made from its results, while it is written. Every
// value a CHECK of the league's tables allows a few of (a side, a team, an
// origin, an entry or exit, a 0 or 1) is written here from a typed value
// that can hold no other, so the checks cannot fail; SQLite makes a table
// for each such check of each row, which cost a third of recording a large
// game. Rows from anywhere else (a merged league file) keep their checks.
class TypedRows {
  public:
    explicit TypedRows(Connection& db) : db_(db) {
        db_.exec("PRAGMA ignore_check_constraints = ON");
    }
    ~TypedRows() {
        try {
            db_.exec("PRAGMA ignore_check_constraints = OFF");
        } catch (...) {
            // The connection is closed with the failure that ended the writing.
        }
    }
    TypedRows(const TypedRows&) = delete;
    TypedRows& operator=(const TypedRows&) = delete;

  private:
    Connection& db_;
};

// Writes the game under `id` (0: a new number); its number.
std::int64_t insertGame(Connection& db, std::int64_t id, const GameResults& game,
                        const results::SpilledRows* spilled, const GameIdentity& identity,
                        const std::string& season, const std::optional<std::string>& playedOn,
                        const std::string& recordedAt, bool listsKept) {
    const TypedRows typed(db);
    Statement games = db.prepare(
        "INSERT INTO games (id, game_key, origin, report_sha256, played_on, game_date, "
        "first_time, last_time, started_at, directory, map, kill_points, death_points, "
        "over_max_correction, multi_death_correction, fighter_target_correction, "
        "red_boxed_only, tool_name, tool_version, recorded_at, season, merged_sha256, "
        "merged_bytes, merged_lines, start_sha256, lists_kept, kills_listed) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (id != 0) {
        games.bind(1, id);
    } else {
        games.bindNull(1);
    }
    const bool logs = !identity.mergedLogSha256.empty();
    games.bind(2, identity.key)
        .bind(3, std::string_view(identity.origin == Origin::Tally ? "tally" : "import"))
        .bind(4, orNull(identity.reportSha256))
        .bind(5, playedOn)
        .bind(6, utf8(game.gameDate))
        .bind(7, game.firstTime)
        .bind(8, game.lastTime)
        .bind(9, game.run.startedAt)
        .bind(10, utf8(game.run.directory))
        .bind(11, utf8(game.settings.map))
        .bind(12, game.settings.killPoints)
        .bind(13, game.settings.deathPoints)
        .bind(14, std::int64_t{game.run.overMaxPilotCorrection})
        .bind(15, std::int64_t{game.run.multiDeathCorrection})
        .bind(16, std::int64_t{game.run.fighterTargetCorrection})
        .bind(17, std::int64_t{game.run.redBoxedOnly})
        .bind(18, game.toolName)
        .bind(19, game.toolVersion)
        .bind(20, recordedAt)
        .bind(21, season)
        .bind(22, orNull(identity.mergedLogSha256));
    if (logs) {
        games.bind(23, static_cast<std::int64_t>(identity.mergedBytes))
            .bind(24, static_cast<std::int64_t>(identity.mergedLines));
    } else {
        games.bindNull(23).bindNull(24);
    }
    games.bind(25, orNull(identity.startSha256))
        .bind(26, std::int64_t{listsKept})
        .bind(27, std::int64_t{game.killsListed})
        .run();
    id = db.lastInsertId();

    Statement types =
        db.prepare("INSERT INTO type_values (game_id, position, type, points) VALUES (?,?,?,?)");
    for (std::size_t i = 0; i < game.settings.typeValues.size(); ++i) {
        const results::TypeValue& value = game.settings.typeValues[i];
        types.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, utf8(value.type))
            .bind(4, value.points)
            .run();
    }

    insertTotals(db, id, "Allied", game.allied);
    insertTotals(db, id, "Hun", game.hun);

    Statement pilots = db.prepare(
        "INSERT INTO pilots (game_id, position, name, team, team_code, kills, deaths, "
        "targets_destroyed, target_points, score, locations) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        const results::PilotRow& row = game.pilots[i];
        pilots.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, utf8(row.name))
            .bind(4, results::sideName(row.team))
            .bind(5, row.teamCode)
            .bind(6, row.kills)
            .bind(7, row.deaths)
            .bind(8, row.targetsDestroyed)
            .bind(9, row.targetPoints)
            .bind(10, row.score)
            .bind(11, joinLocations(row.locations))
            .run();
    }

    CorrectionWriter corrections(db, id);
    if (spilled != nullptr) {
        spilled->forEachCorrection(
            [&](const results::Correction& correction) { corrections.write(correction); });
    } else {
        for (const results::Correction& correction : game.corrections) {
            corrections.write(correction);
        }
    }

    Statement warnings = db.prepare(
        "INSERT INTO warnings (game_id, position, code, file, line, message, subject, accepted) "
        "VALUES (?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.warnings.size(); ++i) {
        const results::Warning& warning = game.warnings[i];
        warnings.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, warning.code)
            .bind(4, utf8(warning.file))
            .bind(5, std::int64_t(warning.line))
            .bind(6, withoutAddresses(warning.message))
            .bind(7, withoutAddresses(warning.subject))
            .bind(8, std::int64_t(warning.accepted ? 1 : 0))
            .run();
    }

    Statement inputs = db.prepare(
        "INSERT INTO inputs (game_id, position, name, bytes, lines, sha256) VALUES (?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.inputs.size(); ++i) {
        const results::FileFacts& input = game.inputs[i];
        inputs.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, utf8(input.name))
            .bind(4, std::int64_t(input.bytes))
            .bind(5, std::int64_t(input.lines))
            .bind(6, input.sha256)
            .run();
    }

    if (listsKept) {
        PageListWriter lists(db, id);
        if (spilled != nullptr) {
            spilled->forEachTarget([&](const results::TargetRow& row) { lists.write(row); });
            spilled->forEachArenaEvent([&](const results::ArenaEvent& row) { lists.write(row); });
        } else {
            for (const results::TargetRow& row : game.targets) {
                lists.write(row);
            }
            for (const results::ArenaEvent& row : game.arena) {
                lists.write(row);
            }
        }
        lists.write(game);
    }

    if (game.killsListed) {
        KillWriter kills(db, id);
        if (spilled != nullptr) {
            spilled->forEachKill([&](const results::KillRow& row) { kills.write(row); });
        } else {
            for (const results::KillRow& row : game.kills) {
                kills.write(row);
            }
        }
    }

    Statement starts = db.prepare(
        "INSERT OR IGNORE INTO log_starts (game_id, bytes, lines, sha256) VALUES (?,?,?,?)");
    for (const results::FileFacts& start : game.mergedStarts) {
        starts.bind(1, id)
            .bind(2, static_cast<std::int64_t>(start.bytes))
            .bind(3, static_cast<std::int64_t>(start.lines))
            .bind(4, start.sha256)
            .run();
    }
    return id;
}

using RowFacts = std::tuple<std::string, std::string, std::int64_t, std::int64_t, std::int64_t,
                            std::int64_t, std::int64_t>;

std::vector<RowFacts> rowsOf(Connection& db, std::int64_t id) {
    Statement read = db.prepare(
        "SELECT name, team, kills, deaths, targets_destroyed, target_points, score FROM pilots "
        "WHERE game_id = ? ORDER BY position");
    read.bind(1, id);
    std::vector<RowFacts> rows;
    while (read.step()) {
        rows.emplace_back(read.text(0), read.text(1), read.integer(2), read.integer(3),
                          read.integer(4), read.integer(5), read.integer(6));
    }
    return rows;
}

std::optional<std::string> mergedLogOf(Connection& db, std::int64_t id) {
    Statement read = db.prepare("SELECT merged_sha256 FROM games WHERE id = ?");
    read.bind(1, id);
    return read.step() && !read.isNull(0) ? std::optional<std::string>(read.text(0)) : std::nullopt;
}

// Gives game `from` the number `to`, with every row of it. Inside a
// transaction: the rows point at a number no game has until the last step.
void moveGame(Connection& db, std::int64_t from, std::int64_t to) {
    db.exec("PRAGMA defer_foreign_keys = ON");
    db.prepare("UPDATE games SET id = ?1 WHERE id = ?2").bind(1, to).bind(2, from).run();
    for (const char* table :
         {"type_values", "team_totals", "pilots", "corrections", "warnings", "inputs", "log_starts",
          "targets", "arena_events", "over_max_stretches", "minute_counts", "conflicts", "kills"}) {
        db.prepare(std::string("UPDATE ") + table + " SET game_id = ?1 WHERE game_id = ?2")
            .bind(1, to)
            .bind(2, from)
            .run();
    }
}

// Moves game `id` out of its number, removed, as a version of game `id`;
// the number it is kept under.
std::int64_t keepAsVersion(Connection& db, std::int64_t id, const std::string& now) {
    const std::int64_t kept = db.scalar("SELECT coalesce(max(id), 0) + 1 FROM games");
    moveGame(db, id, kept);
    db.prepare(
          "UPDATE games SET removed_at = coalesce(removed_at, ?1), replaced_by = ?2 WHERE id = ?3")
        .bind(1, now)
        .bind(2, id)
        .bind(3, kept)
        .run();
    return kept;
}

std::string seasonOf(Connection& db, std::int64_t id) {
    Statement read = db.prepare("SELECT season FROM games WHERE id = ?");
    read.bind(1, id);
    return read.step() ? read.text(0) : std::string();
}

}  // namespace

std::vector<std::int64_t> probableTwins(Connection& db, std::int64_t id) {
    Statement candidates = db.prepare(
        "SELECT o.id FROM games g JOIN games o ON o.played_on = g.played_on AND o.map = g.map "
        "AND o.id != g.id AND o.game_key != g.game_key AND o.removed_at IS NULL "
        "WHERE g.id = ? ORDER BY o.id");
    candidates.bind(1, id);
    std::vector<std::int64_t> twins;
    const std::vector<RowFacts> rows = rowsOf(db, id);
    while (candidates.step()) {
        if (rowsOf(db, candidates.integer(0)) == rows) {
            twins.push_back(candidates.integer(0));
        }
    }
    return twins;
}

RecordResult recordGameInside(LeagueFile& file, const GameResults& game,
                              const results::SpilledRows* spilled, const GameIdentity& identity,
                              const RecordRequest& request) {
    if (const std::string fault = numbersFault(game); !fault.empty()) {
        throw LeagueError("the game's numbers do not hold (" + fault + "); nothing recorded");
    }
    Connection& db = file.db();
    RecordResult result;
    result.match = findMatch(db, game, identity);
    const Match& match = result.match;
    std::int64_t number = 0;
    result.season = request.season;
    if (match.how != Sameness::None) {
        result.id = match.id;
        if (!request.replace) {
            const bool duplicate = match.how == Sameness::SameReport && !match.removed;
            result.outcome = duplicate ? RecordOutcome::Duplicate : RecordOutcome::Refused;
            if (duplicate) {
                result.conflict = contentsDifference(db, match.id, game);
            }
            if (!result.conflict.empty()) {
                result.outcome = RecordOutcome::Conflict;
                db.prepare(
                      "INSERT OR IGNORE INTO conflicts (game_id, arrived_at, source, "
                      "differences) VALUES (?, ?, ?, ?)")
                    .bind(1, match.id)
                    .bind(2, utcText(file.clock().now()))
                    .bind(3, request.source.empty() ? std::string("a tally") : request.source)
                    .bind(4, result.conflict)
                    .run();
                return result;
            }
            result.sameReportOtherLogs =
                duplicate && !identity.mergedLogSha256.empty() &&
                mergedLogOf(db, match.id).value_or(identity.mergedLogSha256) !=
                    identity.mergedLogSha256;
            return result;
        }
        // The new version takes the game's number and season; the old one is
        // kept to be restored, unless it is this very report.
        number = match.id;
        if (result.season.empty()) {
            result.season = seasonOf(db, number);
        }
        if (match.how == Sameness::SameReport) {
            db.prepare("DELETE FROM games WHERE id = ?").bind(1, number).run();
        } else {
            result.version = keepAsVersion(db, number, utcText(file.clock().now()));
        }
        result.outcome = RecordOutcome::Replaced;
    }
    // A removed copy of this very report gives way: the new one is the same.
    db.prepare(
          "DELETE FROM games WHERE removed_at IS NOT NULL AND (game_key = ?1 OR report_sha256 = "
          "?2)")
        .bind(1, identity.key)
        .bind(2, orNull(identity.reportSha256))
        .run();

    if (result.season.empty()) {
        result.season = currentSeason(db);
    }
    result.id = insertGame(db, number, game, spilled, identity, result.season, request.playedOn,
                           utcText(file.clock().now()), request.listsKept);
    if (request.settle) {
        settleDays(db, result, seasonDateOrder(db, result.season, request.dateOrder));
    }
    if (insideRecordingForTests != nullptr) {
        insideRecordingForTests();
    }
    return result;
}

std::string conflictText(const RecordResult& result) {
    return "a game with the key or report of game " + std::to_string(result.match.id) +
           ", but other contents (" + result.conflict +
           "): one of the two is not what its tally wrote; nothing recorded (`check` lists it)";
}

std::string refusalText(const RecordResult& result, bool replaceable) {
    const std::string replace = replaceable ? "; --replace replaces it" : "";
    const std::string game = "game " + std::to_string(result.match.id);
    if (result.match.removed) {
        return game + " was removed here; `restore " + std::to_string(result.match.id) +
               "` takes it back";
    }
    switch (result.match.how) {
        case Sameness::SameLogs:
            return "these logs are " + game + ", recorded with other settings" + replace;
        case Sameness::Earlier:
            return game + " was tallied from the first " + std::to_string(result.match.lines) +
                   " lines of these logs" + replace;
        case Sameness::Later:
            return game + " was tallied from more of these logs (" +
                   std::to_string(result.match.lines) + " lines)" + replace;
        case Sameness::SameReport:
        case Sameness::None:
            break;
    }
    return "this game is recorded already (" + game + ")";
}

void settleDays(Connection& db, RecordResult& result, const SeasonDays& days) {
    result.days = days;
    result.playedOn = settleDay(db, result.id, days);
    Statement day = db.prepare("SELECT game_date FROM games WHERE id = ?");
    day.bind(1, result.id);
    result.gameDate = day.step() ? day.text(0) : std::string();
    result.twins = probableTwins(db, result.id);
}

std::vector<std::string> recordedNotes(const RecordResult& result) {
    std::vector<std::string> notes;
    if (!result.playedOn) {
        notes.push_back(
            unreadableDayMessage(result.gameDate, result.days.order, result.days.inferred));
    }
    for (const std::int64_t twin : result.twins) {
        notes.push_back("probably the same game as game " + std::to_string(twin) +
                        " (the same day, map and pilots' rows)");
    }
    return notes;
}

RecordResult recordGame(LeagueFile& file, const GameResults& game,
                        const results::SpilledRows* spilled, const GameIdentity& identity,
                        const RecordRequest& request, const std::function<void()>& beforeCommit) {
    try {
        Transaction transaction(file.db());
        const RecordResult result = recordGameInside(file, game, spilled, identity, request);
        if (result.outcome == RecordOutcome::Recorded ||
            result.outcome == RecordOutcome::Replaced) {
            if (beforeCommit) {
                beforeCommit();
            }
            transaction.commit();
        } else if (result.outcome == RecordOutcome::Conflict) {
            transaction.commit();  // the conflict alone, for `check`
        }
        return result;
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

std::int64_t resolveGame(LeagueFile& file, const std::string& text, Kept kept) {
    const std::string which =
        kept == Kept::Recorded ? "removed_at IS NULL" : "removed_at IS NOT NULL";
    try {
        if (allDigits(text) && text.size() < 18) {
            Statement byId = file.db().prepare("SELECT id FROM games WHERE id = ? AND " + which);
            byId.bind(1, std::stoll(text));
            if (byId.step()) {
                return byId.integer(0);
            }
        }
        if (text.size() >= 4 && text.find_first_not_of("0123456789abcdef") == std::string::npos) {
            Statement byKey = file.db().prepare(
                "SELECT id FROM games WHERE substr(game_key, 1, ?) = ? AND " + which + " LIMIT 2");
            byKey.bind(1, std::int64_t(text.size())).bind(2, text);
            if (byKey.step()) {
                const std::int64_t id = byKey.integer(0);
                if (byKey.step()) {
                    throw LeagueError(file.path() + ": more than one game's key begins with \"" +
                                      text + "\"; give more of it");
                }
                return id;
            }
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    if (kept == Kept::Removed) {
        throw LeagueError(file.path() + ": no removed game \"" + text +
                          "\" (give the number that remove printed)");
    }
    if (allDigits(text) && text.size() < 18) {
        try {
            Statement removed = file.db().prepare(
                "SELECT replaced_by FROM games WHERE id = ? AND removed_at IS "
                "NOT NULL");
            removed.bind(1, std::stoll(text));
            if (removed.step()) {
                throw LeagueError(
                    file.path() + ": game " + text +
                    (removed.isNull(0) ? " was removed"
                                       : " is an earlier version of game " +
                                             std::to_string(removed.integer(0)) + ", replaced") +
                    "; vorskal-league " + file.path() + " restore " + text + " takes it back");
            }
        } catch (const SqliteError& error) {
            file.fail(error);
        }
    }
    throw LeagueError(file.path() + ": no game \"" + text +
                      "\" (give its number or the start of its key, as `games` lists them)");
}

void removeGame(LeagueFile& file, std::int64_t id) {
    try {
        file.db()
            .prepare("UPDATE games SET removed_at = ? WHERE id = ? AND removed_at IS NULL")
            .bind(1, utcText(file.clock().now()))
            .bind(2, id)
            .run();
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

std::int64_t restoreGame(LeagueFile& file, std::int64_t id) {
    try {
        Connection& db = file.db();
        Transaction transaction(db);
        Statement version = db.prepare("SELECT replaced_by FROM games WHERE id = ?");
        version.bind(1, id);
        const std::int64_t game = version.step() && !version.isNull(0) ? version.integer(0) : 0;
        if (game != 0) {
            // The version in its place (if any) is kept in turn.
            if (Statement held = db.prepare("SELECT 1 FROM games WHERE id = ?");
                held.bind(1, game).step()) {
                held.reset();
                keepAsVersion(db, game, utcText(file.clock().now()));
            }
            moveGame(db, id, game);
            db.prepare("UPDATE games SET removed_at = NULL, replaced_by = NULL WHERE id = ?")
                .bind(1, game)
                .run();
            transaction.commit();
            return game;
        }
        Statement same = db.prepare(
            "SELECT o.id FROM games g JOIN games o ON o.removed_at IS NULL AND (o.game_key = "
            "g.game_key OR o.report_sha256 = g.report_sha256 OR o.merged_sha256 = "
            "g.merged_sha256) WHERE g.id = ?");
        same.bind(1, id);
        if (same.step()) {
            throw LeagueError(file.path() + ": game " + std::to_string(id) +
                              " is recorded again as game " + std::to_string(same.integer(0)) +
                              "; nothing restored");
        }
        db.prepare("UPDATE games SET removed_at = NULL WHERE id = ?").bind(1, id).run();
        transaction.commit();
        return id;
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

void setGameDay(LeagueFile& file, std::int64_t id, const std::string& day) {
    try {
        file.db()
            .prepare("UPDATE games SET played_on = ? WHERE id = ?")
            .bind(1, day)
            .bind(2, id)
            .run();
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

std::vector<GameVersion> versionsOf(LeagueFile& file, std::int64_t id) {
    std::vector<GameVersion> versions;
    try {
        Statement read = file.db().prepare(
            "SELECT id, recorded_at, removed_at FROM games WHERE replaced_by = ? ORDER BY id");
        read.bind(1, id);
        while (read.step()) {
            versions.push_back({read.integer(0), read.text(1), read.text(2)});
        }
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return versions;
}

}  // namespace vorskal::league
