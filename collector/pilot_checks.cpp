#include "collector/pilot_checks.h"

#include <algorithm>

#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/text.h"
#include "collector/facts.h"
#include "logs/log_line.h"
#include "tally/identify_team.h"

namespace vorskal::collector {
namespace {

const std::string kMerged(kMergedLogName);
const std::string kNeitherSide =
    "is listed under \"Unable to determine team\" and counts for neither side: ";

std::string nameOf(const PilotRecord& record) {
    return std::string(trimRight(record.name.view()));
}

std::string firstWord(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return "";
    }
    text.remove_prefix(start);
    return std::string(text.substr(0, text.find(' ')));
}

// A record of no known side from a kill line: `field` is the name and what
// follows it, of which the team rule read the first 26 characters.
results::Warning withoutSide(const std::string& name, const PilotNotes::Line& noted) {
    const std::string_view field = noted.text;
    const std::string logged = firstWord(field);
    const bool overflows = logged.size() > kNameWidth;
    if (overflows && teamOf(field) != kTeamUnknown) {
        const std::string aircraft = firstWord(field.substr(field.find(logged) + logged.size()));
        return {"long-name",
                kMerged,
                noted.line,
                "pilot " + quoted(logged) + " has a name of " + std::to_string(logged.size()) +
                    " characters, more than the " + std::to_string(kNameWidth) +
                    " of its field: the team rule reads the 26 characters from the name's start, "
                    "which no longer hold the aircraft " +
                    quoted(aircraft) + " after it, so the pilot " + kNeitherSide +
                    "a name of at most 16 characters is read whole (listed as " + quoted(name) +
                    ")",
                name,
                false};
    }
    const std::string aircraft =
        firstWord(overflows ? field.substr(field.find(logged) + logged.size())
                            : field.substr(std::min(field.size(), kNameWidth)));
    std::string why;
    if (aircraft.empty()) {
        why = "the kill line names no aircraft after the pilot, as for the anti-aircraft guns";
    } else {
        why = "no team rule recognises the aircraft " + quoted(aircraft) +
              " (they know FOKKE, ALBAT, PFALZ and HALBE for Hun, SOPWI, NIEUP, SPAD, MORAN, "
              "AIRCO and SE5A for Allied, in capitals, within the 26 characters from the "
              "name's start)";
    }
    return {"unknown-aircraft",
            kMerged,
            noted.line,
            "pilot " + quoted(name) + " " + kNeitherSide + why,
            name,
            false};
}

results::Warning targetTeam(const std::string& name, const PilotNotes::Target& target,
                            const std::string& map) {
    std::string why = "the target " + target.key + " credited to the pilot ";
    if (target.inMapBlock) {
        why += "has the team code " + std::to_string(target.teamCode) + " in the block of map " +
               quoted(map) + ", where only 1 (Allied) and 2 (Hun) count; correct its line there";
    } else {
        why += "is not in the block of map " + quoted(map) + ", so it got the team code " +
               std::to_string(target.teamCode) +
               " that the lookup before it left; add its line to that block";
    }
    return {"target-team-code",
            kMerged,
            target.line,
            "pilot " + quoted(name) + " " + kNeitherSide + why,
            name,
            false};
}

results::Warning joinedNames(const PilotRecord& record,
                             const std::vector<PilotNotes::Line>& names) {
    const std::string prefix(trimRight(firstChars(record.name.view(), kNamePrefixWidth)));
    std::string listed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        listed += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + quoted(names[i].text);
    }
    const std::string name = nameOf(record);
    const char* side = record.team == kTeamAllied ? "Allied "
                       : record.team == kTeamHun  ? "Hun "
                                                  : "";
    return {"names-merged",
            kMerged,
            names.front().line,
            "pilots " + listed + " are counted as one with " + quoted(name) + ", in the " + side +
                "record " + quoted(name) +
                ": the tally knows a pilot by the first 11 characters of the name, " +
                quoted(prefix) +
                ", and the side; if they are two pilots, one must fly under a name that differs "
                "within its first 11 characters",
            prefix,
            false};
}

