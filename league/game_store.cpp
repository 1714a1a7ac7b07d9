#include "league/game_store.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

#include "league/game_numbers.h"
#include "results/json_text.h"

namespace vorskal::league {

namespace {

using results::GameResults;
using results::Side;

std::string nowUtc() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return buffer;
}

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string joinLocations(const std::vector<std::string>& locations) {
    std::string joined;
    for (const std::string& key : locations) {
        joined += "," + key;
    }
    return joined;
}

// A test hook: with VORSKAL_LEAGUE_TEST_PAUSE_MS set, the recorder waits
// that long inside its transaction, after touching the file named by
// VORSKAL_LEAGUE_TEST_PAUSE_MARK (if set), so a test can stop it there.
void pauseInsideTransactionForTests() {
    const char* ms = std::getenv("VORSKAL_LEAGUE_TEST_PAUSE_MS");
    if (ms == nullptr) {
        return;
    }
    if (const char* mark = std::getenv("VORSKAL_LEAGUE_TEST_PAUSE_MARK")) {
        std::ofstream(mark) << "paused\n";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(ms)));
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

std::int64_t insertGame(Connection& db, const GameResults& game, const GameIdentity& identity) {
    Statement games = db.prepare(
        "INSERT INTO games (game_key, origin, report_sha256, played_on, game_date, first_time, "
        "last_time, started_at, directory, map, kill_points, death_points, over_max_correction, "
        "multi_death_correction, fighter_target_correction, red_boxed_only, tool_name, "
        "tool_version, recorded_at) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    games.bind(1, identity.key)
        .bind(2, std::string_view(identity.origin == Origin::Tally ? "tally" : "import"))
        .bind(3,
              identity.reportSha256.empty() ? std::optional<std::string>() : identity.reportSha256)
        .bind(4, gameDay(game))
        .bind(5, game.gameDate)
        .bind(6, game.firstTime)
        .bind(7, game.lastTime)
        .bind(8, game.run.startedAt)
        .bind(9, game.run.directory)
        .bind(10, game.settings.map)
        .bind(11, game.settings.killPoints)
        .bind(12, game.settings.deathPoints)
        .bind(13, std::int64_t{game.run.overMaxPilotCorrection})
        .bind(14, std::int64_t{game.run.multiDeathCorrection})
        .bind(15, std::int64_t{game.run.fighterTargetCorrection})
        .bind(16, std::int64_t{game.run.redBoxedOnly})
        .bind(17, game.toolName)
        .bind(18, game.toolVersion)
        .bind(19, nowUtc())
        .run();
    const std::int64_t id = db.lastInsertId();

    Statement types = db.prepare("INSERT INTO type_values VALUES (?,?,?,?)");
    for (std::size_t i = 0; i < game.settings.typeValues.size(); ++i) {
        const results::TypeValue& value = game.settings.typeValues[i];
        types.bind(1, id).bind(2, std::int64_t(i)).bind(3, value.type).bind(4, value.points).run();
    }

    insertTotals(db, id, "Allied", game.allied);
    insertTotals(db, id, "Hun", game.hun);

    Statement pilots = db.prepare("INSERT INTO pilots VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        const results::PilotRow& row = game.pilots[i];
        pilots.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, row.name)
            .bind(4, std::string_view(league::sideName(row.team)))
            .bind(5, row.teamCode)
            .bind(6, row.kills)
            .bind(7, row.deaths)
            .bind(8, row.targetsDestroyed)
            .bind(9, row.targetPoints)
            .bind(10, row.score)
            .bind(11, joinLocations(row.locations))
            .run();
    }

    Statement corrections =
        db.prepare("INSERT INTO corrections (game_id, position, kind, applied) VALUES (?,?,?,?)");
    Statement lines = db.prepare("INSERT INTO correction_lines VALUES (?,?,?,?)");
    Statement moves = db.prepare("INSERT INTO correction_moves VALUES (?,?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.corrections.size(); ++i) {
        const results::Correction& correction = game.corrections[i];
        corrections.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, correction.kind)
            .bind(4, std::int64_t{correction.applied})
            .run();
        const std::int64_t correctionId = db.lastInsertId();
        for (std::size_t j = 0; j < correction.evidence.size(); ++j) {
            const results::EvidenceLine& line = correction.evidence[j];
            lines.bind(1, correctionId)
                .bind(2, std::int64_t(j))
                .bind(3, std::int64_t(line.line))
                .bind(4, line.text)
                .run();
        }
        for (std::size_t j = 0; j < correction.moves.size(); ++j) {
            const results::Move& move = correction.moves[j];
            moves.bind(1, correctionId)
                .bind(2, std::int64_t(j))
                .bind(3, move.pilot)
                .bind(4, std::string_view(league::sideName(move.team)))
                .bind(5, move.field)
                .bind(6, move.by)
                .bind(7, move.points)
                .run();
        }
    }

    Statement warnings = db.prepare("INSERT INTO warnings VALUES (?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.warnings.size(); ++i) {
        const results::Warning& warning = game.warnings[i];
        warnings.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, warning.code)
            .bind(4, warning.file)
            .bind(5, std::int64_t(warning.line))
            .bind(6, warning.message)
            .run();
    }

    Statement inputs = db.prepare("INSERT INTO inputs VALUES (?,?,?,?,?,?)");
    for (std::size_t i = 0; i < game.inputs.size(); ++i) {
        const results::FileFacts& input = game.inputs[i];
        inputs.bind(1, id)
            .bind(2, std::int64_t(i))
            .bind(3, input.name)
            .bind(4, std::int64_t(input.bytes))
            .bind(5, std::int64_t(input.lines))
            .bind(6, input.sha256)
            .run();
    }
    return id;
}

