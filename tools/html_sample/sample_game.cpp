#include "html_sample/sample_game.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "gen/rng.h"

namespace vorskal::sample {

using results::Side;

namespace {

constexpr int kStart = 20 * 3600;  // the game starts at 20:00:00

std::string timeText(int seconds) {
    seconds %= 24 * 3600;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string pilotName(Side side, int n) {
    if (side == Side::Allied && n == 3) {
        return "<Hawk&Co>";
    }
    char text[24];
    std::snprintf(text, sizeof text, "%s_%02d", side == Side::Allied ? "Allied" : "Hun", n);
    return text;
}

struct Movement {
    int at;
    Side side;
    int pilot;
    bool entry;
};

// Each pilot flies sorties of 10 to 60 minutes with 2 to 20 minutes between.
std::vector<Movement> movements(const SampleOptions& options, gen::Rng& rng) {
    std::vector<Movement> all;
    const int end = kStart + options.hours * 3600;
    for (const Side side : {Side::Allied, Side::Hun}) {
        for (int n = 1; n <= options.pilotsPerSide; ++n) {
            int at = kStart + rng.between(0, 900);
            while (at < end) {
                all.push_back({at, side, n, true});
                at += rng.between(600, 3600);
                if (at >= end) {
                    break;
                }
                all.push_back({at, side, n, false});
                at += rng.between(120, options.pilotsPerSide * 90);
            }
        }
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const Movement& a, const Movement& b) { return a.at < b.at; });
    return all;
}

// The arena events, and the stretches of the 17th and 18th pilot with the
// points they cost: one for every full 3 minutes.
void countArena(results::GameResults& game, const std::vector<Movement>& all) {
    std::int64_t count[3] = {0, 0, 0};
    int started[3][2] = {};
    std::uint64_t line = 100;
    for (const auto& m : all) {
        const int s = static_cast<int>(m.side);
        const std::int64_t before = count[s];
        count[s] += m.entry ? 1 : -1;
        game.arena.push_back({line += 7, timeText(m.at), m.at % (24 * 3600), m.side, m.entry,
                              pilotName(m.side, m.pilot), count[s]});
        if (m.entry && (count[s] == 17 || count[s] == 18)) {
            started[s][count[s] - 17] = m.at;
        }
        if (!m.entry && (before == 17 || before == 18)) {
            const int from = started[s][before - 17];
            const double minutes = (m.at - from) / 60.0;
            const auto points = static_cast<std::int64_t>(minutes / 3);
            game.overMax.push_back({m.side, static_cast<int>(before), timeText(from),
                                    timeText(m.at), minutes, points});
            auto& totals = m.side == Side::Allied ? game.allied : game.hun;
            totals.overMaxPenalty += points;
            game.corrections.push_back(
                {results::CorrectionKind::OverMax,
                 points != 0,
                 "The " + std::to_string(before) + "th pilot's time is settled.",
                 {{line, "12/06/26 " + timeText(m.at) + " |" + pilotName(m.side, m.pilot) +
                             " has left the arena"}},
                 {{"", m.side, results::MoveField::OverMaxPenalty, points, -points}}});
        }
    }
}

}  // namespace

results::GameResults sampleGame(const SampleOptions& options) {
    gen::Rng rng(options.seed);
    results::GameResults game;
    game.toolVersion = "3.40";
    game.run.startedAt = "2026-12-06T23:41:07+01:00";
    game.run.directory = "/srv/ux7/game";
    game.settings = {"Verdun & Flanders", 10, -5, {{"Bridge", 15}, {"Depot", 25}}};
    game.gameDate = "12/06/26";
    game.firstTime = timeText(kStart);
    game.lastTime = timeText(kStart + options.hours * 3600);
    game.inputs = {{"ux7server0.log", 1048576, 9000, std::string(64, 'a')},
                   {"vorskal.ini", 812, 30, std::string(64, 'b')}};
    countArena(game, movements(options, rng));

    for (int minute = kStart / 60; minute < kStart / 60 + options.hours * 60; ++minute) {
        if (!rng.chance(400)) {
            continue;
        }
        const auto allied = static_cast<std::int64_t>(rng.between(0, 3));
        const auto hun = static_cast<std::int64_t>(rng.between(0, 3));
        game.timeline.push_back({minute % (24 * 60), allied, hun, hun, allied});
    }
    for (const Side side : {Side::Allied, Side::Hun}) {
        auto& totals = side == Side::Allied ? game.allied : game.hun;
        for (int n = 1; n <= options.pilotsPerSide; ++n) {
            results::PilotRow pilot;
            pilot.name = pilotName(side, n);
            pilot.team = side;
            pilot.teamCode = side == Side::Allied ? 1 : 2;
            pilot.kills = rng.between(0, 12);
            pilot.deaths = rng.between(0, 8);
            if (rng.chance(300)) {
                pilot.targetsDestroyed = 1;
                pilot.targetPoints = 15;
                pilot.locations = {"#" + std::to_string(rng.between(10, 99))};
            }
            pilot.score = pilot.kills * 10 - pilot.deaths * 5 + pilot.targetPoints;
            totals.kills += pilot.kills;
            totals.deaths += pilot.deaths;
            totals.targetsDestroyed += pilot.targetsDestroyed;
            totals.targetPoints += pilot.targetPoints;
            totals.score += pilot.score;
            game.pilots.push_back(pilot);
        }
        totals.final = totals.score - totals.overMaxPenalty;
    }
    game.pilots.push_back({"Observer", Side::Unknown, 0, 1, 2, 0, 0, {}, 0});
    game.corrections.insert(
        game.corrections.begin(),
        {results::CorrectionKind::MultiDeath,
         true,
         "Hun_04's death was logged again 9 seconds later: the second death and kill are "
         "taken back.",
         {{2210, "12/06/26 20:41:10 Kill of Hun_04          FOKKER_DVII awarded to Allied_02"},
          {2214, "12/06/26 20:41:19 Kill of Hun_04          FOKKER_DVII awarded to Allied_02"}},
         {{"Hun_04", Side::Hun, results::MoveField::Deaths, -1, 5},
          {"Allied_02", Side::Allied, results::MoveField::Kills, -1, -10}}});
    game.targets = {{3010, "12/06/26 20:55:02 Bridge #12 destroyed by Allied_01", "#12", "Bridge",
                     Side::Allied, 1, 15, true, "Allied_01", ""},
                    {3377, "12/06/26 21:05:40 Depot #31 destroyed by Hun_07", "#31", "Depot",
                     Side::Hun, 2, 25, false, "", "not red boxed"},
                    {4102, "12/06/26 21:30:13 Hangar #77 destroyed by Hun_02", "#77", "", Side::Hun,
                     2, 0, true, "", "destroyed by a fighter"}};
    game.warnings = {{"target-not-listed", "vorskal.ini", 0,
                      "Hangar #77 is not listed for the map: it scored no points. Add it to "
                      "vorskal.ini if it should."}};
    return game;
}

}  // namespace vorskal::sample
