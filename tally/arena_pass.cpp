#include "tally/arena_pass.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "base/report_layout.h"
#include "base/text.h"
#include "base/time_of_day.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

// One side's counters, as references into the state.
struct Side {
    Count& inGame;
    Count& maxInGame;
    double& start17th;
    double& start18th;
    std::string_view name;        // "Allied" or "Hun"
    std::string_view noticeName;  // "allied" or "Hun"; also the warning's for a new roster entry
    bool allied;
};

Side sideOf(TallyState& state, Count team) {
    if (team == kTeamAllied) {
        return {state.alliedInGame,
                state.maxAlliedInGame,
                state.run.allied17thStart,
                state.run.allied18thStart,
                layout::kAllied,
                layout::kAlliedInNotices,
                true};
    }
    return {state.hunInGame,
            state.maxHunInGame,
            state.run.hun17thStart,
            state.run.hun18thStart,
            layout::kHun,
            layout::kHun,
            false};
}

bool countsForASide(Count team) {
    return team == kTeamAllied || team == kTeamHun;
}

void countIn(TallyState& state, ReportStream& report, const EventLine& line, Count team,
             bool newEntry, std::string_view pilot) {
    if (!countsForASide(team)) {
        return;
    }
    Side side = sideOf(state, team);
    side.inGame = checkedAdd(side.inGame, 1, "the pilots in game");
    if (state.observer != nullptr) {
        state.observer->arenaCounted(line, team, true, pilot, side.inGame);
    }
    if (side.inGame > side.maxInGame) {
        side.maxInGame = side.inGame;
    }
    if (side.inGame <= kMaxPilots) {
        return;
    }
    const std::string_view spelling = newEntry ? side.noticeName : side.name;
    report.writeLine(std::string(layout::kPilotsInGameWarning) + std::string(spelling) +
                     std::string(layout::kPilotsInGame) + std::to_string(side.inGame));
    line.text.writeTo(report);
    if (side.inGame == kFirstOverMax) {
        side.start17th = static_cast<double>(line.time().secondsAt(line.number));
    } else if (side.inGame == kSecondOverMax) {
        side.start18th = static_cast<double>(line.time().secondsAt(line.number));
    }
}

// Charges the time that the side's 17th (or 18th) pilot was in the game.
void settle(TallyState& state, ReportStream& report, const EventLine& line, Side& side,
            Count noticeCount, double start, std::string_view ordinal, Count team) {
    report.writeLine(std::string(layout::kPilotsInGameNotice) + std::string(side.noticeName) +
                     std::string(layout::kPilotsInGame) + std::to_string(noticeCount));
    line.text.writeTo(report);
    double seconds = static_cast<double>(line.time().secondsAt(line.number)) - start;
    if (seconds < 0) {
        seconds += double{kSecondsPerDay};  // the game went past midnight
    }
    const double minutes = seconds / 60;
    report.writeLine(std::string(layout::kOverMaxWarning) + std::string(ordinal) + " " +
                     std::string(side.name) + std::string(layout::kOverMaxMinutes) +
                     formatMinutes(minutes) + std::string(layout::kMinutes));
    const double deduction = std::floor(minutes / kMinutesPerPenaltyPoint);
    const auto points = static_cast<std::int64_t>(deduction);
    if (side.allied) {
        if (deduction > std::numeric_limits<Count>::max()) {
            throw TallyFailure("the Allied over-max deduction leaves the 32-bit range");
        }
        state.alliedOverMaxPenalty =
            checkedAdd(state.alliedOverMaxPenalty, static_cast<Count>(points),
                       "the Allied over-max deduction");
    } else {
        state.run.hunOverMaxPenalty =
            checkedAdd64(state.run.hunOverMaxPenalty, points, "the Hun over-max deduction");
    }
    report.writeLine(std::string(layout::kDeductionNotice) + std::to_string(points) +
                     std::string(layout::kDeductedFrom) + std::string(side.name) +
                     std::string(layout::kDeductionEnd));
    if (state.observer != nullptr) {
        state.observer->overMaxSettled(line, team, static_cast<int>(noticeCount) + 1, minutes,
                                       points);
    }
}

void countOut(TallyState& state, ReportStream& report, const EventLine& line, Count team,
              std::string_view pilot) {
    if (!countsForASide(team)) {
        return;
    }
    Side side = sideOf(state, team);
    side.inGame = checkedSub(side.inGame, 1, "the pilots in game");
    if (state.observer != nullptr) {
        state.observer->arenaCounted(line, team, false, pilot, side.inGame);
    }
    if (side.inGame == kFirstOverMax - 1) {
        settle(state, report, line, side, side.inGame, side.start17th, "17th", team);
    } else if (side.inGame == kSecondOverMax - 1) {
        settle(state, report, line, side, side.inGame, side.start18th, "18th", team);
    }
}

void handleEntry(TallyState& state, ReportStream& report, TableIndex& index,
                 const EventLine& line) {
    if (!line.entry) {
        return;
    }
    const EventLine::Entry& entry = *line.entry;
    const std::vector<std::uint32_t>& matches = index.rosterContaining(state, entry.name);
    const bool found = !matches.empty();
    for (const std::uint32_t slot : matches) {
        RosterEntry& pilot = state.arenaRoster[slot];
        if (pilot.inArena != 0) {
            continue;
        }
        pilot.inArena = 1;
        countIn(state, report, line, pilot.team, false, pilot.name.view());
    }
    if (found) {
        return;
    }
    state.teamCode = entry.team;  // identified from the aircraft text's first 11 characters
    if (state.observer != nullptr && state.teamCode == kTeamUnknown) {
        state.observer->unknownAircraft(line, line.wholeText().substr(entry.aircraftAt));
    }
    const std::size_t slot = state.addRosterEntry(entry.name.text, state.teamCode);
    state.arenaRoster[slot].inArena = 1;
    countIn(state, report, line, state.arenaRoster[slot].team, true,
            state.arenaRoster[slot].name.view());
}

void handleExit(TallyState& state, ReportStream& report, TableIndex& index, const EventLine& line) {
    if (!line.exit) {
        return;
    }
    for (const std::uint32_t slot : index.rosterContaining(state, *line.exit)) {
        RosterEntry& pilot = state.arenaRoster[slot];
        if (pilot.inArena == 1) {
            pilot.inArena = 0;
            countOut(state, report, line, pilot.team, pilot.name.view());
        }
    }
}

}  // namespace

std::string formatMinutes(double minutes) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", minutes);
    return buffer;
}

void writeArenaSectionHeading(ReportStream& report) {
    report.writeLine(layout::kArenaSection.title);
    report.writeLine(layout::kArenaSection.rule);
    report.spacer();
}

void trackArenaLine(TallyState& state, ReportStream& report, TableIndex& index,
                    const EventLine& line) {
    if ((line.kinds & kEntryLine) != 0) {
        handleEntry(state, report, index, line);
    } else if ((line.kinds & kExitLine) != 0) {
        handleExit(state, report, index, line);
    }
}

void writeArenaSectionClose(const TallyState& state, ReportStream& report) {
    if (state.overMaxPilotCorrection) {
        report.writeLine(std::string(layout::kMaxAlliedNotice) +
                         std::to_string(state.maxAlliedInGame));
        report.writeLine(std::string(layout::kMaxHunNotice) + std::to_string(state.maxHunInGame));
        report.spacer();
        report.writeLine(std::string(layout::kAlliedDeductedNotice) +
                         std::to_string(state.alliedOverMaxPenalty));
        report.writeLine(std::string(layout::kHunDeductedNotice) +
                         std::to_string(state.run.hunOverMaxPenalty));
    }
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
