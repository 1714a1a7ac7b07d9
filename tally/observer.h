#pragma once
// What the passes and corrections saw and did, for a run that keeps the
// evidence behind its report (the results of a game). The passes call an
// observer only when TallyState::observer is set; their work and the report
// are the same either way.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/checked.h"

namespace vorskal {

struct EventLine;
struct KillEvent;

// One destruction line of pass 2, after its lookup and its credit.
struct TargetSeen {
    std::string_view key;         // location key; empty when the line names no destroyer
    std::string_view targetType;  // from the current map's block; empty when not listed there
    bool inMapBlock = false;      // the lookup found the target's number in the block
    Count teamCode = 0;           // what the lookup left
    Count points = 0;
    bool redBoxed = false;
    std::size_t destroyer = 0;  // the record the destruction went to (0: none)
    bool credited = false;      // false with the red-boxed-only option and no marker
};

class TallyObserver {
  public:
    virtual ~TallyObserver() = default;
    virtual void targetLine(const EventLine& line, const TargetSeen& seen) = 0;
    // A pilot counted into (entry) or out of the game for side `team` (1
    // or 2); `inGameAfter` is the side's count after it.
    virtual void arenaCounted(const EventLine& line, Count team, bool entry, std::string_view pilot,
                              Count inGameAfter) = 0;
    // A pilot's first entry, in an aircraft that no team rule recognises.
    virtual void unknownAircraft(const EventLine& line, std::string_view aircraft) = 0;
    // A side's count fell back below 17 (`pilotNumber` 17) or 18: the
    // minutes its 17th or 18th pilot was in the game and the deduction.
    virtual void overMaxSettled(const EventLine& line, Count team, int pilotNumber, double minutes,
                                std::int64_t deduction) = 0;
    // A death logged again within 20 seconds, with both whole lines;
    // `event`'s deathRecord and killRecord are the records whose death and
    // kill were taken back.
    virtual void multiDeath(const KillEvent& previous, const KillEvent& event,
                            const std::string& previousLine, const std::string& eventLine) = 0;
    // Pass 1: a victim or killer counted in record `slot`, which is of no
    // known side; `field` is the name and what follows it in the line (the
    // victim's up to "awarded to ", the killer's to the end of the line).
    virtual void killerOrVictimWithoutSide(std::uint64_t lineNumber, std::size_t slot,
                                           std::string_view field) = 0;
    // Pass 1: a victim or killer whose 16-character name `name` differs from
    // the name of record `slot`, which it was counted in by its first 11
    // characters and its side.
    virtual void nameJoinedToRecord(std::uint64_t lineNumber, std::size_t slot,
                                    std::string_view name) = 0;
    // A destruction by record `slot` in pass 3: `fighter` false when the
    // pilot's aircraft is not yet known; `points` taken back when `takenBack`.
    virtual void fighterTarget(const EventLine& line, std::size_t slot, bool fighter,
                               bool takenBack, Count points) = 0;
};

}  // namespace vorskal
