#pragma once
// A re-scored season (rescore.h) as text, CSV and JSON: per pilot and per
// side the old number, the new one, the change and the rules that made it.
// The JSON is `standings --format json` with `oldScore`, `change` and
// `rules` beside each pilot's columns (`oldPointsFor`, `change`, `rules`
// beside each side's).
#include <ostream>
#include <string>

#include "league/listings/listing.h"
#include "league/rescore/rescore.h"

namespace vorskal::league {

void writeRescored(std::ostream& out, const Rescored& rescored, Format format,
                   const std::string& filterText);

}  // namespace vorskal::league
