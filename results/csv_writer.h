#pragma once
// The CSV form of a game's results, format version 4 (docs/results.md): one
// file per table in `directory` (created when missing): pilots.csv,
// teams.csv, corrections.csv (one row per move, or one for a correction
// that moved nothing), targets.csv, arena.csv, kills.csv and warnings.csv,
// written by the one CSV writer (results/csv_text.h). The rows of
// corrections, targets, arena and kills come from `spilled`, where the run
// put them.
// The set is replaced as a whole: every file is written (through
// replaceFile) before any takes its old one's place, so a failure while
// writing leaves the old set as it was. Throws std::runtime_error (a
// TallyFailure for a file) naming the file that cannot be written and why.
#include <string>
#include <string_view>

#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::results {

// The files of the set, in the order they are written.
inline constexpr std::string_view kPilotsCsv = "pilots.csv";
inline constexpr std::string_view kTeamsCsv = "teams.csv";
inline constexpr std::string_view kCorrectionsCsv = "corrections.csv";
inline constexpr std::string_view kTargetsCsv = "targets.csv";
inline constexpr std::string_view kArenaCsv = "arena.csv";
inline constexpr std::string_view kKillsCsv = "kills.csv";
inline constexpr std::string_view kWarningsCsv = "warnings.csv";
inline constexpr std::string_view kCsvFiles[] = {
    kPilotsCsv, kTeamsCsv, kCorrectionsCsv, kTargetsCsv, kArenaCsv, kKillsCsv, kWarningsCsv};

void writeCsv(const GameResults& results, const std::string& directory, const SpilledRows& spilled);

}  // namespace vorskal::results
