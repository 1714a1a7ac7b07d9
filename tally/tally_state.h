#pragma once
// The tally state: the one set of tables, counters, result slots and option
// flags that every pass of a tally run reads and writes directly.
//
// Numbers are Counts: 32-bit signed with checked arithmetic (base/checked.h).
// The tables grow as needed; index 0 of pilotTable, arenaRoster and
// killEvents is never used, so slot numbers in the code match the report's
// and the passes' slot order (pilots 1 .. nextPilotSlot - 1).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/checked.h"
#include "base/fixed_text.h"
#include "logs/line_source.h"
#include "points/target_slots.h"

namespace vorskal {

class TallyObserver;

// Team codes: 0 not known, 1 Allied, 2 Hun. Codes from "vorskal.ini" may be
// any number; such records are listed with the pilots of unknown team.
inline constexpr Count kTeamUnknown = 0;
inline constexpr Count kTeamAllied = 1;
inline constexpr Count kTeamHun = 2;

struct PilotRecord {
    Count team = 0;
    FixedText<kNameWidth> name;
    Count kills = 0;
    Count deaths = 0;
    std::string targetLocations;  // "," before every location key
    Count targetsDestroyed = 0;
    Count targetPoints = 0;
    Count score = 0;
    Count aircraftClass = 0;  // 0 not seen entering, 1 two-seater class, 2 fighter
};

// Team totals: only kills, deaths, targetsDestroyed, targetPoints and score are used.
using TotalsRow = PilotRecord;

struct RosterEntry {
    Count team = 0;
    FixedText<kNameWidth> name;
    Count inArena = 0;
};

// Slot number meaning "no record" in the links that passes keep.
inline constexpr std::size_t kNoRecord = 0;

struct KillEvent {
    std::int32_t time = 0;         // seconds since midnight
    FixedText<kNameWidth> victim;  // the 16 characters from column 27
    // What pass 1 scored for this line, so a correction takes back exactly that.
    std::uint32_t deathRecord = kNoRecord;
    std::uint32_t killRecord = kNoRecord;  // kNoRecord: self-kill or no "awarded to "
    bool selfKill = false;                 // the killer's 16 characters are the victim's
    std::uint64_t lineNumber = 0;          // in the merged log, from 1
    // Where the whole log line lies: a warning shows it as a field of
    // kLineFieldWidth characters, read again then.
    LinePlace line;
};

// What pass 2 credited for one destruction line (in log order), so the
// fighter correction takes back exactly that.
struct TargetCredit {
    std::size_t record = kNoRecord;  // kNoRecord: nothing credited
    Count points = 0;
};

// Values of the run itself, reset at every run start.
struct RunValues {
    std::int64_t hunOverMaxPenalty = 0;  // whole number without the 32-bit limit
    double allied17thStart = 0;
    double allied18thStart = 0;
    double hun17thStart = 0;
    double hun18thStart = 0;
};

// The target lookup's result slots (mapName, killPoints, deathPoints,
// teamCode, targetValue) come from TargetSlots; teamCode is also the result
// slot of IdentifyTeam.
struct TallyState : TargetSlots {
    // Pilots at 1 .. nextPilotSlot - 1, in the order first added; index 0 unused.
    std::vector<PilotRecord> pilotTable = std::vector<PilotRecord>(1);
    TotalsRow alliedTotals;
    TotalsRow hunTotals;

    std::vector<RosterEntry> arenaRoster = std::vector<RosterEntry>(1);
    std::vector<KillEvent> killEvents = std::vector<KillEvent>(1);
    std::vector<LineText> nonRedBoxedTargetLines;  // 0 .. nonRedBoxedTargetCount - 1
    std::vector<TargetCredit> targetCredits;       // one per destruction line of pass 2

    Count nextPilotSlot = 1;
    Count nextRosterSlot = 1;
    Count nextKillEvent = 1;
    Count nonRedBoxedTargetCount = 0;

    Count alliedInGame = 0;
    Count hunInGame = 0;
    Count maxAlliedInGame = 0;
    Count maxHunInGame = 0;
    Count alliedOverMaxPenalty = 0;

    // Option flags: off at program start; the window's load handler (and the
    // headless runner) set them before the run.
    bool overMaxPilotCorrection = false;
    bool multiDeathCorrection = false;
    bool fighterTargetCorrection = false;
    bool redBoxedOnly = false;

    // Told what the passes see and do, when set (not touched by a reset).
    TallyObserver* observer = nullptr;

    RunValues run;

    // Pilot slot `slot` (1-based).
    PilotRecord& pilot(std::size_t slot) { return pilotTable[slot]; }
    std::size_t pilotCount() const { return pilotTable.size() - 1; }

    // Adds a pilot record at nextPilotSlot with `name` and `team`; returns its slot.
    std::size_t addPilot(std::string_view name, Count team);
    // Adds a roster entry at nextRosterSlot; returns its slot.
    std::size_t addRosterEntry(std::string_view name, Count team);

    // Sets the values that a run sets at its start; tables, point values,
    // result slots and option flags are left as they are.
    void resetForRun();
};

}  // namespace vorskal
