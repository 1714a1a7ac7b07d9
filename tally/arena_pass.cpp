#include "tally/arena_pass.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "base/report_layout.h"
#include "base/text.h"
#include "tally/identify_team.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

constexpr Count kMaxPilots = 16;

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

void countIn(TallyState& state, ReportStream& report, const LogLine& line, Count team,
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
    report.writeLine(line.text);
    if (side.inGame == 17) {
        side.start17th = static_cast<double>(timeOfLine(line));
    } else if (side.inGame == 18) {
        side.start18th = static_cast<double>(timeOfLine(line));
    }
}

// Charges the time that the side's 17th (or 18th) pilot was in the game.
void settle(TallyState& state, ReportStream& report, const LogLine& line, Side& side,
            Count noticeCount, double start, std::string_view ordinal, Count team) {
    report.writeLine(std::string(layout::kPilotsInGameNotice) + std::string(side.noticeName) +
                     std::string(layout::kPilotsInGame) + std::to_string(noticeCount));
    report.writeLine(line.text);
    double seconds = static_cast<double>(timeOfLine(line)) - start;
    if (seconds < 0) {
        seconds += double{kSecondsPerDay};  // the game went past midnight
    }
    const double minutes = seconds / 60;
    report.writeLine(std::string(layout::kOverMaxWarning) + std::string(ordinal) + " " +
                     std::string(side.name) + std::string(layout::kOverMaxMinutes) +
                     formatMinutes(minutes) + std::string(layout::kMinutes));
    const double deduction = std::floor(minutes / 3);
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

void countOut(TallyState& state, ReportStream& report, const LogLine& line, Count team,
              std::string_view pilot) {
    if (!countsForASide(team)) {
        return;
    }
    Side side = sideOf(state, team);
    side.inGame = checkedSub(side.inGame, 1, "the pilots in game");
    if (state.observer != nullptr) {
        state.observer->arenaCounted(line, team, false, pilot, side.inGame);
    }
    if (side.inGame == kMaxPilots) {
        settle(state, report, line, side, kMaxPilots, side.start17th, "17th", team);
    } else if (side.inGame == kMaxPilots + 1) {
        settle(state, report, line, side, kMaxPilots + 1, side.start18th, "18th", team);
    }
}

void handleEntry(TallyState& state, ReportStream& report, const LogLine& line) {
    const auto entry = takeEntryLine(line.text);
    if (!entry) {
        return;
    }
    const std::vector<std::uint32_t>& matches = state.rosterContaining(entry->name);
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
    IdentifyTeam(state, firstChars(entry->aircraft, 11));
    if (state.observer != nullptr && state.teamCode == kTeamUnknown) {
        state.observer->unknownAircraft(line, entry->aircraft);
    }
    const std::size_t slot = state.addRosterEntry(entry->name, state.teamCode);
    state.arenaRoster[slot].inArena = 1;
    countIn(state, report, line, state.arenaRoster[slot].team, true,
            state.arenaRoster[slot].name.view());
}

void handleExit(TallyState& state, ReportStream& report, const LogLine& line) {
    const auto name = takeExitLine(line.text);
    if (!name) {
        return;
    }
    for (const std::uint32_t slot : state.rosterContaining(*name)) {
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

void trackArenaLine(TallyState& state, ReportStream& report, const LogLine& line, LineKinds kinds) {
    if ((kinds & kEntryLine) != 0) {
        handleEntry(state, report, line);
    } else if ((kinds & kExitLine) != 0) {
        handleExit(state, report, line);
    }
}

void writeArenaSectionClose(const TallyState& state, ReportStream& report) {
    if (state.overMaxPilotCorrection != 0) {
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
