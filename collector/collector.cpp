#include "collector/collector.h"

#include <algorithm>

#include "base/failure.h"
#include "base/searcher.h"
#include "base/text.h"
#include "base/time_of_day.h"
#include "collector/checks.h"
#include "collector/facts.h"
#include "collector/finding_order.h"
#include "logs/log_line.h"
#include "results/address_mask.h"
#include "tally/arena_pass.h"

namespace vorskal::collector {
namespace {

int sideIndex(Count team) {
    return team == kTeamAllied ? 0 : 1;
}

// The aircraft a kill line names after a pilot's 16-character name: the
// text from `from` up to `end` (npos: the line's end), without the blanks
// around it.
std::string aircraftIn(std::string_view line, std::size_t from, std::size_t end) {
    if (end == npos || end > line.size()) {
        end = line.size();
    }
    if (from >= end) {
        return "";
    }
    std::string_view text = line.substr(from, end - from);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == npos) {
        return "";
    }
    text = text.substr(first);
    return std::string(trimRight(text));
}

}  // namespace

Collector::Collector(results::GameResults& results, const TallyState& state)
    : results_(results), state_(state) {
    if (results_.gatherFingerprints) {
        mergedDigest_ = std::make_unique<MergedLogDigest>();
    }
}

void Collector::pieceBytes(std::string_view) {
    // A numbered log's bytes are not hashed: the game's fingerprint is the
    // merged log's, which holds them all.
}

void Collector::mergedBytes(std::string_view bytes) {
    mergedBytes_ += bytes.size();
    if (mergedDigest_) {
        mergedDigest_->add(bytes);
    }
}

void Collector::pieceDone(const Piece& piece) {
    results_.inputs.push_back({piece.name, piece.bytes, piece.lines, ""});
    mergedLines_ += piece.lines;
    if (mergedDigest_) {
        mergedDigest_->mark(mergedBytes_, mergedLines_);
    }

    if (piece.firstTimedLine != 0) {
        const std::string first = shownTime(piece.firstTimed, piece.name, piece.firstTimedLine);
        if (results_.firstTime.empty() && !first.empty()) {
            results_.firstTime = first;
            results_.gameDate = std::string(trimRight(piece.firstTimed.substr(0, 8)));
        }
        const auto dateOf = [](std::string_view line) {
            return std::string(trimRight(line.substr(0, 8)));
        };
        if (!previousEnd_.time.empty() && !first.empty()) {
            if (auto finding =
                    logOrderFinding(previousName_, previousEnd_, piece.name, piece.firstTimedLine,
                                    {dateOf(piece.firstTimed), first})) {
                logWarnings_.push_back(*std::move(finding));
            }
        }
        const std::string last = piece.lastTimedLine == piece.firstTimedLine
                                     ? first
                                     : shownTime(piece.lastTimed, piece.name, piece.lastTimedLine);
        if (!last.empty()) {
            previousEnd_ = {dateOf(piece.lastTimed), last};
            previousName_ = piece.name;
            results_.lastTime = last;
        }
    }
}

std::string Collector::shownTime(std::string_view line, const std::string& file,
                                 std::uint64_t number) {
    if (const std::optional<std::string_view> time = timeOfDayOf(line)) {
        return std::string(*time);
    }
    // A time the tally cannot read stops the run at that line, which says
    // so; only one that it reads and counts is worth the warning.
    if (timeOfLine(line).seconds) {
        noteBadTime(file, number);
    }
    return "";
}

std::string Collector::shownTime(const EventLine& line) {
    if (const std::optional<std::string_view> time = line.timeOfDay()) {
        return std::string(*time);
    }
    if (line.time().seconds) {
        noteBadTime(std::string(kMergedLogName), line.number);
    }
    return "";
}

void Collector::noteBadTime(const std::string& file, std::uint64_t number) {
    if (badTimes_++ == 0) {
        firstBadTime_ = {file, number};
    }
}

std::string Collector::pilotName(std::size_t slot) const {
    return std::string(trimRight(state_.pilotTable[slot].name.view()));
}

results::Side Collector::sideOfSlot(std::size_t slot) const {
    return sideOfTeam(state_.pilotTable[slot].team);
}