// Names with a record on each side, and whether the kill lines show one
// change of sides: every line of one side's record before every line of
// the other's.
void bothSides(const TallyState& state, std::vector<results::Warning>& warnings) {
    struct Pair {
        std::size_t allied = kNoRecord;
        std::size_t hun = kNoRecord;
        int last = 0;            // side of the pilot's latest kill line: 1 or 2, 0 before any
        int changes = 0;         // from one side's aircraft to the other's
        std::uint64_t back = 0;  // the line of the second change
        bool seen[3] = {false, false, false};
    };
    std::map<std::string, Pair> names;
    for (std::size_t slot = 1; slot < state.pilotTable.size(); ++slot) {
        const PilotRecord& record = state.pilotTable[slot];
        if (record.team == kTeamAllied) {
            names[nameOf(record)].allied = slot;
        } else if (record.team == kTeamHun) {
            names[nameOf(record)].hun = slot;
        }
    }
    std::map<std::size_t, Pair*> bySlot;
    for (auto& [name, pair] : names) {
        if (pair.allied != kNoRecord && pair.hun != kNoRecord) {
            bySlot[pair.allied] = &pair;
            bySlot[pair.hun] = &pair;
        }
    }
    if (bySlot.empty()) {
        return;
    }
    for (std::size_t e = 1; e < state.killEvents.size(); ++e) {
        const KillEvent& event = state.killEvents[e];
        for (const std::size_t slot : {event.deathRecord, event.killRecord}) {
            const auto found = bySlot.find(slot);
            if (found == bySlot.end()) {
                continue;
            }
            Pair& pair = *found->second;
            const int side = slot == pair.allied ? 1 : 2;
            if (pair.last != 0 && side != pair.last && ++pair.changes == 2) {
                pair.back = event.lineNumber;
            }
            pair.last = side;
            pair.seen[side] = true;
        }
    }
    for (const auto& [name, pair] : names) {
        if (pair.allied == kNoRecord || pair.hun == kNoRecord || pair.changes == 1) {
            continue;
        }
        std::string why;
        if (pair.changes >= 2) {
            why =
                "the kill lines go from one side's aircraft to the other's and back (back at "
                "this line)";
        } else if (pair.seen[1] || pair.seen[2]) {
            why = std::string("the ") + (pair.seen[1] ? "Hun" : "Allied") +
                  " record holds no kill line: a target of that side was credited to the name";
        } else {
            why =
                "neither record holds a kill line: targets of both sides were credited to the "
                "name";
        }
        warnings.push_back(
            {"both-sides", kMerged, pair.back,
             "pilot " + quoted(name) +
                 " is listed on both sides, and the log does not show one change of sides: " + why +
                 "; make sure this is one pilot and not two pilots of one name (each side's table "
                 "holds the points of that side's aircraft)",
             name, false});
    }
}

}  // namespace

void checkPilots(const TallyState& state, const PilotNotes& notes, const std::string& map,
                 std::vector<results::Warning>& warnings) {
    for (std::size_t slot = 1; slot < state.pilotTable.size(); ++slot) {
        const PilotRecord& record = state.pilotTable[slot];
        const std::string name = nameOf(record);
        if (const auto joined = notes.joined.find(slot); joined != notes.joined.end()) {
            warnings.push_back(joinedNames(record, joined->second));
        }
        if (record.team == kTeamAllied || record.team == kTeamHun) {
            continue;
        }
        if (const auto noted = notes.withoutSide.find(slot); noted != notes.withoutSide.end()) {
            warnings.push_back(withoutSide(name, noted->second));
        } else if (const auto target = notes.targets.find(slot); target != notes.targets.end()) {
            warnings.push_back(targetTeam(name, target->second, map));
        } else {
            warnings.push_back({"unknown-aircraft", kMerged, 0,
                                "pilot " + quoted(name) + " (team code " +
                                    std::to_string(record.team) + ") " + kNeitherSide +
                                    "no team rule recognises the pilot's aircraft",
                                name, false});
        }
    }
    bothSides(state, warnings);
}

}  // namespace vorskal::collector
