// The game generator: the same bytes for the same seed, server log lines of
// the shape the tally reads, every feature of a game present, and nothing
// that stops a tally.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "gen/generator.h"
#include "tests/support/game_dir.h"

namespace {

using vorskal::gen::GameOptions;
using vorskal::gen::MemorySink;

constexpr std::string_view kEntry = " has entered the arena, flying a ";
constexpr std::string_view kExit = " has left the arena";
constexpr std::string_view kMarker = "Selected target destroyed and removed ";

std::vector<std::string_view> splitCrlf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find("\r\n", begin);
        if (end == std::string_view::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

bool has(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

int digitsAt(std::string_view line, std::size_t at) {
    if (!std::isdigit(static_cast<unsigned char>(line[at])) ||
        !std::isdigit(static_cast<unsigned char>(line[at + 1]))) {
        return -1;
    }
    return (line[at] - '0') * 10 + (line[at + 1] - '0');
}

// Team of an aircraft type: 1 Allied, 2 Hun, 0 for a type the game has not.
int teamOf(std::string_view aircraft) {
    static const std::map<std::string_view, int> kTeams = {
        {"SOPWITH_CAMEL", 1}, {"SPAD13", 1},     {"SE5A", 1},
        {"NIEUPORT_17", 1},   {"AIRCO_DH4", 1},  {"FOKKER_DVII", 2},
        {"ALBATROS_DII", 2},  {"PFALZ_DIII", 2}, {"HALBERSTADT_CL2", 2}};
    const auto found = kTeams.find(aircraft);
    return found == kTeams.end() ? 0 : found->second;
}

// The flown map's target numbers, read from the point-value file: after the
// map line, the block under the heading holding the map's name, up to its
// empty line.
std::set<int> flownTargets(const std::string& ini) {
    std::set<int> numbers;
    std::string map;
    bool inBlock = false;
    for (std::string_view line : splitCrlf(ini)) {
        if (inBlock) {
            if (line.empty()) {
                break;
            }
            numbers.insert(std::stoi(std::string(line.substr(0, line.find('-')))));
        } else if (line.starts_with("Map=")) {
            map = line.substr(4);
        } else if (!map.empty() && has(line, map)) {
            inBlock = true;
        }
    }
    return numbers;
}

struct GameFacts {
    std::size_t lines = 0;
    std::size_t events = 0;
    int selfKills = 0;
    int copies = 0;
    int redBoxed = 0;
    int unmarked = 0;
    std::set<std::size_t> targetDigits;
    int udpEntries = 0;
    int plainEntries = 0;
    std::set<std::string> pilots[3];  // by team
    int most[3] = {0, 0, 0};          // most pilots of a team in the arena at once
};

// Reads a generated log as the tally would and checks every line's shape.
void examine(std::string_view log, const std::set<int>& targets, GameFacts& facts) {
    std::map<std::string, int> rosterTeam;
    std::set<std::string> inArena;
    int count[3] = {0, 0, 0};
    std::map<std::string, std::pair<int, std::string>> lastDeath;  // victim: time, event
    std::string_view previous;
    long long previousStamp = -1;
    for (std::string_view line : splitCrlf(log)) {
        ++facts.lines;
        SCOPED_TRACE(std::string(line));
        ASSERT_GE(line.size(), 19u);
        ASSERT_FALSE(has(line, "\r") || has(line, "\n"));
        ASSERT_EQ(line[2], '/');
        ASSERT_EQ(line[5], '/');
        ASSERT_EQ(line.substr(8, 1), " ");
        ASSERT_EQ(line[11], ':');
        ASSERT_EQ(line[14], ':');
        ASSERT_EQ(line.substr(17, 1), " ");
        const int day = digitsAt(line, 0), month = digitsAt(line, 3), year = digitsAt(line, 6);
        const int hh = digitsAt(line, 9), mm = digitsAt(line, 12), ss = digitsAt(line, 15);
        ASSERT_TRUE(day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 0);
        ASSERT_TRUE(hh >= 0 && hh < 24 && mm >= 0 && mm < 60 && ss >= 0 && ss < 60);
        const int time = hh * 3600 + mm * 60 + ss;
        const long long stamp = ((year * 100LL + month) * 100 + day) * 86400 + time;
        ASSERT_GE(stamp, previousStamp) << "time runs backwards";
        previousStamp = stamp;
        const std::string_view event = line.substr(18);
        if (event.starts_with("Kill of ")) {
            ++facts.events;
            const std::size_t awarded = event.find(" awarded to ");
            ASSERT_NE(awarded, std::string_view::npos);
            const std::string_view victim = event.substr(8, awarded - 8);
            const std::string_view killer = event.substr(awarded + 12);
            ASSERT_GT(victim.size(), 16u);
            ASSERT_GT(killer.size(), 16u);
            const int victimTeam = teamOf(victim.substr(16));
            ASSERT_NE(victimTeam, 0);
            ASSERT_NE(teamOf(killer.substr(16)), 0);
            const std::string name(victim.substr(0, 16));
            facts.pilots[victimTeam].insert(name.substr(0, name.find_last_not_of(' ') + 1));
            if (victim.substr(0, 16) == killer.substr(0, 16)) {
                ++facts.selfKills;
            }
            // A death within 20 seconds of the pilot's last one is the same
            // kill logged again, word for word.
            const auto last = lastDeath.find(name);
            if (last != lastDeath.end() && (time - last->second.first + 86400) % 86400 <= 20) {
                EXPECT_EQ(last->second.second, event.substr(8)) << "a real death within 20 s";
                ++facts.copies;
            }
            lastDeath[name] = {time, std::string(event.substr(8))};
        } else if (event.starts_with("Target ")) {
            ++facts.events;
            const std::size_t by = event.find(" destroyed by ");
            ASSERT_NE(by, std::string_view::npos);
            ASSERT_TRUE(event.ends_with("."));
            const std::size_t hash = event.rfind(" #", by);
            ASSERT_NE(hash, std::string_view::npos);
            const std::string number(event.substr(hash + 2, by - hash - 2));
            ASSERT_TRUE(number.size() >= 1 && number.size() <= 3);
            ASSERT_EQ(targets.count(std::stoi(number)), 1u) << "target not in the flown map";
            facts.targetDigits.insert(number.size());
            if (has(lowered(previous), lowered(kMarker))) {
                ++facts.redBoxed;
            } else {
                ++facts.unmarked;
            }
        } else if (has(line, kEntry)) {
            ++facts.events;
            ASSERT_TRUE(event.starts_with("Player |"));
            std::string name(event.substr(8, event.find(kEntry) - 8));
            const std::string_view aircraft = event.substr(event.find(kEntry) + kEntry.size());
            ASSERT_NE(teamOf(aircraft), 0);
            if (has(name, "UDP:")) {
                ASSERT_TRUE(has(name, " (UDP:") && name.ends_with(")"));
                name = name.substr(0, name.find(" (UDP:"));
                ++facts.udpEntries;
            } else {
                ++facts.plainEntries;
            }
            const int team = rosterTeam.emplace(name, teamOf(aircraft)).first->second;
            facts.pilots[teamOf(aircraft)].insert(name);
            if (inArena.insert(name).second) {
                facts.most[team] = std::max(facts.most[team], ++count[team]);
            }
        } else if (has(line, kExit)) {
            ++facts.events;
            ASSERT_TRUE(event.starts_with("Player |") && event.ends_with(kExit));
            const std::string name(event.substr(8, event.size() - 8 - kExit.size()));
            if (inArena.erase(name) == 1) {
                --count[rosterTeam[name]];
            }
        } else {
            // Chatter: nothing in it that a pass acts on.
            ASSERT_FALSE(has(line, "has entered the arena") || has(line, "has left the arena"));
            if (!has(lowered(line), lowered(kMarker))) {
                ASSERT_FALSE(has(lowered(line), "selected target"));
            }
        }
        previous = line;
    }
}

std::string generated(std::uint64_t seed, std::uint64_t bytes, int pieces) {
    MemorySink sink;
    vorskal::gen::writeServerLogs(GameOptions{seed, bytes, pieces}, sink);
    return sink.joined();
}

TEST(GeneratorTest, ParsesSizes) {
    const struct {
        const char* text;
        std::optional<std::uint64_t> bytes;
    } cases[] = {
        {"250000", 250000},    {"64K", 64u << 10},    {"10M", 10u << 20},    {"1G", 1ull << 30},
        {"100MB", 100u << 20}, {"5MiB", 5u << 20},    {"2g", 2ull << 30},    {"", std::nullopt},
        {"M", std::nullopt},   {"10X", std::nullopt}, {"-5M", std::nullopt}, {"1.5G", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vorskal::gen::parseSize(c.text), c.bytes) << c.text;
    }
}

TEST(GeneratorTest, SameSeedSameBytes) {
    MemorySink first;
    MemorySink second;
    vorskal::gen::writeServerLogs(GameOptions{11, 300'000, 3}, first);
    vorskal::gen::writeServerLogs(GameOptions{11, 300'000, 3}, second);
    EXPECT_EQ(first.pieces(), second.pieces());
    EXPECT_EQ(vorskal::gen::pointFileText(11), vorskal::gen::pointFileText(11));
    EXPECT_NE(generated(12, 300'000, 3), first.joined());
    EXPECT_NE(vorskal::gen::pointFileText(12), vorskal::gen::pointFileText(11));
}

TEST(GeneratorTest, PiecesSplitTheSameLinesAtLineEnds) {
    MemorySink five;
    vorskal::gen::writeServerLogs(GameOptions{3, 500'000, 5}, five);
    ASSERT_EQ(five.pieces().size(), 5u);
    for (const std::string& piece : five.pieces()) {
        EXPECT_GT(piece.size(), 90'000u);
        EXPECT_TRUE(piece.ends_with("\r\n"));
    }
    const std::string one = generated(3, 500'000, 1);
    EXPECT_EQ(five.joined(), one);
    EXPECT_GE(one.size(), 500'000u);
    EXPECT_LT(one.size(), 500'300u);  // the game ends with the line that reaches the size
}

TEST(GeneratorTest, WritesTheGameDirectory) {
    const vorskal::testing::GameDir dir;
    vorskal::gen::writeGameDirectory(GameOptions{5, 200'000, 12}, dir.path());
    std::string joined;
    for (int n = 0; n < 12; ++n) {
        const std::string name = "ux7server" + std::to_string(n) + ".log";
        ASSERT_TRUE(dir.exists(name)) << name;
        joined += dir.read(name);
    }
    EXPECT_FALSE(dir.exists("ux7server12.log"));
    EXPECT_EQ(joined, generated(5, 200'000, 1));
    EXPECT_EQ(dir.read("vorskal.ini"), vorskal::gen::pointFileText(5));
}

TEST(GeneratorTest, PointFileListsTargetsOfEveryLength) {
    for (std::uint64_t seed : {1u, 2u, 3u, 4u}) {
        const std::set<int> targets = flownTargets(vorskal::gen::pointFileText(seed));
        EXPECT_EQ(targets.count(20), 1u) << seed;
        EXPECT_TRUE(targets.begin() != targets.end() && *targets.begin() < 10) << seed;
        EXPECT_GE(*targets.rbegin(), 100) << seed;
        const std::string ini = vorskal::gen::pointFileText(seed);
        const std::size_t kill = ini.find("\r\nKill=");
        ASSERT_NE(kill, std::string::npos);
        EXPECT_GE(splitCrlf(ini.substr(kill + 2)).size(), 9u) << "eight lines after Kill=";
        EXPECT_NE(ini.find("\r\nDeath=-"), std::string::npos);
    }
}

TEST(GeneratorTest, GamesHoldEveryFeature) {
    for (std::uint64_t seed : {1u, 7u, 42u}) {
        SCOPED_TRACE(seed);
        const std::string log = generated(seed, 4u << 20, 1);
        GameFacts facts;
        examine(log, flownTargets(vorskal::gen::pointFileText(seed)), facts);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        EXPECT_GT(facts.events * 25, facts.lines) << "about one event in 20 lines";
        EXPECT_LT(facts.events * 15, facts.lines);
        EXPECT_GT(facts.selfKills, 0);
        EXPECT_GT(facts.copies, 0);
        EXPECT_GT(facts.redBoxed, 0);
        EXPECT_GT(facts.unmarked, 0);
        EXPECT_EQ(facts.targetDigits, (std::set<std::size_t>{1, 2, 3}));
        EXPECT_GT(facts.udpEntries, 0);
        EXPECT_GT(facts.plainEntries, 0);
        for (int team : {1, 2}) {
            EXPECT_GE(facts.pilots[team].size(), 10u);
            EXPECT_LE(facts.pilots[team].size(), 40u);
        }
        EXPECT_EQ(std::max(facts.most[1], facts.most[2]), 19) << "17, 18 and 19 on a side";
    }
}

// A generated game is a game the tally completes, with the over-max
// warnings of a side that fielded 17, 18 and 19 pilots.
TEST(GeneratorTest, TallyCompletesOnAGeneratedGame) {
    const vorskal::testing::GameDir dir;
    vorskal::gen::writeGameDirectory(GameOptions{9, 4u << 20, 3}, dir.path());
    const vorskal::Outcome outcome = dir.tally();
    ASSERT_EQ(outcome.kind, vorskal::OutcomeKind::Completed) << outcome.message;
    const std::string report = dir.read("vorskal.log");
    for (const std::string count : {"17", "18", "19"}) {
        const bool warned = has(report, "WARNING -- number of Allied pilots in game = " + count) ||
                            has(report, "WARNING -- number of allied pilots in game = " + count) ||
                            has(report, "WARNING -- number of Hun pilots in game = " + count);
        EXPECT_TRUE(warned) << count;
    }
    EXPECT_FALSE(has(report, "ERROR -- "));
}

// Working from what the merge read and reading the merged log back line by
// line for every pass give the same report, byte for byte, on generated
// games of several seeds, piece counts and sizes (the largest spans many
// reads of the merge and many batches of kill lines), with every option on
// and with every option off.
TEST(GeneratorTest, FastAndPlainReadingsGiveTheSameReport) {
    const GameOptions games[] = {
        {1, 300'000, 1}, {2, 1u << 20, 5}, {3, 2u << 20, 12}, {4, 12u << 20, 3}};
    vorskal::TallyOptions allOff;
    allOff.overMaxPilotCorrection = false;
    allOff.multiDeathCorrection = false;
    allOff.fighterTargetCorrection = false;
    allOff.redBoxedOnly = false;
    for (const GameOptions& game : games) {
        for (const vorskal::TallyOptions& options : {vorskal::TallyOptions{}, allOff}) {
            SCOPED_TRACE("seed " + std::to_string(game.seed) + ", options " +
                         (options.redBoxedOnly ? "on" : "off"));
            std::string reports[2];
            for (const bool plain : {false, true}) {
                const vorskal::testing::GameDir dir;
                vorskal::gen::writeGameDirectory(game, dir.path());
                vorskal::RunConfig config;
                config.rereadMergedLog = plain;
                const vorskal::Outcome outcome = dir.tally(options, config);
                ASSERT_EQ(outcome.kind, vorskal::OutcomeKind::Completed) << outcome.message;
                reports[plain ? 1 : 0] = dir.read("vorskal.log");
            }
            EXPECT_EQ(reports[0].size(), reports[1].size());
            EXPECT_TRUE(reports[0] == reports[1]) << "the reports differ";
        }
    }
}

}  // namespace