void Collector::targetLine(const EventLine& line, const TargetSeen& seen) {
    if (seen.destroyer != kNoRecord && !seen.inMapBlock) {
        Seen& found = notInMap_[std::string(seen.key)];
        if (found.count++ == 0) {
            found.line = line.number;
        }
    }
    if (seen.destroyer != kNoRecord && seen.credited &&
        sideOfSlot(seen.destroyer) == results::Side::Unknown) {
        pilotNotes_.targets.try_emplace(
            seen.destroyer,
            PilotNotes::Target{line.number, std::string(seen.key), seen.teamCode, seen.inMapBlock});
    }
    if (!results_.gatherRows) {
        return;
    }
    results::TargetRow row;
    row.line = line.number;
    row.text = std::string(line.wholeText());
    if (!results_.showAddresses) {
        results::maskAddressesIn(row.text);
    }
    row.key = std::string(seen.key);
    row.targetType = std::string(seen.targetType);
    row.team = sideOfTeam(seen.teamCode);
    row.teamCode = seen.teamCode;
    row.points = seen.points;
    row.redBoxed = seen.redBoxed;
    if (seen.destroyer == kNoRecord) {
        row.reason = "the line names no destroyer";
    } else if (!seen.credited) {
        row.reason = "not red boxed, and only red boxed targets are tallied";
    } else {
        row.pilot = pilotName(seen.destroyer);
    }
    if (results_.rowSink != nullptr) {
        results_.rowSink->target(row);
    } else {
        results_.targets.push_back(std::move(row));
    }
}

void Collector::arenaCounted(const EventLine& line, Count team, bool entry, std::string_view pilot,
                             Count inGameAfter) {
    if (entry && (inGameAfter == kFirstOverMax || inGameAfter == kSecondOverMax)) {
        reached_[sideIndex(team)][inGameAfter - kFirstOverMax] = {line.number,
                                                                  std::string(line.wholeText())};
    }
    // Looked at with rows or without, so that the warnings are the same.
    std::string time = shownTime(line);
    if (!results_.gatherRows) {
        return;
    }
    results::ArenaEvent row;
    row.line = line.number;
    row.time = std::move(time);
    row.seconds = secondsOfDay(row.time).value_or(0);
    row.side = sideOfTeam(team);
    row.entry = entry;
    row.pilot = std::string(trimRight(pilot));
    row.inGameAfter = inGameAfter;
    if (results_.rowSink != nullptr) {
        results_.rowSink->arenaEvent(row);
    } else {
        results_.arena.push_back(std::move(row));
    }
}

void Collector::unknownAircraft(const EventLine& line, std::string_view aircraft) {
    Seen& found = unknownTypes_[std::string(aircraft)];
    if (found.count++ == 0) {
        found.line = line.number;
    }
}

// Corrections are made once the points per kill and death are final: the
// lookups of pass 2 are the last to set them.
void Collector::addCorrection(results::Correction correction) {
    if (!results_.gatherRows) {
        return;
    }
    for (results::Move& move : correction.moves) {
        move.points = pointsOfMove(move, state_.killPoints, state_.deathPoints);
    }
    if (!results_.showAddresses) {
        for (results::EvidenceLine& line : correction.evidence) {
            results::maskAddressesIn(line.text);
        }
        results::maskAddressesIn(correction.note);
    }
    ++correctionsAdded_;
    if (results_.rowSink != nullptr) {
        results_.rowSink->correction(correction);
    } else {
        results_.corrections.push_back(std::move(correction));
    }
}

void Collector::overMaxSettled(const EventLine& line, Count team, int pilotNumber, double minutes,
                               std::int64_t deduction) {
    const results::EvidenceLine& start = reached_[sideIndex(team)][pilotNumber - kFirstOverMax];
    results::OverMaxStretch stretch;
    stretch.side = sideOfTeam(team);
    stretch.pilotNumber = pilotNumber;
    // Both are arena lines, whose times arenaCounted has looked at.
    stretch.start = std::string(timeOfDayOf(start.text).value_or(""));
    stretch.end = std::string(line.timeOfDay().value_or(""));
    stretch.minutes = minutes;
    stretch.points = deduction;
    results_.overMax.push_back(stretch);

    results::Correction correction;
    correction.kind = results::CorrectionKind::OverMax;
    correction.applied = true;
    correction.evidence = {start, {line.number, std::string(line.wholeText())}};
    correction.moves.push_back(
        {"", stretch.side, results::MoveField::OverMaxPenalty, deduction, -deduction});
    addCorrection(std::move(correction));
}

