#pragma once
// The league's listings in every format: plain text for reading, CSV for
// spreadsheets, JSON for programs, HTML for a web page. docs/league.md
// describes the CSV columns and the JSON (formatVersion 1), which are
// contracts.
#include <ostream>
#include <string>
#include <vector>

#include "league/listings/queries.h"

namespace vorskal::league {

enum class Format { Text, Csv, Json, Html };

inline constexpr int kListingFormatVersion = 1;
// `show --format json`: the game in the results' own JSON (version 2).
inline constexpr int kShowFormatVersion = 2;

// What narrowed a listing, for its title: "" when nothing did.
std::string describeFilter(const GameFilter& filter);

void writeStandings(std::ostream& out, const Standings& standings, Format format,
                    const std::string& filterText);
void writeGames(std::ostream& out, const std::vector<GameSummary>& games, Format format,
                const std::string& filterText);
void writeGame(std::ostream& out, const StoredGame& game, Format format);
// What `check` found, as plain text.
void writeFindings(std::ostream& out, const Findings& findings, const std::string& leaguePath);

}  // namespace vorskal::league
