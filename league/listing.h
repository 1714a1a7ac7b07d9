#pragma once
// The league's listings in every format: plain text for reading, CSV for
// spreadsheets, JSON for programs, HTML for a web page. docs/league.md
// describes the CSV columns and the JSON (formatVersion 1), which are
// contracts.
#include <ostream>
#include <string>
#include <vector>

#include "league/queries.h"

namespace vorskal::league {

enum class Format { Text, Csv, Json, Html };

inline constexpr int kListingFormatVersion = 1;

// What narrowed a listing, for its title: "" when nothing did.
std::string describeFilter(const GameFilter& filter);

void writeStandings(std::ostream& out, const Standings& standings, Format format,
                    const std::string& filterText);
void writeGames(std::ostream& out, const std::vector<GameSummary>& games, Format format,
                const std::string& filterText);
void writeGame(std::ostream& out, const StoredGame& game, Format format);

}  // namespace vorskal::league