void Collector::multiDeath(const KillEvent& previous, const KillEvent& event,
                           const std::string& previousLine, const std::string& eventLine) {
    takenBack_.push_back(event);
    results::Correction correction;
    correction.kind = results::CorrectionKind::MultiDeath;
    correction.applied = true;
    correction.evidence = {{previous.lineNumber, previousLine}, {event.lineNumber, eventLine}};
    correction.moves.push_back({pilotName(event.deathRecord), sideOfSlot(event.deathRecord),
                                results::MoveField::Deaths, -1, 0});
    if (event.killRecord != kNoRecord) {
        correction.moves.push_back({pilotName(event.killRecord), sideOfSlot(event.killRecord),
                                    results::MoveField::Kills, -1, 0});
    }
    addCorrection(std::move(correction));
    takenBackBy_.emplace_back(event.lineNumber, correctionsAdded_);
}

void Collector::fighterTarget(const EventLine& line, std::size_t slot, bool fighter, bool takenBack,
                              Count points) {
    results::Correction correction;
    correction.kind = results::CorrectionKind::FighterTarget;
    correction.applied = takenBack;
    correction.evidence = {{line.number, std::string(line.wholeText())}};
    if (takenBack) {
        const std::string name = pilotName(slot);
        correction.moves.push_back(
            {name, sideOfSlot(slot), results::MoveField::TargetsDestroyed, -1, 0});
        correction.moves.push_back(
            {name, sideOfSlot(slot), results::MoveField::TargetPoints, -points, 0});
    }
    correction.note = results::fighterTargetNote(fighter, takenBack);
    addCorrection(std::move(correction));
}

void Collector::killerOrVictimWithoutSide(std::uint64_t lineNumber, std::size_t slot,
                                          std::string_view field) {
    pilotNotes_.withoutSide.try_emplace(slot, PilotNotes::Line{lineNumber, std::string(field)});
}

void Collector::nameJoinedToRecord(std::uint64_t lineNumber, std::size_t slot,
                                   std::string_view name) {
    std::vector<PilotNotes::Line>& names = pilotNotes_.joined[slot];
    const std::string logged(trimRight(name));
    for (const PilotNotes::Line& known : names) {
        if (known.text == logged) {
            return;
        }
    }
    names.push_back({lineNumber, logged});
}

void Collector::listKills(LineSource& lines) {
    if (!results_.gatherRows) {
        return;
    }
    // The correction takes back a pilot's deaths in turn, not in log order.
    std::sort(takenBackBy_.begin(), takenBackBy_.end());
    auto taken = takenBackBy_.begin();
    static const Searcher awardedTo(kAwardedTo, true);
    std::string text;
    results::KillRow row;
    for (std::size_t e = 1; e < state_.killEvents.size(); ++e) {
        const KillEvent& event = state_.killEvents[e];
        text.clear();
        lines.forEachPiece(event.line, [&](std::string_view piece) { text.append(piece); });
        const std::string_view line = text;
        const std::size_t awarded = awardedTo.find(line);
        row.line = event.lineNumber;
        row.time = std::string(timeOfDayOf(line).value_or(""));
        row.victim = pilotName(event.deathRecord);
        row.victimSide = sideOfSlot(event.deathRecord);
        row.victimAircraft = aircraftIn(line, kVictimColumn - 1 + kNameWidth, awarded);
        row.selfKill = event.selfKill;
        row.killer.reset();
        row.killerAircraft.clear();
        row.killerSide = results::Side::Unknown;
        // A self-kill is counted to no killer: the victim's record stands for him.
        if (const std::size_t killer = event.selfKill ? event.deathRecord : event.killRecord;
            killer != kNoRecord) {
            row.killer = pilotName(killer);
            row.killerSide = sideOfSlot(killer);
            if (awarded != npos) {
                row.killerAircraft =
                    aircraftIn(line, awarded + kAwardedTo.size() + kNameWidth, npos);
            }
        }
        if (!results_.showAddresses) {
            results::maskAddressesIn(row.victimAircraft);
            results::maskAddressesIn(row.killerAircraft);
        }
        row.takenBackBy.reset();
        if (taken != takenBackBy_.end() && taken->first == event.lineNumber) {
            row.takenBackBy = taken->second;
            ++taken;
        }
        if (results_.rowSink != nullptr) {
            results_.rowSink->kill(row);
        } else {
            results_.kills.push_back(row);
        }
    }
    results_.killsListed = true;
}

