#include "tally/target_pass.h"

#include "base/text.h"
#include "points/identify_target.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

// The first record, in slot order, whose 16-character name contains the
// destroyer's text without regard to letter case and whose team is `team`;
// kNoRecord if none.
std::size_t findDestroyer(TallyState& state, TableIndex& index, const Name& destroyer, Count team) {
    for (const std::uint32_t slot : index.pilotsContaining(state, destroyer, true)) {
        if (state.pilotTable[slot].team == team) {
            return slot;
        }
    }
    return kNoRecord;
}

}  // namespace

void creditTargetLine(TallyState& state, PointFile& points, TableIndex& index,
                      const EventLine& line) {
    if (!line.target) {
        if (state.observer != nullptr) {
            state.observer->targetLine(line, TargetSeen{});
        }
        return;  // no " destroyed by ", or nothing after it: nothing to credit
    }
    const std::string_view key = line.target->locationKey.view();
    const bool redBoxed = line.afterMarker;
    if (!redBoxed) {
        state.nonRedBoxedTargetLines.push_back(line.text);
        state.nonRedBoxedTargetCount =
            checkedAdd(state.nonRedBoxedTargetCount, 1, "the number of non-red boxed targets");
    }
    const PointFile::LookupEffect& found = IdentifyTarget(state, points, key, line.number);

    std::size_t slot = findDestroyer(state, index, line.target->destroyer, state.teamCode);
    if (slot == kNoRecord) {
        slot = state.addPilot(line.target->destroyer.text, state.teamCode);
    }
    TargetCredit credit;
    if (!(state.redBoxedOnly && !redBoxed)) {
        PilotRecord& pilot = state.pilot(slot);
        const auto what = [&] {
            return where(kMergedLogName, line.number) + "the targets of " +
                   quoted(pilot.name.view());
        };
        pilot.targetsDestroyed = checkedAdd(pilot.targetsDestroyed, 1, what);
        pilot.targetLocations += ',';
        pilot.targetLocations += key;
        pilot.targetPoints = checkedAdd(pilot.targetPoints, state.targetValue, what);
        credit.record = slot;
        credit.points = state.targetValue;
    }
    state.targetCredits.push_back(credit);
    if (state.observer != nullptr) {
        TargetSeen seen;
        seen.key = key;
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