// Games already recorded under this key or this report; 0 when none.
std::int64_t findExisting(Connection& db, const GameIdentity& identity) {
    Statement find = db.prepare(
        "SELECT id FROM games WHERE game_key = ?1 OR (?2 IS NOT NULL AND report_sha256 = ?2) "
        "ORDER BY id LIMIT 1");
    find.bind(1, identity.key)
        .bind(2,
              identity.reportSha256.empty() ? std::optional<std::string>() : identity.reportSha256);
    return find.step() ? find.integer(0) : 0;
}

}  // namespace

const char* sideName(Side side) {
    // The results' names, which are literals: their data() ends in NUL.
    return results::sideName(side).data();
}

Side sideFromName(const std::string& name) {
    if (name == "Allied") {
        return Side::Allied;
    }
    if (name == "Hun") {
        return Side::Hun;
    }
    return Side::Unknown;
}

GameIdentity talliedGame(const GameResults& game, const std::string& reportSha256) {
    for (const results::FileFacts& input : game.inputs) {
        if (input.name == "ux7server.log" && !input.sha256.empty()) {
            return {input.sha256, Origin::Tally, reportSha256};
        }
    }
    throw LeagueError("the tally's results name no merged log \"ux7server.log\" with its SHA-256");
}

std::optional<std::string> gameDay(const GameResults& game) {
    // The server's date field: "MM/DD/YY" (or a four-digit year).
    const std::string& date = game.gameDate;
    const std::size_t first = date.find('/');
    const std::size_t second = first == std::string::npos ? first : date.find('/', first + 1);
    if (second != std::string::npos) {
        const std::string month = date.substr(0, first);
        const std::string day = date.substr(first + 1, second - first - 1);
        std::string year = date.substr(second + 1);
        if (allDigits(month) && allDigits(day) && allDigits(year) && month.size() <= 2 &&
            day.size() <= 2 && (year.size() == 2 || year.size() == 4)) {
            const int m = std::stoi(month);
            const int d = std::stoi(day);
            if (m >= 1 && m <= 12 && d >= 1 && d <= 31) {
                if (year.size() == 2) {
                    year = "20" + year;
                }
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "%s-%02d-%02d", year.c_str(), m, d);
                return std::string(buffer);
            }
        }
    }
    const std::string& started = game.run.startedAt;
    if (started.size() >= 10 && allDigits(started.substr(0, 4)) && started[4] == '-' &&
        allDigits(started.substr(5, 2)) && started[7] == '-' && allDigits(started.substr(8, 2))) {
        return started.substr(0, 10);
    }
    return std::nullopt;
}

RecordResult recordGameInside(LeagueFile& file, const GameResults& game,
                              const GameIdentity& identity, bool replace) {
    if (const std::string fault = numbersFault(game); !fault.empty()) {
        throw LeagueError("the game's numbers do not hold (" + fault + "); nothing recorded");
    }
    Connection& db = file.db();
    RecordResult result;
    if (const std::int64_t existing = findExisting(db, identity); existing != 0) {
        if (!replace) {
            return {RecordOutcome::Duplicate, existing};
        }
        // Both the key and the report may name an old game; replace them all.
        db.prepare(
              "DELETE FROM games WHERE game_key = ?1 OR (?2 IS NOT NULL AND report_sha256 = ?2)")
            .bind(1, identity.key)
            .bind(2, identity.reportSha256.empty() ? std::optional<std::string>()
                                                   : identity.reportSha256)
            .run();
        result.outcome = RecordOutcome::Replaced;
    }
    result.id = insertGame(db, game, identity);
    pauseInsideTransactionForTests();
    return result;
}

RecordResult recordGame(LeagueFile& file, const GameResults& game, const GameIdentity& identity,
                        bool replace) {
    try {
        Transaction transaction(file.db());
        const RecordResult result = recordGameInside(file, game, identity, replace);
        if (result.outcome != RecordOutcome::Duplicate) {
            transaction.commit();
        }
        return result;
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

std::int64_t resolveGame(LeagueFile& file, const std::string& text) {
    try {
        if (allDigits(text) && text.size() < 18) {
            Statement byId = file.db().prepare("SELECT id FROM games WHERE id = ?");
            byId.bind(1, std::stoll(text));
            if (byId.step()) {
                return byId.integer(0);
            }
        }
        if (text.size() >= 4 && text.find_first_not_of("0123456789abcdef") == std::string::npos) {
            Statement byKey =
                file.db().prepare("SELECT id FROM games WHERE substr(game_key, 1, ?) = ? LIMIT 2");
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
    throw LeagueError(file.path() + ": no game \"" + text +
                      "\" (give its number or the start of its key, as `games` lists them)");
}

bool removeGame(LeagueFile& file, std::int64_t id) {
    try {
        Transaction transaction(file.db());
        file.db().prepare("DELETE FROM games WHERE id = ?").bind(1, id).run();
        const bool removed = file.db().changes() > 0;
        transaction.commit();
        return removed;
    } catch (const SqliteError& error) {
        file.fail(error);
    }
}

}  // namespace vorskal::league
