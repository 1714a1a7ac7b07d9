#pragma once
// What makes two recordings one game. A game is known by its report's key
// (the SHA-256 of its report's body, results/report_key.h) and, when it was
// tallied here, by its logs: the merged log's SHA-256 and the SHA-256 of
// its first 64 KiB (the whole log when shorter). The same logs tallied with
// other settings give another report but the same merged log; an early
// tally (made while the server still wrote, or from logs copied too soon)
// gives a merged log that the complete one begins with: its whole merged log
// is the complete one's up to the end of a numbered log (each game keeps
// those digests), or, for one cut inside a log, the logs at hand tell it,
// or the first 64 KiB when both are longer.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "league/store/sqlite.h"
#include "results/game_results.h"

namespace vorskal::league {

enum class Origin { Tally, Import };

// The bytes of a merged log's beginning that its start key covers.
inline constexpr std::uint64_t kStartBytes = 64 * 1024;

struct GameIdentity {
    std::string key;  // the report's key, lower-case hex
    Origin origin = Origin::Tally;
    std::string reportSha256;     // of the whole report
    std::string mergedLogSha256;  // a tallied game's merged log; "" when not known
    std::uint64_t mergedBytes = 0;
    std::uint64_t mergedLines = 0;
    std::string startSha256;  // of its first kStartBytes; "" when not known
    // The SHA-256 of the merged log's first `bytes` bytes, when the log is
    // at hand (a game just tallied); else empty.
    std::function<std::string(std::uint64_t bytes)> prefixSha256;
};

// The identity of a game the tally has just scored, from its report's
// digests and the merged log named in its results; `prefixSha256` reads the
// merged log's beginning (empty: not at hand).
GameIdentity talliedGame(const results::GameResults& game, const std::string& reportKey,
                         const std::string& reportSha256,
                         std::function<std::string(std::uint64_t)> prefixSha256 = {});

// How a recording is one game already in the file.
enum class Sameness {
    None,
    SameReport,  // the same report (or, for older games, the same log, settings and options)
    SameLogs,    // the same merged log under another report: other settings or options
    Earlier,     // the game in the file was tallied from the first lines of these logs
    Later,       // the game in the file was tallied from more of these logs
};

struct Match {
    Sameness how = Sameness::None;
    std::int64_t id = 0;
    std::int64_t lines = 0;  // the matched game's merged log lines
    bool removed = false;    // the matched game was removed (or replaced)
};

// The game in the file this recording is, if any: recorded games before
// removed ones, then by the list of Sameness, lowest number first. Replaced
// versions of a game are not matched (their game is).
Match findMatch(Connection& db, const results::GameResults& game, const GameIdentity& identity);

// The games of the file that share logs with game `id` (Sameness SameLogs,
// Earlier or Later; each pair once, the other game's number higher), for
// `check`. Without the logs at hand, an early tally cut inside a numbered
// log is known only when both logs are longer than 64 KiB.
struct SharedLogs {
    std::int64_t first = 0;
    std::int64_t second = 0;
    bool sameLog = false;      // the very same merged log, tallied with other settings
    std::int64_t shorter = 0;  // else: the game tallied from the first `lines` of the other's
    std::int64_t lines = 0;
};
std::vector<SharedLogs> sharedLogs(Connection& db);

}  // namespace vorskal::league
