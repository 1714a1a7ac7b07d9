#include "league/store/game_identity.h"

#include <map>
#include <optional>

namespace vorskal::league {

namespace {

std::optional<std::string> orNull(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

const results::FileFacts* inputNamed(const results::GameResults& game, const std::string& name) {
    for (const results::FileFacts& input : game.inputs) {
        if (input.name == name && !input.sha256.empty()) {
            return &input;
        }
    }
    return nullptr;
}

std::string stateClause(bool removed) {
    return removed ? "removed_at IS NOT NULL AND replaced_by IS NULL" : "removed_at IS NULL";
}

// By its key, by its whole report, or (a game recorded by the tally before
// games had keys of their reports) by the same merged log, settings file
// and options.
std::optional<Match> sameReport(Connection& db, const results::GameResults& game,
                                const GameIdentity& identity, bool removed) {
    const results::FileFacts* ini = inputNamed(game, "vorskal.ini");
    Statement find = db.prepare(
        "SELECT id, coalesce(merged_lines, 0) FROM games g WHERE " + stateClause(removed) +
        " AND (game_key = ?1 OR report_sha256 = ?2 OR (game_key = ?3 AND over_max_correction = "
        "?4 AND multi_death_correction = ?5 AND fighter_target_correction = ?6 AND "
        "red_boxed_only = ?7 AND EXISTS (SELECT 1 FROM inputs i WHERE i.game_id = g.id AND "
        "i.name = 'vorskal.ini' AND i.sha256 = ?8))) ORDER BY id LIMIT 1");
    find.bind(1, identity.key)
        .bind(2, orNull(identity.reportSha256))
        .bind(3, orNull(identity.mergedLogSha256))
        .bind(4, std::int64_t{game.run.overMaxPilotCorrection})
        .bind(5, std::int64_t{game.run.multiDeathCorrection})
        .bind(6, std::int64_t{game.run.fighterTargetCorrection})
        .bind(7, std::int64_t{game.run.redBoxedOnly})
        .bind(8, ini != nullptr ? std::optional<std::string>(ini->sha256) : std::nullopt);
    if (find.step()) {
        return Match{Sameness::SameReport, find.integer(0), find.integer(1), removed};
    }
    return std::nullopt;
}

std::optional<Match> sameLogs(Connection& db, const GameIdentity& identity, bool removed) {
    Statement find =
        db.prepare("SELECT id, coalesce(merged_lines, 0) FROM games WHERE " + stateClause(removed) +
                   " AND merged_sha256 = ? ORDER BY id LIMIT 1");
    find.bind(1, identity.mergedLogSha256);
    if (find.step()) {
        return Match{Sameness::SameLogs, find.integer(0), find.integer(1), removed};
    }
    return std::nullopt;
}

// A game whose logs begin as these do: the same first 64 KiB when both are
// longer, or (the logs at hand) a shorter game's whole merged log is the
// beginning of this one. An empty log begins every log: it tells nothing.
std::optional<Match> sameStart(Connection& db, const GameIdentity& identity, bool removed,
                               std::map<std::uint64_t, std::string>& prefixes) {
    Statement find = db.prepare(
        "SELECT id, merged_bytes, coalesce(merged_lines, 0), merged_sha256, "
        "coalesce(start_sha256, '') FROM games WHERE " +
        stateClause(removed) +
        " AND merged_sha256 IS NOT NULL AND merged_sha256 != ?1 AND merged_bytes > 0 AND "
        "(start_sha256 = ?2 OR merged_bytes < ?3) ORDER BY id");
    find.bind(1, identity.mergedLogSha256)
        .bind(2, orNull(identity.startSha256))
        .bind(3, static_cast<std::int64_t>(kStartBytes));
    while (find.step()) {
        const auto bytes = static_cast<std::uint64_t>(find.integer(1));
        const Match match{bytes <= identity.mergedBytes ? Sameness::Earlier : Sameness::Later,
                          find.integer(0), find.integer(2), removed};
        if (bytes >= kStartBytes && identity.mergedBytes >= kStartBytes &&
            !identity.startSha256.empty() && find.text(4) == identity.startSha256) {
            return match;
        }
        if (bytes < identity.mergedBytes && identity.prefixSha256) {
            auto [at, fresh] = prefixes.try_emplace(bytes);
            if (fresh) {
                at->second = identity.prefixSha256(bytes);
            }
            if (at->second == find.text(3)) {
                return match;
            }
        }
    }
    return std::nullopt;
}

// A game whose whole merged log is this one's up to the end of one of its
// numbered logs (an early tally between two logs), or whose logs run on
// past the end of this one's: known from the digests each game keeps,
// wherever it comes from (a merge, another road).
std::optional<Match> sameBeginning(Connection& db, const results::GameResults& game,
                                   const GameIdentity& identity, bool removed) {
    Statement earlier =
        db.prepare("SELECT id, coalesce(merged_lines, 0) FROM games WHERE " + stateClause(removed) +
                   " AND merged_bytes > 0 AND merged_sha256 = ? ORDER BY id LIMIT 1");
    for (const results::FileFacts& start : game.mergedStarts) {
        if (start.bytes == 0 || start.sha256 == identity.mergedLogSha256) {
            continue;
        }
        earlier.bind(1, start.sha256);
        if (earlier.step()) {
            return Match{Sameness::Earlier, earlier.integer(0), earlier.integer(1), removed};
        }
        earlier.reset();
    }
    if (identity.mergedBytes == 0) {
        return std::nullopt;
    }
    Statement later = db.prepare(
        "SELECT g.id, coalesce(g.merged_lines, 0) FROM games g JOIN log_starts s ON s.game_id = "
        "g.id AND s.sha256 = ?1 WHERE " +
        stateClause(removed) + " AND g.merged_sha256 != ?1 ORDER BY g.id LIMIT 1");
    later.bind(1, identity.mergedLogSha256);
    if (later.step()) {
        return Match{Sameness::Later, later.integer(0), later.integer(1), removed};
    }
    return std::nullopt;
}

}  // namespace

GameIdentity talliedGame(const results::GameResults& game, const std::string& reportKey,
                         const std::string& reportSha256,
                         std::function<std::string(std::uint64_t)> prefixSha256) {
    GameIdentity identity{reportKey, Origin::Tally, reportSha256, "", 0, 0, "", {}};
    if (const results::FileFacts* merged = inputNamed(game, "ux7server.log")) {
        identity.mergedLogSha256 = merged->sha256;
        identity.mergedBytes = merged->bytes;
        identity.mergedLines = merged->lines;
        if (prefixSha256) {
            identity.startSha256 =
                merged->bytes <= kStartBytes ? merged->sha256 : prefixSha256(kStartBytes);
            identity.prefixSha256 = std::move(prefixSha256);
        }
    }
    return identity;
}

Match findMatch(Connection& db, const results::GameResults& game, const GameIdentity& identity) {
    std::map<std::uint64_t, std::string> prefixes;  // hashed once for both states
    for (const bool removed : {false, true}) {
        if (auto found = sameReport(db, game, identity, removed)) {
            return *found;
        }
        if (identity.mergedLogSha256.empty()) {
            continue;
        }
        if (auto found = sameLogs(db, identity, removed)) {
            return *found;
        }
        if (auto found = sameBeginning(db, game, identity, removed)) {
            return *found;
        }
        if (auto found = sameStart(db, identity, removed, prefixes)) {
            return *found;
        }
    }
    // The report of a version that --replace replaced (an import of the old
    // report file): its logs are the game that replaced it.
    Statement replaced = db.prepare(
        "SELECT g.id, coalesce(g.merged_lines, 0) FROM games v JOIN games g ON g.id = "
        "v.replaced_by WHERE v.replaced_by IS NOT NULL AND (v.game_key = ?1 OR v.report_sha256 = "
        "?2) ORDER BY v.id LIMIT 1");
    replaced.bind(1, identity.key).bind(2, orNull(identity.reportSha256));
    if (replaced.step()) {
        return Match{Sameness::SameLogs, replaced.integer(0), replaced.integer(1), false};
    }
    return {};
}

std::vector<SharedLogs> sharedLogs(Connection& db) {
    Statement find = db.prepare(
        "SELECT a.id, b.id, a.merged_sha256 = b.merged_sha256, a.merged_bytes <= b.merged_bytes, "
        "iif(a.merged_bytes <= b.merged_bytes, a.merged_lines, b.merged_lines), iif(a.merged_bytes "
        "<= b.merged_bytes, a.merged_lines, b.merged_lines) FROM games a JOIN games b ON b.id > "
        "a.id AND "
        "(a.merged_sha256 = b.merged_sha256 OR a.start_sha256 = b.start_sha256) WHERE "
        "a.removed_at IS NULL AND b.removed_at IS NULL UNION SELECT min(a.id, b.id), max(a.id, "
        "b.id), 0, a.id < b.id, a.merged_lines, a.merged_lines FROM games a JOIN log_starts s ON "
        "s.sha256 = a.merged_sha256 AND a.merged_bytes > 0 JOIN games b ON b.id = s.game_id AND "
        "b.merged_sha256 != a.merged_sha256 WHERE a.removed_at IS NULL AND b.removed_at IS NULL "
        "ORDER BY 1, 2");
    std::vector<SharedLogs> shared;
    while (find.step()) {
        const bool same = find.integer(2) != 0;
        const bool firstShorter = find.integer(3) != 0;
        shared.push_back({find.integer(0), find.integer(1), same,
                          same           ? 0
                          : firstShorter ? find.integer(0)
                                         : find.integer(1),
                          find.integer(4)});
    }
    return shared;
}

}  // namespace vorskal::league
