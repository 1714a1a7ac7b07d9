#pragma once
// The game generator: a realistic game directory of a requested size, the
// same bytes for the same seed. The numbered server logs and the
// point-value file that a tally reads.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "gen/piece_sink.h"
#include "gen/summary.h"

namespace vorskal::gen {

struct GameOptions {
    std::uint64_t seed = 1;
    std::uint64_t bytes = 10u << 20;  // the logs end with the first line that reaches it
    int pieces = 3;
    bool dayFirst = false;  // dates day/month/year instead of the server's month/day/year
};

// A size such as 250000, 64K, 10M or 1G (K, M, G: 1024, 1024², 1024³; a
// trailing "B" or "iB" is allowed). Empty when the text is no size.
std::optional<std::uint64_t> parseSize(std::string_view text);

// The numbered logs of the game, in number order.
GameSummary writeServerLogs(const GameOptions& options, PieceSink& sink);

// "vorskal.ini" of the game: it depends on the seed only.
std::string pointFileText(std::uint64_t seed);

// Both, into `directory` (which must exist): ux7server0.log, ... and vorskal.ini.
GameSummary writeGameDirectory(const GameOptions& options, const std::filesystem::path& directory);

}  // namespace vorskal::gen
