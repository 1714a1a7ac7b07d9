#pragma once
// A made-up game as results, for looking at the page and timing it without
// a tally: pilots of both sides entering and leaving the arena over the
// game's hours (often more than 16 at once), kills and deaths each minute,
// a few corrections with their evidence, targets credited and not, a
// warning, and names that need escaping. The same seed gives the same game.
#include <cstdint>

#include "results/game_results.h"

namespace vorskal::sample {

struct SampleOptions {
    int hours = 3;
    int pilotsPerSide = 20;
    std::uint64_t seed = 1;
};

results::GameResults sampleGame(const SampleOptions& options);

}  // namespace vorskal::sample
