#pragma once
// The rows of the long lists read back from the JSON text the results wrote
// them in (results/spill.h keeps them so), for a consumer that needs them as
// data: the league file stores every correction of a game.
#include <string_view>

#include "results/game_results.h"

namespace vorskal::results {

// A correction from its JSON text (correctionJson); its texts are UTF-8, as
// the JSON holds them. Throws std::runtime_error when the text is not one.
Correction correctionFromJson(std::string_view text);

}  // namespace vorskal::results
