#pragma once
// The matchups (matchups.h) in every format of the listings: text, CSV,
// JSON and HTML; the site's matchups page and downloads show the same
// tables. docs/league.md describes the JSON (formatVersion 1) and the CSV.
#include <ostream>
#include <string>

#include "league/listings/listing.h"
#include "league/listings/matchups.h"
#include "league/listings/text_table.h"

namespace vorskal::league {

TextTable aircraftMatchupsTable(const Matchups& matchups);
TextTable pilotPairsTable(const Matchups& matchups);

void writeMatchups(std::ostream& out, const Matchups& matchups, Format format,
                   const std::string& filterText);

}  // namespace vorskal::league