void Collector::finish(FileService& files, bool merged, bool completed) {
    std::string mergedSha256;
    if (mergedDigest_) {
        mergedSha256 = mergedDigest_->finish();
        results_.mergedStarts = mergedDigest_->marks();
        mergedDigest_.reset();
    }
    readFinalState(results_, state_);
    if (merged) {
        // The settings file's facts, then the merged log's, after the numbered logs.
        results_.inputs.push_back(fileFacts(files, "vorskal.ini", results_.gatherFingerprints));
        results_.inputs.push_back(
            {std::string(kMergedLogName), mergedBytes_, mergedLines_, mergedSha256});
    }

    addTakenBack(results_, state_, takenBack_);
    if (!completed) {
        return;
    }

    std::vector<results::Warning>& warnings = results_.warnings;
    checkPointFile(files, results_, warnings);
    if (merged) {
        // Logs left out of a merge that stopped early are not beyond a gap.
        checkNumberedLogs(files, results_, warnings);
    }
    warnings.insert(warnings.end(), logWarnings_.begin(), logWarnings_.end());
    for (const auto& [key, seen] : notInMap_) {
        const std::string number = key.substr(key.find('#') + 1);
        warnings.push_back(
            {"target-not-in-map", std::string(kMergedLogName), seen.line,
             "target " + key + " (destroyed " + std::to_string(seen.count) +
                 (seen.count == 1 ? " time" : " times") + ") is not in the block of map \"" +
                 results_.settings.map +
                 "\": it got the team and points that the lookup before it left; add a line "
                 "such as \"" +
                 number + "-Type,Team\" to that block",
             "#" + number, false});
    }
    for (const auto& [aircraft, seen] : unknownTypes_) {
        warnings.push_back({"unknown-aircraft", std::string(kMergedLogName), seen.line,
                            "no team rule recognises the aircraft \"" + aircraft + "\" (" +
                                std::to_string(seen.count) +
                                (seen.count == 1 ? " entry" : " entries") +
                                "): its pilots are counted for neither side in the arena",
                            aircraft, false});
    }
    checkPilots(state_, pilotNotes_, results_.settings.map, warnings);

    // Kills and deaths at a time outside the day stay out of the timeline.
    for (std::size_t e = 1; e < state_.killEvents.size(); ++e) {
        if (!withinDay(state_.killEvents[e].time)) {
            noteBadTime(std::string(kMergedLogName), state_.killEvents[e].lineNumber);
        }
    }
    if (badTimes_ > 0) {
        warnings.push_back(
            {"time-out-of-range", firstBadTime_.first, firstBadTime_.second,
             "the time of day at columns 10 to 17 is not one from 00:00:00 to 23:59:59 (" +
                 std::to_string(badTimes_) + (badTimes_ == 1 ? " line" : " lines") +
                 " in all): the results give no time for such a line, and the timeline leaves "
                 "out its kills and deaths; the report counts them as the tally read them",
             "", false});
    }
    settleFindings(warnings, accepted_);
    if (!results_.showAddresses) {
        // After the accepted findings are matched: the subject is their key.
        for (results::Warning& warning : warnings) {
            results::maskAddressesIn(warning.message);
            results::maskAddressesIn(warning.subject);
        }
    }
}

}  // namespace vorskal::collector
