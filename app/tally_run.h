#pragma once
// The tally run: everything "Tally Score" does, from the merge of the
// numbered server logs to the last line of the report, in its fixed order.
//
// The run never ends the process and never shows anything itself: it returns
// an Outcome that its caller (the window or the headless runner) shows.
#include <functional>
#include <string>

#include "base/platform.h"
#include "results/game_results.h"
#include "tally/tally_state.h"

namespace vorskal {

class HeldReport;  // app/held_report.h

enum class OutcomeKind {
    Completed,        // "Tally Complete"
    MissingFirstLog,  // "Could not find ux7server0.log"; nothing written
    Failed,           // stopped with a message; the report ends in its ERROR line
    Refused,          // RunConfig::admit refused the checked game; nothing written
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Completed;
    std::string message;  // the text to show the user
};

struct RunConfig {
    // Read "ux7server.log" back from the disk for every pass, line by line,
    // instead of working from the lines that the merge kept. Slower; the
    // report is the same. Used to check the fast path against the plain one.
    bool rereadMergedLog = false;
    // When set, the run fills it: the results of the game with the evidence
    // behind them and the findings of the checks, the ones accepted in the
    // game folder marked (after a failure the numbers as far as the run came
    // and no findings; nothing when "ux7server0.log" is missing).
    results::GameResults* results = nullptr;
    // Writes nothing at all: the merged log and the report go nowhere (a
    // check of the setup). Only the fast reading serves then.
    bool writeNothing = false;
    // When set (runs in a directory only), the report is held back: the run writes it
    // to a temporary file instead of "vorskal.log", and once the run is
    // over, still inside the folder's lock, this is called with the outcome,
    // the held report and the folder's files; it appends the report
    // (HeldReport::appendTo) or not. What it throws fails the run.
    std::function<void(const Outcome&, HeldReport&, FileService&)> settleReport;
    // When set (a run in a directory: tallyIn), the run writes its merged
    // log aside and holds its report back; once it is over, still inside
    // the folder's lock, its results (the numbers and the findings) go to
    // `admit`. Only when it returns true are the merged log and the report
    // put in place (through `settleReport` when set); else the outcome is
    // Refused and nothing at all is written. A run that does not complete
    // writes what it would have written without `admit`.
    std::function<bool(const results::GameResults& checked)> admit;
    // Bytes the merge reads at once (0: its own choice). A line longer than
    // that is read where it lies; tests make it small so that most lines are.
    std::size_t mergeWindow = 0;
};

// Runs one tally on `state`, whose option flags the caller has set.
// The files live in the one directory that `files` serves.
Outcome runTally(TallyState& state, FileService& files, Clock& clock, const RunConfig& config = {});

struct TallyOptions {
    bool overMaxPilotCorrection = true;
    bool multiDeathCorrection = true;
    bool fighterTargetCorrection = true;
    bool redBoxedOnly = true;
};

// Sets the four option flags of `state` from `options`.
void applyOptions(TallyState& state, const TallyOptions& options);

// One tally on `state` in `directory` with the real files: the directory is
// locked for the run (two runs in one directory never overlap). Every
// failure, of whatever kind, comes back as a Failed outcome.
Outcome tallyIn(const std::string& directory, TallyState& state, Clock& clock,
                const RunConfig& config = {});

// One whole tally in `directory` with the real file system and clock: a fresh
// state, the options, the run. Two runs in one directory never overlap: the
// second waits for the first to finish.
Outcome tallyDirectory(const std::string& directory, const TallyOptions& options,
                       const RunConfig& config = {});

// The same with a clock of the caller's (tests use a fixed one).
Outcome tallyDirectory(const std::string& directory, const TallyOptions& options, Clock& clock,
                       const RunConfig& config = {});

}  // namespace vorskal
