#pragma once
// A pilot's career (career.h) in every format of the listings: text, CSV,
// JSON and HTML. The site's pilot page and its downloads show the same
// tables. docs/league.md describes the JSON (formatVersion 1) and the CSV.
#include <ostream>
#include <string>

#include "league/listings/career.h"
#include "league/listings/listing.h"
#include "league/listings/text_table.h"

namespace vorskal::league {

// The sentence for games without kills listed ("" when there are none).
std::string withoutKillsText(std::int64_t games);

// His numbers, one row: games, sorties, kills, deaths, K/D, longest run,
// best game, who he shot down most and who shot him down most.
TextTable careerTable(const Career& career);
// Kills and deaths by the aircraft he flew.
TextTable flownTable(const Career& career);
// His victims by the aircraft they flew.
TextTable victimsTable(const Career& career);

void writeCareer(std::ostream& out, const Career& career, Format format,
                 const std::string& filterText);

}  // namespace vorskal::league
