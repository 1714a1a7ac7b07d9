#include "tally/target_pass.h"

#include "base/text.h"
#include "points/identify_target.h"
#include "tally/observer.h"

namespace vorskal {

std::size_t findDestroyer(TallyState& state, std::string_view text, Count team) {
    for (const std::uint32_t slot : state.pilotsContaining(text, true)) {
        if (state.pilotTable[slot].team == team) {
            return slot;
        }
    }
    return kNoRecord;
}

void creditTargetLine(TallyState& state, PointFile& points, const LogLine& line) {
    const auto parts = takeTargetLine(line.text);
    if (!parts) {
        if (state.observer != nullptr) {
            state.observer->targetLine(line, TargetSeen{});
        }
        return;  // no " destroyed by ", or nothing after it: nothing to credit
    }
    const bool redBoxed = line.afterMarker;
    if (!redBoxed) {
        state.nonRedBoxedTargetLines.emplace_back(line.text);
        state.nonRedBoxedTargetCount =
            checkedAdd(state.nonRedBoxedTargetCount, 1, "the number of non-red boxed targets");
    }
    const PointFile::LookupEffect& found =
        IdentifyTarget(state, points, parts->locationKey, line.number);

    std::size_t slot = findDestroyer(state, parts->destroyer, state.teamCode);
    if (slot == kNoRecord) {
        slot = state.addPilot(parts->destroyer, state.teamCode);
    }
    TargetCredit credit;
    if (!(state.redBoxedOnly == 1 && !redBoxed)) {
        PilotRecord& pilot = state.pilot(slot);
        const auto what = [&] {
            return where(kMergedLogName, line.number) + "the targets of " +
                   quoted(pilot.name.view());
        };
        pilot.targetsDestroyed = checkedAdd(pilot.targetsDestroyed, 1, what);
        pilot.targetLocations += ',';
        pilot.targetLocations += parts->locationKey;
        pilot.targetPoints = checkedAdd(pilot.targetPoints, state.targetValue, what);
        credit.record = slot;
        credit.points = state.targetValue;
    }
    state.targetCredits.push_back(credit);
    if (state.observer != nullptr) {
        TargetSeen seen;
        seen.key = parts->locationKey;
        seen.inMapBlock = found.teamCode.has_value();
        seen.targetType = seen.inMapBlock ? std::string_view(found.targetType) : std::string_view{};
        seen.teamCode = state.teamCode;
        seen.points = state.targetValue;
        seen.redBoxed = redBoxed;
        seen.destroyer = slot;
        seen.credited = credit.record != kNoRecord;
        state.observer->targetLine(line, seen);
    }
}

}  // namespace vorskal
