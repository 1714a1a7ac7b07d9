#pragma once
// Gathers the results of one game while the tally runs: it watches the
// merge (sizes, lines and times of the numbered logs, the merged log's
// fingerprint) and the passes (destructions, arena counts, corrections), and
// at the end reads the final tally state into a GameResults and adds the
// checks' warnings.
//
// Use: construct before the run, read the folder's accepted findings, hand
// it to the merge (MergeNotes::watcher) and the state
// (TallyState::observer), run, then call finish() once the run has
// completed or stopped.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/platform.h"
#include "collector/log_order.h"
#include "collector/merged_digest.h"
#include "collector/pilot_checks.h"
#include "logs/merge.h"
#include "results/accepted_findings.h"
#include "results/game_results.h"
#include "tally/event_log.h"
#include "tally/observer.h"
#include "tally/tally_state.h"

namespace vorskal::collector {

class Collector : public MergeWatcher, public TallyObserver {
  public:
    Collector(results::GameResults& results, const TallyState& state);

    // MergeWatcher
    void pieceBytes(std::string_view bytes) override;
    void mergedBytes(std::string_view bytes) override;
    void pieceDone(const Piece& piece) override;

    // TallyObserver
    void targetLine(const EventLine& line, const TargetSeen& seen) override;
    void arenaCounted(const EventLine& line, Count team, bool entry, std::string_view pilot,
                      Count inGameAfter) override;
    void unknownAircraft(const EventLine& line, std::string_view aircraft) override;
    void overMaxSettled(const EventLine& line, Count team, int pilotNumber, double minutes,
                        std::int64_t deduction) override;
    void multiDeath(const KillEvent& previous, const KillEvent& event,
                    const std::string& previousLine, const std::string& eventLine) override;
    void fighterTarget(const EventLine& line, std::size_t slot, bool fighter, bool takenBack,
                       Count points) override;
    void killerOrVictimWithoutSide(std::uint64_t lineNumber, std::size_t slot,
                                   std::string_view field) override;
    void nameJoinedToRecord(std::uint64_t lineNumber, std::size_t slot,
                            std::string_view name) override;

    // Before the run: the findings accepted in the game folder (throws
    // TallyFailure for a file that cannot be read or has a bad line).
    void readAcceptedFindings(FileService& files) {
        accepted_ = results::AcceptedFindings::read(files);
    }

    // After the multi-death correction: every kill event as a row of the
    // results, in log order, with the aircraft read again from its line
    // (`lines`) and the number of the correction that took it back.
    void listKills(LineSource& lines);

    // Reads the final state and the files' facts and, after a completed run,
    // runs the checks: a run that stopped has no findings, since they would
    // be about a game that was not tallied. `merged`: whether the merge ran
    // to its end.
    void finish(FileService& files, bool merged, bool completed);

  private:
    void addCorrection(results::Correction correction);

    struct Seen {  // a finding seen on many lines: the first, and how often
        std::uint64_t line = 0;
        std::string text;
        std::uint64_t count = 0;
    };

    // The time of day of a line the results show, or "" noted for the
    // warning "time-out-of-range" (`file` and `number` name the line).
    std::string shownTime(std::string_view line, const std::string& file, std::uint64_t number);
    // The same for an arena line, from the columns the pass kept of it.
    std::string shownTime(const EventLine& line);
    void noteBadTime(const std::string& file, std::uint64_t number);

    std::string pilotName(std::size_t slot) const;
    results::Side sideOfSlot(std::size_t slot) const;

    results::GameResults& results_;
    const TallyState& state_;
    std::unique_ptr<MergedLogDigest> mergedDigest_;  // the game's fingerprint, when wanted
    std::uint64_t mergedBytes_ = 0;
    std::uint64_t mergedLines_ = 0;
    LogMoment previousEnd_;  // the last line with a time of the numbered log before
    std::string previousName_;
    results::AcceptedFindings accepted_;
    // Pass 1's notes, on its own thread: touched by nothing else until finish().
    PilotNotes pilotNotes_;
    // Kill events whose death (and kill) the multi-death correction took back.
    std::vector<KillEvent> takenBack_;
    // The same by their line of the merged log, with the number (from 1, in
    // `corrections` order) of the correction that did it.
    std::vector<std::pair<std::uint64_t, std::int64_t>> takenBackBy_;
    std::int64_t correctionsAdded_ = 0;
    std::vector<results::Warning> logWarnings_;
    std::map<std::string, Seen> notInMap_;      // by location key
    std::map<std::string, Seen> unknownTypes_;  // by aircraft text
    // The line at which a side's count last reached 17 and 18, per side.
    results::EvidenceLine reached_[2][2];
    // How many lines' times of day the results cannot show (each line is
    // looked at once), and the first of them (file and line).
    std::uint64_t badTimes_ = 0;
    std::pair<std::string, std::uint64_t> firstBadTime_;
};

}  // namespace vorskal::collector
