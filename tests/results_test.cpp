// The results of a game: the same numbers as the report, the evidence the
// rules give for the sample game (tests/golden/sample-game.worksheet.md),
// the checks' warnings, and --check, which writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "app/cli/runner.h"
#include "gen/generator.h"
#include "results/sha256.h"
#include "tests/report_sections.h"
#include "tests/support/log_lines.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

using results::GameResults;
using results::Side;
namespace fs = std::filesystem;

const std::string kSample = std::string(VORSKAL_SOURCE_DIR) + "/examples/sample-game";

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void copySample(const GameDir& dir) {
    for (const auto& entry : fs::directory_iterator(kSample)) {
        dir.write(entry.path().filename().string(), fileBytes(entry.path()));
    }
}

std::string hexOf(std::string_view bytes) {
    results::Sha256 sha;
    sha.update(bytes);
    return sha.hexDigest();
}

// Every file of a directory with its bytes.
std::map<std::string, std::string> snapshot(const std::string& path) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(path)) {
        files[entry.path().filename().string()] = fileBytes(entry.path());
    }
    return files;
}

// Section 6 and the ZORL block of the report, as the results model holds them.
void expectSameNumbersAsReport(const GameResults& results, const Lines& report) {
    static const std::regex row(
        R"((.{16})\.{5}(-?\d+)\.{9}(-?\d+)\.{7}(-?\d+)\.{8}(-?\d+)\.{3}(-?\d+)\.{3}(.*))");
    static const std::regex totals(
        R"((Allied|Hun) Totals:\.+(-?\d+)\.{8}(-?\d+)\.{7}(-?\d+)\.{8}(-?\d+)\.{3}(-?\d+)\.{3})");
    std::size_t pilot = 0;
    for (const std::string& line : sectionOf(report, Section::Scores)) {
        std::smatch m;
        if (std::regex_match(line, m, row)) {
            ASSERT_LT(pilot, results.pilots.size()) << line;
            const results::PilotRow& p = results.pilots[pilot++];
            std::string name = m[1];
            name.erase(name.find_last_not_of(' ') + 1);
            std::string locations;
            for (const std::string& key : p.locations) {
                locations += "," + key;
            }
            EXPECT_EQ(name, p.name);
            EXPECT_EQ(std::stoll(m[2]), p.score) << line;
            EXPECT_EQ(std::stoll(m[3]), p.kills) << line;
            EXPECT_EQ(std::stoll(m[4]), p.deaths) << line;
            EXPECT_EQ(std::stoll(m[5]), p.targetsDestroyed) << line;
            EXPECT_EQ(std::stoll(m[6]), p.targetPoints) << line;
            EXPECT_EQ(m[7], locations) << line;
        } else if (std::regex_match(line, m, totals)) {
            const results::TeamTotals& t = m[1] == "Allied" ? results.allied : results.hun;
            EXPECT_EQ(std::stoll(m[2]), t.score);
            EXPECT_EQ(std::stoll(m[3]), t.kills);
            EXPECT_EQ(std::stoll(m[4]), t.deaths);
            EXPECT_EQ(std::stoll(m[5]), t.targetsDestroyed);
            EXPECT_EQ(std::stoll(m[6]), t.targetPoints);
        }
    }
    EXPECT_EQ(pilot, results.pilots.size());
    EXPECT_EQ(sectionOf(report, Section::Zorl), zorlBlock(results.allied.final, results.hun.final));
}

