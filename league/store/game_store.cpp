#include "league/store/game_store.h"

#include <ctime>
#include <stdexcept>
#include <tuple>

#include "base/log_text.h"
#include "league/store/game_day.h"
#include "league/store/game_numbers.h"
#include "league/store/settings.h"
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
            .bind(5, utf8(correction.note))
            .run();
        const std::int64_t id = db_.lastInsertId();
        for (std::size_t j = 0; j < correction.evidence.size(); ++j) {
            const results::EvidenceLine& line = correction.evidence[j];
            lines_.bind(1, id)
                .bind(2, std::int64_t(j))
                .bind(3, std::int64_t(line.line))
                .bind(4, utf8(line.text))
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

// Writes the game under `id` (0: a new number); its number.
std::int64_t insertGame(Connection& db, std::int64_t id, const GameResults& game,
                        const results::SpilledRows* spilled, const GameIdentity& identity,
                        const std::string& season, const std::string& recordedAt) {
    Statement games = db.prepare(
        "INSERT INTO games (id, game_key, origin, report_sha256, played_on, game_date, "
        "first_time, last_time, started_at, directory, map, kill_points, death_points, "
        "over_max_correction, multi_death_correction, fighter_target_correction, "
        "red_boxed_only, tool_name, tool_version, recorded_at, season) "
        "VALUES (?,?,?,?,NULL,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (id != 0) {
        games.bind(1, id);
    } else {
        games.bindNull(1);
    }
    games.bind(2, identity.key)
        .bind(3, std::string_view(identity.origin == Origin::Tally ? "tally" : "import"))
        .bind(4, orNull(identity.reportSha256))
        .bind(5, utf8(game.gameDate))
        .bind(6, game.firstTime)
        .bind(7, game.lastTime)
        .bind(8, game.run.startedAt)
        .bind(9, utf8(game.run.directory))
        .bind(10, utf8(game.settings.map))
        .bind(11, game.settings.killPoints)
        .bind(12, game.settings.deathPoints)
        .bind(13, std::int64_t{game.run.overMaxPilotCorrection})
        .bind(14, std::int64_t{game.run.multiDeathCorrection})
        .bind(15, std::int64_t{game.run.fighterTargetCorrection})
        .bind(16, std::int64_t{game.run.redBoxedOnly})
        .bind(17, game.toolName)
        .bind(18, game.toolVersion)
        .bind(19, recordedAt)
        .bind(20, season)
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
            .bind(6, utf8(warning.message))
            .bind(7, utf8(warning.subject))
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
    return id;
}

std::string inputSha(const GameResults& game, const std::string& name) {
    for (const results::FileFacts& input : game.inputs) {
        if (input.name == name) {
            return input.sha256;
        }
    }
    return {};
}

// The recorded games that are this game, lowest number first: by its key,
// by its whole report, or (a game recorded by the tally before games had
// keys of their reports) by the same merged log, settings file and options.
std::vector<std::int64_t> sameGames(Connection& db, const GameResults& game,
                                    const GameIdentity& identity) {
    Statement find = db.prepare(
        "SELECT id FROM games g WHERE removed_at IS NULL AND (game_key = ?1 OR report_sha256 = ?2 "
        "OR (game_key = ?3 AND over_max_correction = ?4 AND multi_death_correction = ?5 AND "
        "fighter_target_correction = ?6 AND red_boxed_only = ?7 AND EXISTS (SELECT 1 FROM "
        "inputs i WHERE i.game_id = g.id AND i.name = 'vorskal.ini' AND i.sha256 = ?8))) "
        "ORDER BY id");
    find.bind(1, identity.key)
        .bind(2, orNull(identity.reportSha256))
        .bind(3, orNull(identity.mergedLogSha256))
        .bind(4, std::int64_t{game.run.overMaxPilotCorrection})
        .bind(5, std::int64_t{game.run.multiDeathCorrection})
        .bind(6, std::int64_t{game.run.fighterTargetCorrection})
        .bind(7, std::int64_t{game.run.redBoxedOnly})
        .bind(8, orNull(inputSha(game, "vorskal.ini")));
    std::vector<std::int64_t> ids;
    while (find.step()) {
        ids.push_back(find.integer(0));
    }
    return ids;
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

std::string seasonOf(Connection& db, std::int64_t id) {
    Statement read = db.prepare("SELECT season FROM games WHERE id = ?");
    read.bind(1, id);
    return read.step() ? read.text(0) : std::string();
}

}  // namespace

GameIdentity talliedGame(const GameResults& game, const std::string& reportKey,
                         const std::string& reportSha256) {
    return {reportKey, Origin::Tally, reportSha256, inputSha(game, "ux7server.log")};
}

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
    const std::vector<std::int64_t> same = sameGames(db, game, identity);
    if (!same.empty()) {
        if (!request.replace) {
            result.outcome = RecordOutcome::Duplicate;
            result.id = same.front();
            Statement merged = db.prepare(
                "SELECT sha256 FROM inputs WHERE game_id = ? AND name = 'ux7server.log'");
            merged.bind(1, result.id);
            result.sameReportOtherLogs = !identity.mergedLogSha256.empty() && merged.step() &&
                                         !merged.text(0).empty() &&
                                         merged.text(0) != identity.mergedLogSha256;
            return result;
        }
        // Every game it matches gives way; the new one takes the first number.
        Statement drop = db.prepare("DELETE FROM games WHERE id = ?");
        for (const std::int64_t id : same) {
            drop.bind(1, id).run();
        }
        result.outcome = RecordOutcome::Replaced;
    }
    // A removed copy of this game is dropped for good: it is recorded again.
    db.prepare(
          "DELETE FROM games WHERE removed_at IS NOT NULL AND (game_key = ?1 OR report_sha256 = "
          "?2)")
        .bind(1, identity.key)
        .bind(2, orNull(identity.reportSha256))
        .run();

    result.season = request.season.empty() ? currentSeason(db) : request.season;
    result.id = insertGame(db, same.empty() ? 0 : same.front(), game, spilled, identity,
                           result.season, utcText(file.clock().now()));
    if (request.settle) {
        settleDays(db, result);
    }
    if (insideRecordingForTests != nullptr) {
        insideRecordingForTests();
    }
    return result;
}

