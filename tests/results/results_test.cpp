// The results of a game beyond the report's numbers (the scenario runner
// compares those for every folder): SHA-256, the evidence the rules give for
// the sample game (tests/golden/sample-game.worksheet.md), each check's
// warning, and --check, which writes nothing. The file an administrator
// writes by hand to accept findings: which lines are keys, which are left
// alone, and which fail the run naming the line; it is read a line at a
// time, with a limit per line and per file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/runner.h"
#include "base/failure.h"
#include "collector/finding_order.h"
#include "collector/merged_digest.h"
#include "results/accepted_findings.h"
#include "results/sha256.h"
#include "results/warning_line.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

using results::AcceptedFindings;
using results::GameResults;
using results::Warning;
using Files = std::map<std::string, std::string>;
namespace fs = std::filesystem;

// Runs a game in memory; `files` is left as the run left it.
GameResults resultsOf(Files& files, const TallyOptions& options = {}, bool reread = false) {
    MemoryFiles memory;
    memory.files = files;
    FixedClock clock;
    TallyState state;
    applyOptions(state, options);
    GameResults results;
    RunConfig config;
    config.rereadMergedLog = reread;
    config.results = &results;
    EXPECT_EQ(runTally(state, memory, clock, config).kind, OutcomeKind::Completed);
    files = memory.files;
    return results;
}

