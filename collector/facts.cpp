#include "collector/facts.h"

#include <algorithm>
#include <map>
#include <memory>

#include "base/failure.h"
#include "base/time_of_day.h"
#include "results/sha256.h"

namespace vorskal::collector {

bool withinDay(std::int64_t seconds) {
    return seconds >= 0 && seconds < kSecondsPerDay;
}

bool acrossMidnight(std::string_view last, std::string_view first) {
    return secondsOfDay(last).value_or(0) - secondsOfDay(first).value_or(0) > kSecondsPerDay / 2;
}

results::Side sideOfTeam(Count team) {
    if (team == kTeamAllied) {
        return results::Side::Allied;
    }
    return team == kTeamHun ? results::Side::Hun : results::Side::Unknown;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

results::FileFacts fileFacts(FileService& files, const std::string& name, bool hash) {
    results::FileFacts facts{name, 0, 0, ""};
    try {
        std::unique_ptr<InputFile> file = files.openForReading(name);
        results::Sha256 sha;
        char buffer[1 << 16];
        bool lineOpen = false;
        char previous = '\0';
        while (const std::size_t got = file->read(buffer, sizeof buffer)) {
            facts.bytes += got;
            if (hash) {
                sha.update(std::string_view(buffer, got));
            }
            // Lines as the tally reads them: ended by CR LF, a lone CR or a lone LF.
            for (std::size_t i = 0; i < got; ++i) {
                const char c = buffer[i];
                if (c == '\r' || (c == '\n' && previous != '\r')) {
                    ++facts.lines;
                    lineOpen = false;
                } else if (c != '\n') {
                    lineOpen = true;
                }
                previous = c;
            }
        }
        if (lineOpen) {
            ++facts.lines;
        }
        if (hash) {
            facts.sha256 = sha.hexDigest();
        }
    } catch (const TallyFailure&) {
        // The run itself says why the file cannot be read.
    }
    return facts;
}

namespace {

results::PilotRow pilotRow(const PilotRecord& record) {
    results::PilotRow row;
    row.name = std::string(trimRight(record.name.view()));
    row.team = sideOfTeam(record.team);
    row.teamCode = record.team;
    row.kills = record.kills;
    row.deaths = record.deaths;
    row.targetsDestroyed = record.targetsDestroyed;
    row.targetPoints = record.targetPoints;
    row.score = record.score;
    // ",#12,#7": a comma before every key.
    std::string_view rest = record.targetLocations;
    while (!rest.empty()) {
        rest.remove_prefix(1);
        const std::size_t comma = rest.find(',');
        row.locations.emplace_back(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma);
    }
    return row;
}

results::TeamTotals totalsOf(const TotalsRow& row, std::int64_t penalty) {
    results::TeamTotals totals;
    totals.kills = row.kills;
    totals.deaths = row.deaths;
    totals.targetsDestroyed = row.targetsDestroyed;
    totals.targetPoints = row.targetPoints;
    totals.score = row.score;
    totals.overMaxPenalty = penalty;
    totals.final = static_cast<std::int64_t>(row.score) - penalty;
    return totals;
}

// Counts an event's kill and death at its minute of `timeline` (in minute
// order), as logged or as taken back.
void countAtMinute(std::vector<results::MinuteCount>& timeline, const TallyState& state,
                   const KillEvent& event, bool takenBack) {
    if (!withinDay(event.time)) {
        return;
    }
    const std::int32_t minute = event.time / 60;
    auto at = std::lower_bound(
        timeline.begin(), timeline.end(), minute,
        [](const results::MinuteCount& count, std::int32_t value) { return count.minute < value; });
    if (at == timeline.end() || at->minute != minute) {
        at = timeline.insert(at, results::MinuteCount{});
        at->minute = minute;
    }
    const auto add = [&](std::size_t slot, std::int64_t results::MinuteCount::*allied,
                         std::int64_t results::MinuteCount::*hun) {
        if (slot == kNoRecord) {
            return;
        }
        const Count team = state.pilotTable[slot].team;
        if (team == kTeamAllied) {
            ++((*at).*allied);
        } else if (team == kTeamHun) {
            ++((*at).*hun);
        }
    };
    if (takenBack) {
        add(event.killRecord, &results::MinuteCount::alliedKillsTakenBack,
            &results::MinuteCount::hunKillsTakenBack);
        add(event.deathRecord, &results::MinuteCount::alliedDeathsTakenBack,
            &results::MinuteCount::hunDeathsTakenBack);
    } else {
        add(event.killRecord, &results::MinuteCount::alliedKills, &results::MinuteCount::hunKills);
        add(event.deathRecord, &results::MinuteCount::alliedDeaths,
            &results::MinuteCount::hunDeaths);
    }
}

}  // namespace

std::int64_t pointsOfMove(const results::Move& move, Count killPoints, Count deathPoints) {
    switch (move.field) {
        case results::MoveField::Kills:
            return move.by * killPoints;
        case results::MoveField::Deaths:
            return move.by * deathPoints;
        case results::MoveField::TargetPoints:
            return move.by;
        case results::MoveField::OverMaxPenalty:
            return -move.by;
        case results::MoveField::TargetsDestroyed:
            break;
    }
    return 0;
}

void readFinalState(results::GameResults& results, const TallyState& state) {
    results::RunFacts& run = results.run;
    run.overMaxPilotCorrection = state.overMaxPilotCorrection;
    run.multiDeathCorrection = state.multiDeathCorrection;
    run.fighterTargetCorrection = state.fighterTargetCorrection;
    run.redBoxedOnly = state.redBoxedOnly;

    results.settings.map = state.mapName;
    results.settings.killPoints = state.killPoints;
    results.settings.deathPoints = state.deathPoints;

    // Report order: the Allied table, the Hun table, then every other team code.
    results.pilots.clear();
    for (const int pass : {0, 1, 2}) {
        for (std::size_t slot = 1; slot < state.pilotTable.size(); ++slot) {
            const PilotRecord& record = state.pilotTable[slot];
            const int table = record.team == kTeamAllied ? 0 : record.team == kTeamHun ? 1 : 2;
            if (table == pass) {
                results.pilots.push_back(pilotRow(record));
            }
        }
    }
    results.allied = totalsOf(state.alliedTotals, state.alliedOverMaxPenalty);
    results.hun = totalsOf(state.hunTotals, state.run.hunOverMaxPenalty);

    // Kills and deaths per minute, as logged; a time the tally read as
    // outside the day has no minute (the collector warns of it).
    results.timeline.clear();
    for (std::size_t e = 1; e < state.killEvents.size(); ++e) {
        countAtMinute(results.timeline, state, state.killEvents[e], false);
    }
}

void addTakenBack(results::GameResults& results, const TallyState& state,
                  const std::vector<KillEvent>& events) {
    for (const KillEvent& event : events) {
        countAtMinute(results.timeline, state, event, true);
    }
}

}  // namespace vorskal::collector