TEST(Results, Sha256OfTheStandardVectors) {
    EXPECT_EQ(hexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    results::Sha256 million;  // a million "a", fed in pieces that straddle the blocks
    const std::string seven(7, 'a');
    for (int i = 0; i < 142857; ++i) {
        million.update(seven);
    }
    million.update("a");
    EXPECT_EQ(million.hexDigest(),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    // Two digests fed the same bytes at once, each at its own place in its blocks.
    results::Sha256 a;
    results::Sha256 b;
    a.update(std::string(5, 'a'));
    const std::string rest(1'000'000 - 5, 'a');
    results::Sha256::updateBoth(a, b, rest);
    b.update(std::string(5, 'a'));
    EXPECT_EQ(a.hexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(b.hexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// The sample game with every option on, both ways of reading the merged log.
TEST(Results, SampleGameAsTheWorksheetDerivesIt) {
    for (const bool reread : {false, true}) {
        SCOPED_TRACE(reread ? "re-reading the merged log" : "from the kept lines");
        GameDir dir;
        copySample(dir);
        GameResults results;
        RunConfig config;
        config.rereadMergedLog = reread;
        config.results = &results;
        ASSERT_EQ(dir.tally({}, config).kind, OutcomeKind::Completed);
        expectSameNumbersAsReport(results, linesOf(dir.read("vorskal.log")));

        EXPECT_EQ(results.allied.final, 79);
        EXPECT_EQ(results.allied.overMaxPenalty, 6);  // 2 for the 18th, 4 for the 17th
        EXPECT_EQ(results.hun.final, 65);
        EXPECT_EQ(results.pilots.size(), 15u + 12u + 1u);
        EXPECT_EQ(results.pilots.back().name, "Archie");
        EXPECT_EQ(results.pilots.back().team, Side::Unknown);
        EXPECT_EQ(results.settings.map, "Verdun");
        EXPECT_EQ(results.settings.killPoints, 10);
        EXPECT_EQ(results.settings.deathPoints, -5);
        EXPECT_EQ(results.settings.typeValues.size(), 8u);  // Bridge ... Balloon
        EXPECT_EQ(results.gameDate, "12/06/26");
        EXPECT_EQ(results.firstTime, "20:00:00");
        EXPECT_EQ(results.lastTime, "21:30:00");

        // Inputs: L1-L86, L87-L139, L140-L187; the ini's 21 lines.
        ASSERT_EQ(results.inputs.size(), 5u);
        const std::uint64_t lines[] = {86, 53, 48, 21, 187};
        const char* names[] = {"ux7server0.log", "ux7server1.log", "ux7server2.log", "vorskal.ini",
                               "ux7server.log"};
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(results.inputs[i].name, names[i]);
            EXPECT_EQ(results.inputs[i].lines, lines[i]);
            const std::string bytes = dir.read(names[i]);
            EXPECT_EQ(results.inputs[i].bytes, bytes.size());
            EXPECT_EQ(results.inputs[i].sha256, hexOf(bytes)) << names[i];
        }

        // Section 1: the 18th Allied pilot 20:44:30 (L115) to 20:51:00 (L128), 6.5
        // minutes, 2 points; the 17th 20:40:00 (L106) to 20:52:23 (L129), 4 points.
        ASSERT_EQ(results.overMax.size(), 2u);
        EXPECT_EQ(results.overMax[0].pilotNumber, 18);
        EXPECT_EQ(results.overMax[0].start, "20:44:30");
        EXPECT_EQ(results.overMax[0].end, "20:51:00");
        EXPECT_DOUBLE_EQ(results.overMax[0].minutes, 6.5);
        EXPECT_EQ(results.overMax[0].points, 2);
        EXPECT_EQ(results.overMax[1].start, "20:40:00");
        EXPECT_EQ(results.overMax[1].points, 4);

        // Corrections in report order: two deductions, the multi-death of
        // Baron_Red (L57, L58), then section 3 (L17 unknown type, L62 Snoopy's
        // bridge taken back, L85 and L156 by fighters but never credited).
        const auto& c = results.corrections;
        ASSERT_EQ(c.size(), 7u);
        EXPECT_EQ(c[0].kind, "over-max");
        EXPECT_EQ(c[0].evidence[0].line, 115u);
        EXPECT_EQ(c[0].evidence[1].line, 128u);
        EXPECT_EQ(c[0].moves[0].points, -2);
        EXPECT_EQ(c[1].evidence[0].line, 106u);
        EXPECT_EQ(c[1].evidence[1].line, 129u);
        EXPECT_EQ(c[2].kind, "multi-death");
        EXPECT_EQ(c[2].evidence[0].line, 57u);
        EXPECT_EQ(c[2].evidence[1].line, 58u);
        ASSERT_EQ(c[2].moves.size(), 2u);
        EXPECT_EQ(c[2].moves[0].pilot, "Baron_Red");
        EXPECT_EQ(c[2].moves[0].field, "deaths");
        EXPECT_EQ(c[2].moves[0].points, 5);  // one death fewer at -5
        EXPECT_EQ(c[2].moves[1].pilot, "Snoopy");
        EXPECT_EQ(c[2].moves[1].points, -10);
        const std::uint64_t fighterLines[] = {17, 62, 85, 156};
        const bool applied[] = {false, true, false, false};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(c[3 + i].kind, "fighter-target");
            EXPECT_EQ(c[3 + i].evidence[0].line, fighterLines[i]);
            EXPECT_EQ(c[3 + i].applied, applied[i]);
        }
        EXPECT_EQ(c[4].moves[1].field, "targetPoints");
        EXPECT_EQ(c[4].moves[1].by, -15);  // a bridge

        // Eight destructions; the unmarked #40, #3 and #205 credit no one.
        ASSERT_EQ(results.targets.size(), 8u);
        EXPECT_EQ(results.targets[0].line, 17u);
        EXPECT_EQ(results.targets[0].key, "#25");
        EXPECT_EQ(results.targets[0].targetType, "Hangar");
        EXPECT_EQ(results.targets[0].points, 20);
        EXPECT_EQ(results.targets[0].pilot, "Hawker");
        int uncredited = 0;
        for (const auto& target : results.targets) {
            EXPECT_EQ(target.pilot.empty(), !target.redBoxed) << target.line;
            uncredited += target.pilot.empty() && !target.reason.empty() ? 1 : 0;
        }
        EXPECT_EQ(uncredited, 3);
        // 35 entries less the 3 of pilots already in, 17 exits less Hawker's
        // (no roster entry) and Max_Stein's second.
        EXPECT_EQ(results.arena.size(), 32u + 15u);

        // Turncoat_Tom flew both sides; Archie's kills name no aircraft.
        ASSERT_EQ(results.warnings.size(), 2u);
        EXPECT_EQ(results.warnings[0].code, "both-sides");
        EXPECT_NE(results.warnings[0].message.find("Turncoat_Tom"), std::string::npos);
        EXPECT_EQ(results.warnings[1].code, "unknown-aircraft");
        EXPECT_NE(results.warnings[1].message.find("Archie"), std::string::npos);
    }
}

TEST(Results, SampleGameWithEveryOptionOff) {
    GameDir dir;
    copySample(dir);
    GameResults results;
    RunConfig config;
    config.results = &results;
    ASSERT_EQ(dir.tally(allOff(), config).kind, OutcomeKind::Completed);
    expectSameNumbersAsReport(results, linesOf(dir.read("vorskal.log")));
    EXPECT_EQ(results.allied.final, 120);
    EXPECT_EQ(results.hun.final, 97);
    EXPECT_TRUE(results.corrections.empty());
    EXPECT_TRUE(results.arena.empty());
    EXPECT_FALSE(results.run.redBoxedOnly);
    for (const auto& target : results.targets) {
        EXPECT_FALSE(target.pilot.empty()) << target.line;
    }
}

TEST(Results, GeneratedGamesHoldTheReportsNumbers) {
    for (const std::uint64_t seed : {2, 9}) {
        GameDir dir;
        gen::writeGameDirectory(gen::GameOptions{seed, 400'000, 3}, dir.path());
        GameResults results;
        RunConfig config;
        config.results = &results;
        ASSERT_EQ(dir.tally({}, config).kind, OutcomeKind::Completed);
        expectSameNumbersAsReport(results, linesOf(dir.read("vorskal.log")));
    }
}

// ---------------------------------------------------------------------------
// The checks: each case raises its warning; the plain game raises none.

struct Game {
    std::map<std::string, Lines> files;
};

Game plainGame() {
    return {{{"ux7server0.log",
              {killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
               logLine("20:30:00", "Snoopy: good night")}},
             {"vorskal.ini", standardIniLines()}}};
}

std::vector<results::Warning> warningsOf(const Game& game) {
    MemoryFiles files;
    for (const auto& [name, lines] : game.files) {
        files.files[name] = crlf(lines);
    }
    FixedClock clock;
    TallyState state;
    applyOptions(state, {});
    GameResults results;
    RunConfig config;
    config.results = &results;
    EXPECT_EQ(runTally(state, files, clock, config).kind, OutcomeKind::Completed);
    return results.warnings;
}

void removeLine(Lines& lines, const std::string& line) {
    lines.erase(std::find(lines.begin(), lines.end(), line));
}

TEST(Results, EachCheckRaisesItsWarning) {
    EXPECT_TRUE(warningsOf(plainGame()).empty());
    const struct {
        const char* code;
        std::function<void(Game&)> change;
        std::string file;
        std::uint64_t line;
    } cases[] = {
        {"no-kill-points", [](Game& g) { removeLine(g.files["vorskal.ini"], "Kill=10"); },
         "vorskal.ini", 0},
        {"no-death-points", [](Game& g) { removeLine(g.files["vorskal.ini"], "Death=-5"); },
         "vorskal.ini", 0},
        {"no-map-line", [](Game& g) { removeLine(g.files["vorskal.ini"], "Map=Verdun"); },
         "vorskal.ini", 0},
        {"no-map-block", [](Game& g) { g.files["vorskal.ini"][0] = "Map=Cambrai"; }, "vorskal.ini",
         1},
        {"target-not-in-map",
         [](Game& g) {
             auto& log = g.files["ux7server0.log"];
             log.push_back(lines::markerLine("20:10:00"));
             log.push_back(lines::targetLine("20:10:00", "Depot #33", "Snoopy"));
         },
         "ux7server.log", 4},
        {"log-beyond-gap",
         [](Game& g) { g.files["ux7server2.log"] = {logLine("20:40:00", "late")}; },
         "ux7server2.log", 0},
        {"log-out-of-order",
         [](Game& g) {
             g.files["ux7server1.log"] = {logLine("20:31:00", "on"), logLine("20:45:00", "on")};
             g.files["ux7server2.log"] = {"", logLine("19:00:00", "last week")};
         },
         "ux7server2.log", 2},
        {"unknown-aircraft",
         [](Game& g) {
             g.files["ux7server0.log"].push_back(
                 lines::enterLine("20:05:00", "Rudi", "ROLAND_CII"));
         },
         "ux7server.log", 3},
        {"unknown-aircraft",
         [](Game& g) {
             g.files["ux7server0.log"].push_back(logLine(
                 "20:06:00", "Kill of " + pad16("Fritz") + "FOKKER_DVII awarded to Archie"));
         },
         "ux7server.log", 0},
        {"both-sides",
         [](Game& g) {
             g.files["ux7server0.log"].push_back(
                 killLine("20:07:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"));
             g.files["ux7server0.log"].push_back(
                 killLine("20:08:00", "Snoopy", "ALBATROS_DIII", "Fritz", "FOKKER_DVII"));
         },
         "ux7server.log", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        Game game = plainGame();
        c.change(game);
        const auto warnings = warningsOf(game);
        ASSERT_EQ(warnings.size(), 1u) << (warnings.empty() ? "" : warnings[0].code);
        EXPECT_EQ(warnings[0].code, c.code);
        EXPECT_EQ(warnings[0].file, c.file);
        EXPECT_EQ(warnings[0].line, c.line);
        EXPECT_FALSE(warnings[0].message.empty());
    }
}

TEST(Results, LookAlikesRaiseNoWarning) {
    const std::function<void(Game&)> cases[] = {
        // A game that goes past midnight from one numbered log to the next.
        [](Game& g) {
            g.files["ux7server0.log"].push_back(logLine("23:59:50", "late"));
            g.files["ux7server1.log"] = {logLine("00:00:10", "after midnight")};
        },
        // Every known aircraft; a numbered log that follows on.
        [](Game& g) {
            g.files["ux7server0.log"].push_back(lines::enterLine("20:05:00", "Rudi", "SE5A"));
            g.files["ux7server1.log"] = {lines::enterLine("20:40:00", "Max", "PFALZ_DIII")};
        },
        // A destroyed target that is in the map's block (number 12).
        [](Game& g) {
            g.files["ux7server0.log"].push_back(lines::markerLine("20:10:00"));
            g.files["ux7server0.log"].push_back(
                lines::targetLine("20:10:00", "Bridge #12", "Fritz"));
        },
    };
    for (const auto& change : cases) {
        Game game = plainGame();
        change(game);
        const auto warnings = warningsOf(game);
        EXPECT_TRUE(warnings.empty()) << warnings.front().code;
    }
}

// ---------------------------------------------------------------------------
// The runner

struct RunnerRun {
    int status;
    std::string out;
    std::string err;
};

RunnerRun runner(std::vector<std::string> args) {
    args.insert(args.begin(), "vorskal-tally");
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = runTallyCommand(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

TEST(Results, CheckWritesNothingAndSaysWhatItFound) {
    GameDir dir;
    copySample(dir);
    dir.write("vorskal.log", "an older report\r\n");
    const auto before = snapshot(dir.path());
    const RunnerRun run = runner({"--check", dir.path()});
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(run.status, kExitWarnings);
    EXPECT_EQ(run.out, "Allied 79, Hun 65; nothing written (check); 2 warnings\n");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2);
    EXPECT_NE(run.err.find("[both-sides]"), std::string::npos);

    GameDir plain;
    for (const auto& [name, lines] : plainGame().files) {
        plain.write(name, crlf(lines));
    }
    const RunnerRun clean = runner({"--check", "-C", plain.path()});
    EXPECT_EQ(clean.status, kExitCompleted) << clean.err;
    EXPECT_EQ(clean.out, "Allied 10, Hun -5; nothing written (check)\n");
    EXPECT_FALSE(plain.exists("ux7server.log"));
    EXPECT_FALSE(plain.exists("vorskal.log"));

    GameDir empty;
    EXPECT_EQ(runner({"--check", empty.path()}).status, kExitMissingFirstLog);
}

TEST(Results, JsonOnStandardOutputMovesTheRunnersLinesToStandardError) {
    GameDir dir;
    copySample(dir);
    const RunnerRun run = runner({"--json", "-", dir.path()});
    EXPECT_EQ(run.status, kExitCompleted) << run.err;
    EXPECT_EQ(run.out.rfind("{\"formatVersion\":1,", 0), 0u);
    EXPECT_NE(run.err.find("Tally Complete\nAllied 79, Hun 65; report appended to vorskal.log; "
                           "2 warnings\n"),
              std::string::npos);
}

}  // namespace
}  // namespace vorskal::testing