void settleDays(Connection& db, RecordResult& result, bool refresh) {
    if (refresh) {
        result.days = refreshDays(db, result.season, result.id);
    }
    Statement day = db.prepare("SELECT played_on, game_date FROM games WHERE id = ?");
    day.bind(1, result.id);
    if (day.step()) {
        result.playedOn = day.isNull(0) ? std::nullopt : std::optional<std::string>(day.text(0));
        result.gameDate = day.text(1);
    }
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
        if (result.outcome != RecordOutcome::Duplicate) {
            if (beforeCommit) {
                beforeCommit();
            }
            transaction.commit();
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
    throw LeagueError(file.path() + ": no game \"" + text +
                      "\" (give its number or the start of its key, as `games` lists them)");
}

void removeGame(LeagueFile& file, std::int64_t id) {
    try {
        Transaction transaction(file.db());
        file.db()
            .prepare("UPDATE games SET removed_at = ? WHERE id = ? AND removed_at IS NULL")
            .bind(1, utcText(file.clock().now()))
            .bind(2, id)
            .run();
        refreshDays(file.db(), seasonOf(file.db(), id));
        transaction.commit();
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

SeasonDays restoreGame(LeagueFile& file, std::int64_t id) {
    try {
        Connection& db = file.db();
        Transaction transaction(db);
        Statement same = db.prepare(
            "SELECT o.id FROM games g JOIN games o ON o.removed_at IS NULL AND (o.game_key = "
            "g.game_key OR o.report_sha256 = g.report_sha256) WHERE g.id = ?");
        same.bind(1, id);
        if (same.step()) {
            throw LeagueError(file.path() + ": game " + std::to_string(id) +
                              " is recorded again as game " + std::to_string(same.integer(0)) +
                              "; nothing restored");
        }
        db.prepare("UPDATE games SET removed_at = NULL WHERE id = ?").bind(1, id).run();
        const SeasonDays days = refreshDays(db, seasonOf(db, id), id);
        transaction.commit();
        return days;
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

}  // namespace vorskal::league
