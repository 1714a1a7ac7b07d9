#pragma once
// The JSON names of the results model, in one place: docs/results.md
// describes them. Every JSON that shows a part of the model (the results'
// JSON, the league's listings) builds it here. Texts from the logs become
// text by the one rule of every output (base/log_text.h).
//
// The long lists' rows are written by hand as compact text (a large game has
// hundreds of thousands of them).
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "results/game_results.h"

namespace vorskal::results {

using Json = nlohmann::ordered_json;

// Appends a JSON string literal, quotes included.
void appendJsonString(std::string& out, std::string_view text);
// The same text as a JSON value; `textOrNull`: null for an empty text.
Json textJson(std::string_view text);
Json textOrNull(std::string_view text);

// One row of a long list as a compact JSON object, appended to `out` (the
// writer reuses one string for every row); a correction also back (the
// results' JSON read by the league), throwing (a std::exception) on text
// that is not such a row.
void appendCorrectionJson(std::string& out, const Correction& row);
void appendTargetJson(std::string& out, const TargetRow& row);
void appendArenaJson(std::string& out, const ArenaEvent& row);
void appendKillJson(std::string& out, const KillRow& row);
Correction correctionFromJson(std::string_view text);

// The results of a game from the JSON the results write
// (game_from_json.cpp): formatVersion 4, and 3, which lists no kills
// (killsListed false); an older one carries no report key. Every list's
// rows become rows as they are parsed, so that a large game's never stay in
// the parsed document. Texts are UTF-8, as the JSON holds them. Throws
// std::runtime_error saying what is wrong, to follow the file's name.
// A file larger than kMaxResultsJsonBytes, a text (or member name) longer
// than kMaxJsonTextBytes, nesting deeper than kMaxJsonDepth and more than
// kMaxJsonHeldValues values outside the lists' rows are refused, naming the
// member: what a crafted file makes the reader hold stays near its size.
// A UTF-8 byte-order mark before the JSON is skipped.
inline constexpr std::size_t kMaxResultsJsonBytes = std::size_t{1} << 30;
inline constexpr std::size_t kMaxJsonTextBytes = std::size_t{1} << 20;
inline constexpr std::size_t kMaxJsonDepth = 8;
inline constexpr std::size_t kMaxJsonHeldValues = 100000;
GameResults gameFromJson(std::string_view text);

// The other parts of the model.
Json optionsJson(const RunFacts& run);
Json fileJson(const FileFacts& file);
Json settingsJson(const Settings& settings);
Json pilotJson(const PilotRow& row);
Json teamJson(const TeamTotals& totals);
Json stretchJson(const OverMaxStretch& stretch);
Json minuteJson(const MinuteCount& count);
Json warningJson(const Warning& warning);

}  // namespace vorskal::results
