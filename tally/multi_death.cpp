#include "tally/multi_death.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "base/report_layout.h"
#include "base/text.h"
#include "base/time_of_day.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

void takeBack(TallyState& state, const KillEvent& event) {
    PilotRecord& dead = state.pilot(event.deathRecord);
    dead.deaths =
        checkedSub(dead.deaths, 1, [&] { return "the deaths of " + quoted(dead.name.view()); });
    if (event.killRecord != kNoRecord) {
        PilotRecord& killer = state.pilot(event.killRecord);
        killer.kills = checkedSub(killer.kills, 1,
                                  [&] { return "the kills of " + quoted(killer.name.view()); });
    }
}

}  // namespace

void writeMultiDeathSection(TallyState& state, ReportStream& report, LineSource& lines) {
    const auto field = [&](const KillEvent& event) {
        FixedText<kLineFieldWidth> text;
        text.store(lines.start(event.line, kLineFieldWidth));
        return std::string(text.view());
    };
    const auto whole = [&](const KillEvent& event) {
        std::string text;
        lines.forEachPiece(event.line, [&](std::string_view piece) { text.append(piece); });
        return text;
    };
    report.writeLine(layout::kMultiDeathSection.title);
    report.writeLine(layout::kMultiDeathSection.rule);
    report.spacer();
    if (!state.multiDeathCorrection) {
        return;
    }

    // The kill events of each victim prefix, in log order.
    std::unordered_map<std::string_view, std::vector<std::size_t>> deathsOf;
    for (std::size_t e = 1; e < state.killEvents.size(); ++e) {
        deathsOf[state.killEvents[e].victim.view().substr(0, kNamePrefixWidth)].push_back(e);
    }

    for (std::size_t slot = 1; slot <= state.pilotCount(); ++slot) {
        const std::string_view prefix = state.pilot(slot).name.view().substr(0, kNamePrefixWidth);
        const auto group = deathsOf.find(prefix);
        if (group == deathsOf.end()) {
            continue;  // no deaths, or this prefix was scanned at an earlier record
        }
        const std::vector<std::size_t> events = std::move(group->second);
        deathsOf.erase(group);
        const KillEvent* previous = nullptr;
        for (const std::size_t e : events) {
            const KillEvent& event = state.killEvents[e];
            if (previous != nullptr) {
                std::int32_t difference = event.time - previous->time;
                if (difference < 0) {
                    difference += kSecondsPerDay;
                }
                if (difference >= 0 && difference <= kMultiDeathSeconds) {
                    report.writeLine(layout::kMultiDeathWarning);
                    report.writeLine(field(*previous));
                    report.writeLine(field(event));
                    takeBack(state, event);
                    if (state.observer != nullptr) {
                        state.observer->multiDeath(*previous, event, whole(*previous),
                                                   whole(event));
                    }
                }
            }
            previous = &event;
        }
    }
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