// SHA-256 of the standard vectors, fed in pieces of 7 bytes. The merged
// log's fingerprint is taken on a thread of its own, from copies made in
// buffers that come back to be filled again: pieces of every size, over many
// buffers' worth of bytes, must give the digest of the bytes at once.
TEST(MergedLogDigest, Sha256OfTheStandardVectorsAndOfTheMergedLogInPieces) {
    EXPECT_EQ(results::sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(collector::MergedLogDigest().finish(), results::sha256Hex(""));
    EXPECT_EQ(results::sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    results::Sha256 pieces;  // a million "a"
    for (int i = 0; i < 142857; ++i) {
        pieces.update("aaaaaaa");
    }
    pieces.update("a");
    EXPECT_EQ(pieces.hexDigest(),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    std::string bytes(8 << 20, '\0');  // 32 buffers' worth, no two alike
    std::uint32_t value = 1;
    for (char& c : bytes) {
        value = value * 1664525u + 1013904223u;
        c = static_cast<char>(value >> 24);
    }
    collector::MergedLogDigest digest;
    const std::size_t sizes[] = {1, 255 << 10, 256 << 10, 257 << 10, 3, 600 << 10, 0, 70000, 7};
    std::size_t at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const std::size_t size = std::min(sizes[i % std::size(sizes)], bytes.size() - at);
        digest.add(std::string_view(bytes).substr(at, size));
        at += size;
    }
    EXPECT_EQ(digest.finish(), results::sha256Hex(bytes));
}

// Values joined by blanks: several fields compared in one line.
template <typename... T>
std::string words(const T&... values) {
    std::ostringstream out;
    ((out << values << ' '), ...);
    std::string text = out.str();
    text.pop_back();
    return text;
}

TEST(Results, SampleGameAsTheWorksheetDerivesIt) {
    for (const bool reread : {false, true}) {
        SCOPED_TRACE(reread ? "re-reading the merged log" : "from the kept lines");
        Files files = sampleGame();
        const GameResults r = resultsOf(files, {}, reread);
        const auto& s = r.settings;  // 8 values: Bridge ... Balloon
        EXPECT_EQ(words(s.map, s.killPoints, s.deathPoints, s.typeValues.size()), "Verdun 10 -5 8");
        EXPECT_EQ(words(r.gameDate, r.firstTime, r.lastTime), "12/06/26 20:00:00 21:30:00");

        // Inputs: L1-L86, L87-L139, L140-L187; the ini's 21 lines. The
        // numbered logs have no fingerprint of their own: the merged log's
        // holds their bytes.
        const char* names[] = {"ux7server0.log", "ux7server1.log", "ux7server2.log", "vorskal.ini",
                               "ux7server.log"};
        const int lines[] = {86, 53, 48, 21, 187};
        ASSERT_EQ(r.inputs.size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            const auto& in = r.inputs[i];
            const std::string& bytes = files[names[i]];
            EXPECT_EQ(
                words(in.name, in.lines, in.bytes, in.sha256),
                words(names[i], lines[i], bytes.size(), i < 3 ? "" : results::sha256Hex(bytes)));
        }

        // The 18th Allied pilot from L115 to L128, the 17th from L106 to L129.
        ASSERT_EQ(r.overMax.size(), 2u);
        for (const auto& [o, want] : {std::pair{r.overMax[0], "18 20:44:30 20:51:00 6.5 2"},
                                      std::pair{r.overMax[1], "17 20:40:00 20:52:23 12.3833 4"}}) {
            EXPECT_EQ(words(o.pilotNumber, o.start, o.end, o.minutes, o.points), want);
        }
        EXPECT_EQ(r.allied.overMaxPenalty, 6);

        // Corrections in report order: the two deductions, Baron_Red's
        // multi-death, then L17 (unknown type), L62 (Snoopy's bridge, taken
        // back), L85 and L156 (by fighters, never credited).
        std::vector<std::string> corrections;
        for (const auto& c : r.corrections) {
            corrections.push_back(
                words(results::kindName(c.kind), c.applied, c.evidence.at(0).line));
        }
        EXPECT_EQ(corrections,
                  (std::vector<std::string>{"over-max 1 115", "over-max 1 106", "multi-death 1 57",
                                            "fighter-target 0 17", "fighter-target 1 62",
                                            "fighter-target 0 85", "fighter-target 0 156"}));
        ASSERT_EQ(corrections.size(), 7u);
        const auto& c = r.corrections;
        EXPECT_EQ(
            words(c[0].evidence.at(1).line, c[1].evidence.at(1).line, c[2].evidence.at(1).line),
            "128 129 58");
        EXPECT_EQ(words(c[0].moves.at(0).points, c[2].moves.size()), "-2 2");
        // One death fewer for Baron_Red at -5, one kill fewer for Snoopy at 10.
        EXPECT_EQ(words(c[2].moves[0].pilot, results::fieldName(c[2].moves[0].field),
                        c[2].moves[0].points, c[2].moves[1].pilot, c[2].moves[1].points),
                  "Baron_Red deaths 5 Snoopy -10");
        EXPECT_EQ(words(results::fieldName(c[4].moves.at(1).field), c[4].moves.at(1).by),
                  "targetPoints -15");

        // Eight destructions; the unmarked #40, #3 and #205 credit no one.
        ASSERT_EQ(r.targets.size(), 8u);
        const auto& t = r.targets[0];
        EXPECT_EQ(words(t.line, t.key, t.targetType, t.points, t.pilot), "17 #25 Hangar 20 Hawker");
        int uncredited = 0;
        for (const auto& target : r.targets) {
            EXPECT_EQ(target.pilot.empty(), !target.redBoxed) << target.line;
            uncredited += target.pilot.empty() && !target.reason.empty() ? 1 : 0;
        }
        EXPECT_EQ(uncredited, 3);
        // 35 entries less the 3 of pilots already in, 17 exits less Hawker's
        // (no roster entry) and Max_Stein's second.
        EXPECT_EQ(r.arena.size(), 32u + 15u);
        // Turncoat_Tom changed sides once, as the chat says: no finding.
        // Archie's kills name no aircraft, first at line 94 of the merged
        // log (84 lines of ux7server0.log, then the 10th of ux7server1.log
        // less its line without a time), accepted in the folder.
        ASSERT_EQ(r.warnings.size(), 1u);
        EXPECT_EQ(words(r.warnings[0].code, r.warnings[0].subject, r.warnings[0].line,
                        r.warnings[0].accepted),
                  "unknown-aircraft Archie 94 1");
    }
    // With every option off nothing is corrected, no arena is kept and every
    // destroyed target is credited.
    Files files = sampleGame();
    const GameResults off = resultsOf(files, {false, false, false, false});
    EXPECT_TRUE(off.corrections.empty() && off.arena.empty() && !off.run.redBoxedOnly);
    for (const auto& target : off.targets) {
        EXPECT_FALSE(target.pilot.empty()) << target.line;
    }
}

// ---------------------------------------------------------------------------
// The checks. A small game that raises no warning: Snoopy shoots Fritz down.

const Files kPlainGame = {
    {"ux7server0.log",
     "12/06/26 20:00:00 Kill of Fritz           FOKKER_DVII awarded to Snoopy          "
     "SOPWITH_CAMEL\r\n12/06/26 20:30:00 Snoopy: good night\r\n"},
    {"vorskal.ini",
     "Map=Verdun\r\nVerdun\r\n12-Bridge,2\r\n20-Depot,1\r\n\r\nKill=10\r\nDeath=-5\r\n"
     "Bridge=15\r\nDepot=7\r\nFactory=20\r\nHangar=12\r\nTent=3\r\nTrain=9\r\nTruck=4\r\n"}};

// One change to a file: `from` replaced by `to`; when `from` is empty, the
// lines of `to` added to its end, the file made if need be; in a log, lines
// "HH:MM:SS text" get the date "12/06/26" before them unless they have a
// date of their own (an empty line stays empty).
struct Edit {
    std::string file, from, to;
};

void apply(Files& game, const Edit& e) {
    std::string& text = game[e.file];
    if (!e.from.empty()) {
        text.replace(text.find(e.from), e.from.size(), e.to);
        return;
    }
    std::istringstream lines(e.to);
    for (std::string line; std::getline(lines, line);) {
        const bool dated = !e.file.starts_with("ux7server") ||
                           (line.size() > 8 && line[2] == '/' && line[8] == ' ');
        text += (line.empty() || dated ? "" : "12/06/26 ") + line + "\r\n";
    }
}

// Each finding raised where it is due and not by its look-alikes, in file
// and line order, accepted when the folder's file names its key.
TEST(Results, EachCheckRaisesItsWarningAndLookAlikesNone) {
    const std::string marker = "20:10:00 Selected target destroyed and removed from list\n";
    const std::string in = " (UDP:192.0.2.5:2300) has entered the arena, flying a ";
    const std::string kill = "20:05:00 Kill of Fritz           FOKKER_DVII awarded to ";
    const struct {
        const char* want;  // "code file:line", "; " between; " accepted" after one accepted
        std::vector<Edit> edits;
    } cases[] = {
        {"", {}},
        {"no-kill-points vorskal.ini:0", {{"vorskal.ini", "Kill=10\r\n", ""}}},
        {"no-death-points vorskal.ini:0", {{"vorskal.ini", "Death=-5\r\n", ""}}},
        {"no-map-line vorskal.ini:0", {{"vorskal.ini", "Map=Verdun\r\n", ""}}},
        {"no-map-block vorskal.ini:1", {{"vorskal.ini", "Map=Verdun", "Map=Cambrai"}}},
        {"target-not-in-map ux7server.log:4",
         {{"ux7server0.log", "", marker + "20:10:00 Target Depot #33 destroyed by Snoopy."}}},
        {"", {{"ux7server0.log", "", marker + "20:10:00 Target Bridge #12 destroyed by Fritz."}}},
        // A target of team code 3 credited to a pilot of no kill line.
        {"target-team-code ux7server.log:4",
         {{"vorskal.ini", "20-Depot,1", "20-Depot,3"},
          {"ux7server0.log", "", marker + "20:10:00 Target Depot #20 destroyed by Rudi."}}},
        {"log-beyond-gap ux7server2.log:0", {{"ux7server2.log", "", "20:40:00 late"}}},
        {"log-out-of-order ux7server2.log:2",
         {{"ux7server1.log", "", "20:31:00 on\n20:45:00 on"},
          {"ux7server2.log", "", "\n19:00:00 last week"}}},
        // A stale log of another day, its times of day later than tonight's.
        {"log-out-of-order ux7server1.log:1",
         {{"ux7server1.log", "", "11/29/26 20:45:00 Snoopy: last week"}}},
        // The day after, but a whole day later.
        {"log-out-of-order ux7server1.log:1",
         {{"ux7server1.log", "", "12/07/26 20:45:00 Snoopy: tomorrow night"}}},
        // Past midnight from one numbered log to the next is in order, also
        // at the turn of a month and of a year.
        {"",
         {{"ux7server0.log", "", "23:59:50 late"}, {"ux7server1.log", "", "12/07/26 00:00:10 on"}}},
        {"",
         {{"ux7server0.log", "", "12/31/26 23:59:50 late"},
          {"ux7server1.log", "", "01/01/27 00:00:10 on"}}},
        {"unknown-aircraft ux7server.log:3",
         {{"ux7server0.log", "", "20:05:00 Player |Rudi" + in + "ROLAND_CII"}}},
        {"",
         {{"ux7server0.log", "", "20:05:00 Player |Rudi" + in + "SE5A"},
          {"ux7server1.log", "", "20:40:00 Player |Max" + in + "PFALZ_DIII"}}},
        {"unknown-aircraft ux7server.log:3", {{"ux7server0.log", "", kill + "Archie"}}},
        {"unknown-aircraft ux7server.log:3 accepted",
         {{"ux7server0.log", "", kill + "Archie"},
          {"vorskal-accepted.txt", "", "# the guns\nunknown-aircraft: Archie"}}},
        {"unknown-aircraft ux7server.log:3",
         {{"ux7server0.log", "", kill + "Archie"},
          {"vorskal-accepted.txt", "", "unknown-aircraft: Archibald"}}},
        // A name longer than its 16 characters pushes the aircraft beyond
        // the 26 the team rule reads.
        {"long-name ux7server.log:3",
         {{"ux7server0.log", "", kill + "Manfred_von_Richthofen FOKKER_DVII"}}},
        {"", {{"ux7server0.log", "", kill + "Escadrille_AlphaSOPWITH_CAMEL"}}},
        // Two names alike in their first 11 characters, on one side.
        {"names-merged ux7server.log:4",
         {{"ux7server0.log", "",
           kill + "Escadrille_AlphaSOPWITH_CAMEL\n" + kill + "Escadrille_BravoSOPWITH_CAMEL"}}},
        // One change of sides is a pilot who changed sides; back again is not.
        {"",
         {{"ux7server0.log", "",
           "20:07:00 Kill of Snoopy          SOPWITH_CAMEL awarded to Fritz           FOKKER_DVII\n"
           "20:08:00 Kill of Snoopy          ALBATROS_DIII awarded to Fritz           "
           "FOKKER_DVII"}}},
        {"both-sides ux7server.log:4",
         {{"ux7server0.log", "",
           "20:07:00 Kill of Snoopy          ALBATROS_DIII awarded to Fritz           FOKKER_DVII\n"
           "20:08:00 Kill of Snoopy          SOPWITH_CAMEL awarded to Fritz           "
           "FOKKER_DVII"}}},
        // A type line that names a part of the block's type (one that the
        // lookup reads: the type values' test); "BridgeHead=" holds no "Bridge=".
        {"type-name-inside vorskal.ini:8", {{"vorskal.ini", "12-Bridge,2", "12-RailBridge,2"}}},
        {"", {{"vorskal.ini", "", "BridgeHead=5"}}},
        // File and line order: the numbered logs, then vorskal.ini.
        {"log-beyond-gap ux7server2.log:0; no-kill-points vorskal.ini:0",
         {{"vorskal.ini", "Kill=10\r\n", ""}, {"ux7server2.log", "", "20:40:00 late"}}},
    };
    for (const auto& c : cases) {
        Files game = kPlainGame;
        std::string trace = c.want;
        for (const Edit& e : c.edits) {
            apply(game, e);
            trace += " / " + e.file + ": " + e.to;
        }
        SCOPED_TRACE(trace);
        std::string got;
        for (const auto& w : resultsOf(game).warnings) {
            got += (got.empty() ? "" : "; ") + w.code + " " + w.file + ":" +
                   std::to_string(w.line) + (w.accepted ? " accepted" : "");
            EXPECT_FALSE(w.message.empty());
        }
        EXPECT_EQ(got, c.want);
    }
}

// The point values of the types: every "Type=number" line outside the map's
// block but the map, kill and death lines, in file order, rounded down.
TEST(Results, TypeValuesAreTheTypeLinesOutsideTheMapsBlock) {
    const std::string all = "Bridge=15 Depot=7 Factory=20 Hangar=12 Tent=3 Train=9 Truck=4 ";
    const struct {
        Edit edit;
        std::string want;
    } cases[] = {
        {{"vorskal.ini", "Tent=3", "Tent=3.9"}, all},
        {{"vorskal.ini", "Tent=3", "Tent=-2.5"},
         "Bridge=15 Depot=7 Factory=20 Hangar=12 Tent=-3 "
         "Train=9 Truck=4 "},
        {{"vorskal.ini", "Tent=3", "Tent=x"},
         "Bridge=15 Depot=7 Factory=20 Hangar=12 Train=9 "
         "Truck=4 "},
        {{"vorskal.ini", "Truck=4", "Truck=4\r\n=5\r\n42"}, all},  // no name, no "="
        {{"vorskal.ini", "Kill=10", "Kill=10\r\nMap=Verdun"}, all},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit.to);
        Files game = kPlainGame;
        apply(game, c.edit);
        std::string got;
        for (const auto& type : resultsOf(game).settings.typeValues) {
            got += type.type + "=" + std::to_string(type.points) + " ";
        }
        EXPECT_EQ(got, c.want);
    }

    // "RailBridge=5" after "Bridge=15": the lookup of Fritz's bridge #12 takes
    // the last line holding "Bridge=", so it is worth 5, not 15, and the finding
    // names the line, its type and the block's.
    Files game = kPlainGame;
    apply(game, {"ux7server0.log", "",
                 "20:10:00 Selected target destroyed and removed from list\n"
                 "20:10:00 Target Bridge #12 destroyed by Fritz."});
    apply(game, {"vorskal.ini", "", "RailBridge=5"});
    const GameResults r = resultsOf(game);
    ASSERT_EQ(r.targets.size(), 1u);
    EXPECT_EQ(r.targets[0].points, 5);
    ASSERT_EQ(r.warnings.size(), 1u);
    const auto& w = r.warnings[0];
    EXPECT_EQ(w.code + " " + w.subject + " " + std::to_string(w.line),
              "type-name-inside RailBridge 15");
    EXPECT_NE(w.message.find("\"RailBridge=\" holds \"Bridge=\""), std::string::npos) << w.message;
}

// ---------------------------------------------------------------------------
// The runner

struct RunnerRun {
    int status;
    std::string out, err;
};

RunnerRun runner(std::vector<const char*> argv) {
    argv.insert(argv.begin(), "vorskal-tally");
    std::ostringstream out, err;
    const int status = runTallyCommand(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// --check writes nothing and says what it found; --strict writes nothing at
// all while a finding is not accepted, and --check counts only those. A run
// that fails shows its error and no finding.
TEST(Results, CheckAndStrictWriteNothingWhileAFindingIsNotAccepted) {
    Files archie = kPlainGame;
    archie["ux7server0.log"] +=
        "12/06/26 20:05:00 Kill of Fritz           FOKKER_DVII awarded to Archie\r\n";
    Files accepted = archie, badKey = archie, broken = archie;
    accepted["vorskal-accepted.txt"] = "unknown-aircraft: Archie\n";
    badKey["vorskal-accepted.txt"] = "unknown-aircraft:\n";
    // A kill worth more than 32 bits, and no Death= line.
    broken["vorskal.ini"] = "Map=Verdun\r\nVerdun\r\n\r\nKill=99999999999\r\n";
    const struct {
        const char* name;
        Files game;
        int check, strict;     // exit statuses
        const char* checkOut;  // standard output of --check; nullptr: not looked at
        const char* checkErr;  // standard error of --check, a pattern
        const char* says;      // in standard error of --strict
    } cases[] = {
        // The sample's one finding, Archie at line 94, is accepted in its folder.
        {"the sample game", sampleGame(), kExitOk, kExitOk,
         "Allied 79, Hun 65; nothing written (check); 1 accepted finding\n",
         "^ux7server\\.log line 94: accepted: .*\\[unknown-aircraft: Archie\\]\n$", ""},
        {"no finding", kPlainGame, kExitOk, kExitOk, "Allied 10, Hun -5; nothing written (check)\n",
         "^$", ""},
        {"no game", {}, kExitMissingFirstLog, kExitMissingFirstLog, nullptr, "", ""},
        {"a finding", archie, kExitFindings, kExitFindings, nullptr, "",
         "stopped by --strict: 1 warning, so nothing was written"},
        {"accepted", accepted, kExitOk, kExitOk, nullptr, "", ""},
        {"a bad key", badKey, kExitFailed, kExitFailed, nullptr, "",
         "vorskal-accepted.txt line 1: no subject"},
        {"a failed run", broken, kExitFailed, kExitFailed, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameDir dir;
        dir.writeAll(c.game);
        dir.write("vorskal.log", "an older report\r\n");
        const Files before = entriesOf(dir.path());
        const RunnerRun check = runner({"--check", "-C", dir.path().c_str()});
        EXPECT_EQ(check.status, c.check) << check.err;
        EXPECT_EQ(entriesOf(dir.path()), before);
        if (c.checkOut != nullptr) {
            EXPECT_EQ(check.out, c.checkOut);
            EXPECT_TRUE(std::regex_search(check.err, std::regex(c.checkErr))) << check.err;
        }
        const std::string json = dir.path() + "/out.json";
        const RunnerRun strict = runner({"--strict", "--json", json.c_str(), dir.path().c_str()});
        EXPECT_EQ(strict.status, c.strict) << strict.err;
        EXPECT_NE(strict.err.find(c.says), std::string::npos) << strict.err;
        if (c.strict == kExitOk) {
            EXPECT_NE(dir.read("vorskal.log"), before.at("vorskal.log"));
            EXPECT_TRUE(dir.exists("out.json"));
        } else if (c.strict != kExitFailed) {
            EXPECT_EQ(entriesOf(dir.path()), before);  // byte for byte, nothing added
        } else {
            // A failure, as every failure, ends the report it opened in one ERROR line.
            const std::string log = dir.read("vorskal.log");
            EXPECT_EQ(log.rfind("an older report\r\n", 0), 0u);
            EXPECT_NE(log.find("\r\nERROR -- "), std::string::npos) << log;
            EXPECT_EQ(strict.err.find(": warning: "), std::string::npos) << strict.err;
            EXPECT_FALSE(dir.exists("out.json"));
        }
    }

    // --strict decides on the findings of the very run that writes: a log
    // that arrives while it decides is neither in its report nor merged.
    GameDir raced, plain;
    raced.writeAll(kPlainGame);
    plain.writeAll(kPlainGame);
    FixedClock clock;
    results::GameResults checked;
    RunConfig strict;
    strict.results = &checked;
    strict.admit = [&](const GameResults& game) {
        raced.write("ux7server1.log", archie["ux7server0.log"]);
        return results::unacceptedCount(game.warnings) == 0;
    };
    EXPECT_EQ(tallyDirectory(raced.path(), {}, clock, strict).kind, OutcomeKind::Completed);
    EXPECT_EQ(tallyDirectory(plain.path(), {}, clock, {}).kind, OutcomeKind::Completed);
    EXPECT_EQ(raced.read("vorskal.log"), plain.read("vorskal.log"));
    EXPECT_EQ(raced.read("ux7server.log"), plain.read("ux7server.log"));

    // --json - puts the JSON on standard output and the runner's lines on standard error.
    GameDir dir;
    dir.writeAll(sampleGame());
    const RunnerRun json = runner({"--json", "-", dir.path().c_str()});
    EXPECT_EQ(json.status, kExitOk) << json.err;
    EXPECT_EQ(json.out.rfind("{\"formatVersion\":4,", 0), 0u);
    EXPECT_NE(json.err.find("Tally Complete\nAllied 79, Hun 65; report appended to vorskal.log; "
                            "1 accepted finding\n"),
              std::string::npos);
}

// ---------------------------------------------------------------------------
// The findings a folder accepts

TEST(AcceptedFindings, KeysCommentsLinesThatAreNoKeyAndLimits) {
    const Warning archie{"unknown-aircraft", "ux7server.log", 94, "...", "Archie"};
    const Warning noDeath{"no-death-points", "vorskal.ini", 0, "..."};
    const std::string key = "unknown-aircraft: Archie";
    const std::string longest = key + std::string(4096 - key.size(), ' ');
    std::string tenThousand;
    for (int i = 0; i < 10000; ++i) {
        tenThousand += "no-map-line\n";
    }
    const struct {
        std::string text;
        const char* error;  // the start of the failure's message; "" when it parses
        bool archie, noDeath;
    } cases[] = {
        {"", "", false, false},
        {"unknown-aircraft: Archie", "", true, false},
        // Comments, blank lines, blanks around a key and every line end.
        {"# the guns\r\n\r\n  unknown-aircraft :  Archie \t\rno-death-points\n", "", true, true},
        {"#unknown-aircraft: Archie", "", false, false},
        // Another subject, or letter case, is another key.
        {"unknown-aircraft: Archibald\nunknown-aircraft: archie", "", false, false},
        {"\nunknown-aircraft Archie", "vorskal-accepted.txt line 2: \"unknown-aircraft Archie\"",
         false, false},
        {"unknown-aircraft:", "vorskal-accepted.txt line 1: no subject", false, false},
        {"no-death-points: Verdun", "vorskal-accepted.txt line 1: a warning \"no-death-points\"",
         false, false},
        {"both sides: Tom", "vorskal-accepted.txt line 1: \"both sides\"", false, false},
        // Notepad's "UTF-8 with BOM": the mark before the first line is no part of it; one
        // anywhere else, or a zero-width space, is shown byte by byte in the quoted code.
        {"\xEF\xBB\xBFno-death-points\r\nunknown-aircraft: Archie", "", true, true},
        {"\xEF\xBB\xBF", "", false, false},
        {"no-death-points\n\xEF\xBB\xBFno-map-line",
         "vorskal-accepted.txt line 2: \"\\xEF\\xBB\\xBFno-map-line\" is not", false, false},
        {"\xE2\x80\x8Bno-death-points",
         "vorskal-accepted.txt line 1: \"\\xE2\\x80\\x8Bno-death-points\" is not", false, false},
        {"# a\n" + longest + "\r\n", "", true, false},
        {"# a\n" + longest + " \r\n", "vorskal-accepted.txt line 2: the line is longer than 4096",
         false, false},
        {"#" + std::string(5000, 'x'), "vorskal-accepted.txt line 1: the line is longer than 4096",
         false, false},
        {tenThousand + "# no key\n", "", false, false},
        {tenThousand + "\n" + key, "vorskal-accepted.txt line 10002: a key beyond the 10000", false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        try {
            const AcceptedFindings accepted = AcceptedFindings::parse(c.text);
            EXPECT_STREQ(c.error, "");
            EXPECT_EQ(accepted.accepts(archie), c.archie);
            EXPECT_EQ(accepted.accepts(noDeath), c.noDeath);
        } catch (const TallyFailure& failure) {
            ASSERT_STRNE(c.error, "") << failure.what();
            EXPECT_EQ(std::string(failure.what()).rfind(c.error, 0), 0u) << failure.what();
        }
    }
}

// The key a run prints for a finding, copied into the file as it is, accepts
// that finding, whatever bytes the name holds; the name with its bytes
// written as the editor may keep them does too.
TEST(AcceptedFindings, ThePrintedKeyCopiedIntoTheFileAcceptsItsFinding) {
    const struct {
        const char* subject;  // the bytes of the log
        const char* printed;  // the key in brackets, worked out by hand
        const char* asSaved;  // another line that accepts it; nullptr: none
    } cases[] = {
        {"A\001B", "unknown-aircraft: A\\x01B", nullptr},
        {"Ren\xE9", "unknown-aircraft: Ren\xC3\xA9", "unknown-aircraft: Ren\xE9"},
        {"\x81x", "unknown-aircraft: \\x81x", nullptr},
        {"Red\tBaron", "unknown-aircraft: Red\\x09Baron", "unknown-aircraft: Red\tBaron"},
        {"Tab\t", "unknown-aircraft: Tab\\x09", nullptr},
        {"Lt:Smith", "unknown-aircraft: Lt:Smith", "unknown-aircraft:Lt:Smith"},
        {" Ace  ", "unknown-aircraft: \\x20Ace\\x20\\x20", nullptr},
        {"Max Immel", "unknown-aircraft: Max Immel", "  unknown-aircraft :Max Immel\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        Warning finding{"unknown-aircraft", "ux7server.log", 3, "odd", c.subject};
        EXPECT_EQ(results::warningLine(finding),
                  std::string("ux7server.log line 3: warning: odd [") + c.printed + "]");
        EXPECT_TRUE(AcceptedFindings::parse(c.printed).accepts(finding));
        if (c.asSaved != nullptr) {
            EXPECT_TRUE(AcceptedFindings::parse(c.asSaved).accepts(finding));
        }
        finding.accepted = true;
        EXPECT_EQ(results::warningLine(finding),
                  std::string("ux7server.log line 3: accepted: odd [") + c.printed + "]");
    }
    // The blanks of a name count: " Ace  " is not "Ace".
    EXPECT_FALSE(AcceptedFindings::parse("unknown-aircraft: Ace")
                     .accepts({"unknown-aircraft", "", 0, "", " Ace  "}));
}

// A run lists its findings in file and line order: the numbered logs by
// number (10 after 1), then "vorskal.ini", then "ux7server.log", anything
// else last; in a file one without a line first; one place keeps its order.
TEST(AcceptedFindings, FindingsAreListedInFileAndLineOrderAndTheAcceptedMarked) {
    std::vector<Warning> findings = {
        {"a", "ux7server.log", 5, "..."},
        {"b", "vorskal.ini", 2, "..."},
        {"c", "ux7server10.log", 1, "..."},
        {"d", "ux7server1.log", 3, "..."},
        {"e", "ux7server0.log", 9, "..."},
        {"f", "ux7server.log", 0, "..."},
        {"unknown-aircraft", "ux7server0.log", 2, "...", "Archie"},
        {"h", "vorskal.ini", 2, "..."},
        {"i", "notes.txt", 1, "..."},
    };
    collector::settleFindings(findings, AcceptedFindings::parse("unknown-aircraft: Archie"));
    std::string order;
    for (const Warning& finding : findings) {
        order += finding.code.substr(0, 1) + (finding.accepted ? "+" : "");
    }
    EXPECT_EQ(order, "u+edcbhfai");
}

}  // namespace
}  // namespace vorskal::testing
