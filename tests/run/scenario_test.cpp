// Every folder of tests/scenarios is one game and what its tally must give
// (and, at the end, every input of the fuzzers' corpus is replayed, and the
// one error boundary is tried with what no folder can make happen).
//
// A folder holds the game's files as the server and the user left them (the
// numbered logs, "vorskal.ini", maybe an earlier "vorskal.log" or
// "ux7server.log"), a one-line WHY, an "options" file and the expectations:
//   expect.report   the lines the run appends to "vorskal.log", the time line
//                   masked and the version "<VERSION>"; after a failure, the
//                   lines before its ERROR line (absent when the report is
//                   never opened)
//   expect.merged   the merged log (absent: the numbered logs one after the other)
//   expect.kills    the kills list, a row a line (absent: not compared)
//   expect.failure  "status N", then "names FILE[ line N]", "shows TEXT" and
//                   "no FILE" (must not exist after the run) lines; absent
//                   when the run completes
// "options" holds words, one a line: runner switches ("--all-targets", ...),
// "inputs DIR" (the game's files come from that folder of the project),
// "unreadable NAME" / "uncreatable NAME" (that file fails: in memory by fault
// injection, on disk as a folder of that name), "cut-short NAME BYTES" and
// "full NAME BYTES" (in memory, reads of it end early, writes fail beyond)
// and "disk" (run it on real files too, through the headless runner); any
// other word fails the folder's tests, naming the folder and the word.
//
// Each folder runs in memory, every way the merged log can be read; when it
// completes, the kills list and the game page's activity chart must count
// the kills and deaths the results model's tables do (that the model holds
// the numbers of expect.report: the league's report reader test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <new>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/cli/runner.h"
#include "app/tally_run.h"
#include "html/game_page.h"
#include "results/json_text.h"
#include "results/json_writer.h"
#include "tests/fuzz/harness.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"
#include "tests/support/scenarios.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;

// The report's time line is the clock's; it is masked before comparing.
std::string masked(const std::string& report) {
    static const std::regex timeLine("Current time is [^\r]*    Current date is [^\r]*");
    return std::regex_replace(report, timeLine, "Current time is <TIME>    Current date is <DATE>");
}

int statusOf(const Outcome& outcome) {
    switch (outcome.kind) {
        case OutcomeKind::Completed:
            return kExitOk;
        case OutcomeKind::MissingFirstLog:
            return kExitMissingFirstLog;
        case OutcomeKind::Refused:
            return kExitFindings;
        case OutcomeKind::Failed:
            break;
    }
    return kExitFailed;
}

// What a run left: its status and message, and the files of the folder.
struct Result {
    int status;
    std::string message;
    Files files;
};

void expectResult(const Scenario& s, const Result& r) {
    for (const auto& problem : s.problems) {
        ADD_FAILURE() << problem;
    }
    EXPECT_EQ(r.status, s.status) << r.message;
    for (const auto& text : s.names) {
        EXPECT_NE(r.message.find(text + (text.find(" line ") == std::string::npos ? "" : ": ")),
                  std::string::npos)
            << "the message must name " << text << ": " << r.message;
    }
    for (const auto& text : s.shows) {
        EXPECT_NE(r.message.find(text), std::string::npos) << r.message;
    }
    Files expected = s.inputs;
    const std::string old = s.inputs.count("vorskal.log") ? s.inputs.at("vorskal.log") : "";
    if (s.reportOpened) {
        expected["vorskal.log"] =
            old + s.report + (s.status == 2 ? "ERROR -- " + r.message + "\r\n" : "");
    }
    if (s.status != 1) {
        expected["ux7server.log"] = s.merged;
    }
    for (const auto& name : s.absent) {
        expected.erase(name);
    }
    // A file that cannot be created keeps what it held (on disk it is a folder).
    Files got = r.files;
    for (const auto& name : s.uncreatable) {
        got.erase(name);
        expected.erase(name);
    }
    if (got.count("vorskal.log")) {
        got["vorskal.log"] = masked(got["vorskal.log"]);
    }
    EXPECT_EQ(got, expected);
}

// What the page's activity chart says it counts, "Allied 8 kills and 1
// death, Hun ..." (no chart: none); and the same from the
// score tables. Kills and deaths at a time outside the day are in the
// tables only, with a warning of their own.
void expectChartCountsAsTheTables(const results::GameResults& r) {
    for (const auto& w : r.warnings) {
        if (w.code == "time-out-of-range") {
            return;
        }
    }
    const std::string page = html::gamePage(r);
    const std::string lead = "as the score tables count them: ";
    const std::size_t at = page.find(lead);
    const std::string said =
        at == std::string::npos
            ? "Allied 0 kills and 0 deaths, Hun 0 kills and 0 deaths"
            : page.substr(at + lead.size(), page.find('.', at) - at - lead.size());
    const auto counted = [](std::int64_t n, const std::string& what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    EXPECT_EQ(said, "Allied " + counted(r.allied.kills, "kill") + " and " +
                        counted(r.allied.deaths, "death") + ", Hun " +
                        counted(r.hun.kills, "kill") + " and " + counted(r.hun.deaths, "death"));
}

// The kills list counts what the score tables count, by name and side (two
// records alike in both count as one on either side); a row taken back names
// the multi-death correction that quotes its line as the death taken back.
void expectKillsAsTheTables(const results::GameResults& r) {
    std::map<std::pair<std::string, results::Side>, std::pair<std::int64_t, std::int64_t>> tables,
        listed;  // kills, deaths
    for (const auto& p : r.pilots) {
        tables[{p.name, p.team}].first += p.kills;
        tables[{p.name, p.team}].second += p.deaths;
    }
    for (const auto& k : r.kills) {
        if (k.takenBackBy) {
            const auto& c = r.corrections.at(static_cast<std::size_t>(*k.takenBackBy - 1));
            EXPECT_TRUE(c.kind == results::CorrectionKind::MultiDeath &&
                        c.evidence.at(1).line == k.line);
        } else {
            listed[{k.victim, k.victimSide}].second += 1;
            listed[{k.killer.value_or(""), k.killerSide}].first += k.killer && !k.selfKill;
        }
    }
    for (auto* counts : {&tables, &listed}) {
        std::erase_if(*counts, [](const auto& c) {
            return c.second == std::pair<std::int64_t, std::int64_t>{};
        });
    }
    EXPECT_EQ(listed, tables);
}

// "line time victim|aircraft|side killer|aircraft|side[ self] takenBackBy", a line each.
std::string killRows(const results::GameResults& r) {
    std::string rows;
    for (const results::KillRow& k : r.kills) {
        rows += std::to_string(k.line) + " " + k.time + " " + k.victim + "|" + k.victimAircraft +
                "|" + std::string(sideName(k.victimSide)) + " " + k.killer.value_or("-") + "|" +
                k.killerAircraft + "|" + std::string(sideName(k.killerSide)) +
                (k.selfKill ? " self " : " ") +
                (k.takenBackBy ? std::to_string(*k.takenBackBy) : "-") + "\n";
    }
    return rows;
}

// How a run reads the merged log.
enum class Reading { Kept, KeptFromLongLines, ReadBack };

Result inMemory(const Scenario& s, Reading reading) {
    results::GameResults results;
    Files files;
    // Read 20 bytes at a time, most lines are taken apart where they lie.
    const Outcome outcome = runInMemory(s, reading == Reading::ReadBack, &results, files,
                                        reading == Reading::KeptFromLongLines ? 20 : 0);
    if (outcome.kind == OutcomeKind::Completed) {
        expectKillsAsTheTables(results);
        EXPECT_TRUE(s.kills.empty() || killRows(results) == s.kills) << killRows(results);
        if (reading == Reading::Kept) {
            // The kills through the JSON and back write the same JSON; as format 3, none.
            const auto kills = [](const results::GameResults& game) {
                std::ostringstream json;
                results::writeJson(game, json);
                const std::string text = json.str();
                const std::size_t at = text.find("\n\"kills\":");
                return text.substr(at, text.find("\n\"timeline\":") - at);
            };
            std::ostringstream json;
            results::writeJson(results, json);
            EXPECT_EQ(kills(results::gameFromJson(json.str())), kills(results));
            std::string three = json.str().replace(17, 1, "3");
            EXPECT_FALSE(results::gameFromJson(three).killsListed);
            expectChartCountsAsTheTables(results);
        }
    }
    return {statusOf(outcome), outcome.message, files};
}

Result onDisk(const Scenario& s) {
    GameDir dir;
    dir.writeAll(s.inputs);
    for (const auto* names : {&s.unreadable, &s.uncreatable}) {
        for (const auto& name : *names) {
            fs::remove(dir.path() + "/" + name);
            fs::create_directory(dir.path() + "/" + name);
        }
    }
    std::vector<const char*> argv = {"vorskal-tally", "-C", dir.path().c_str()};
    for (const auto& w : s.switches) {
        argv.push_back(w.c_str());
    }
    std::ostringstream out, err;
    Result r{runTallyCommand(static_cast<int>(argv.size()), argv.data(), out, err), "", {}};
    r.message = r.status == 0 ? out.str() : err.str();
    if (r.status == 0) {
        // "Tally Complete", then the one summary line of the totals.
        EXPECT_EQ(out.str().rfind("Tally Complete\nAllied ", 0), 0u) << out.str();
        EXPECT_NE(out.str().find("; report appended to vorskal.log"), std::string::npos);
    } else {
        EXPECT_EQ("", out.str());
    }
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        if (entry.is_regular_file()) {
            r.files[entry.path().filename().string()] = dir.read(entry.path().filename().string());
        } else {
            EXPECT_TRUE(std::count(s.unreadable.begin(), s.unreadable.end(),
                                   entry.path().filename().string()) +
                        std::count(s.uncreatable.begin(), s.uncreatable.end(),
                                   entry.path().filename().string()))
                << "left behind: " << entry.path();
        }
    }
    for (const auto& name : s.unreadable) {  // a folder on disk, the file in memory
        if (s.inputs.count(name)) {
            r.files[name] = s.inputs.at(name);
        }
    }
    if (r.status == 2) {  // the runner puts its name before the message
        const std::string prefix = "vorskal-tally: ";
        EXPECT_EQ(r.message.rfind(prefix, 0), 0u) << r.message;
        r.message = r.message.substr(prefix.size(), r.message.size() - prefix.size() - 1);
    }
    return r;
}

// A folder's own faults: a word of "options" that the harness does not know
// (a misspelt switch would otherwise run the game with every option on) is
// named with its folder; the words around it still count.
TEST(ScenarioFolder, UnknownOptionWord) {
    const GameDir root;
    const fs::path folder = fs::path(root.path()) / "tests/scenarios/stray";
    fs::create_directories(folder);
    std::ofstream(folder / "options") << "disk\n--all-targets\nfast\n--no-overmax-correction\n"
                                         "unreadable vorskal.ini\n";
    const std::vector<Scenario> found = allScenarios(root.path());
    ASSERT_EQ(found.size(), 1u);
    const Scenario& s = found[0];
    EXPECT_EQ(s.problems,
              (std::vector<std::string>{"tests/scenarios/stray/options: unknown word \"fast\"",
                                        "tests/scenarios/stray/options: unknown word "
                                        "\"--no-overmax-correction\""}));
    EXPECT_TRUE(s.disk);
    EXPECT_EQ(s.switches, std::vector<std::string>{"--all-targets"});
    EXPECT_EQ(s.unreadable, std::vector<std::string>{"vorskal.ini"});
}

class Scenarios : public ::testing::TestWithParam<Scenario> {};
class ScenariosOnDisk : public Scenarios {};

TEST_P(Scenarios, InMemoryEveryReading) {
    for (const auto& [reading, name] :
         {std::pair{Reading::Kept, "lines the merge kept"},
          std::pair{Reading::KeptFromLongLines, "lines the merge kept, read 20 bytes at a time"},
          std::pair{Reading::ReadBack, "merged log read back for every pass"}}) {
        SCOPED_TRACE(name);
        expectResult(GetParam(), inMemory(GetParam(), reading));
    }
}

TEST_P(ScenariosOnDisk, ThroughTheRunner) {
    expectResult(GetParam(), onDisk(GetParam()));
}

// "kill-awarded" -> "kill_awarded", "logs/mixed-ends" -> "logs_mixed_ends":
// a folder's or an input's name, for ctest -R.
std::string nameOf(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) == 0; }, '_');
    return name;
}

std::string testName(const ::testing::TestParamInfo<Scenario>& info) {
    return nameOf(info.param.name);
}

std::vector<Scenario> onDiskOnly() {
    std::vector<Scenario> out = allScenarios(VORSKAL_SOURCE_DIR);
    std::erase_if(out, [](const Scenario& s) { return !s.disk; });
    return out;
}

INSTANTIATE_TEST_SUITE_P(Folder, Scenarios, ::testing::ValuesIn(allScenarios(VORSKAL_SOURCE_DIR)),
                         testName);
INSTANTIATE_TEST_SUITE_P(Folder, ScenariosOnDisk, ::testing::ValuesIn(onDiskOnly()), testName);

// Every input in the fuzzers' corpus, replayed, one test each: it must
// tally without a crash, both readings of the merged log must agree (the
// harness stops the process when they do not), and the run either completes
// or stops with a message that names the file at fault.
std::vector<std::string> corpus() {  // as text, so that names and messages show the paths
    std::vector<std::string> inputs;
    for (const char* kind : {"logs", "ini"}) {
        for (const auto& entry :
             fs::directory_iterator(fs::path(VORSKAL_SOURCE_DIR) / "tests/fuzz/corpus" / kind)) {
            inputs.push_back(entry.path().string());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzCorpus, TalliesOrNamesTheFileAtFault) {
    std::ifstream in(GetParam(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(bytes.empty());
    const bool logs = fs::path(GetParam()).parent_path().filename() == "logs";
    const Outcome outcome = logs ? fuzz::tallyLogBytes(bytes) : fuzz::tallyPointFileBytes(bytes);
    if (outcome.kind == OutcomeKind::Completed) {
        EXPECT_EQ(outcome.message, "Tally Complete");
    } else {
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message.find(logs ? "ux7server" : "vorskal.ini"), std::string::npos)
            << outcome.message;
    }
}

INSTANTIATE_TEST_SUITE_P(Input, FuzzCorpus, ::testing::ValuesIn(corpus()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             const fs::path path = info.param;
                             return nameOf(path.parent_path().filename().string() + "_" +
                                           path.filename().string());
                         });

// One error boundary: whatever stops a run (running out of memory, any other
// exception; a tally failure: the scenario folders "fault-*"), in the merge
// or later, the run ends as a failure, the report keeps its earlier lines and
// gets its header and one "ERROR -- " line naming what happened; only running
// out of memory is reported as that, and it names the file being read.
// A game whose file `faulty` throws `fault` when the run opens it: the
// settings file at step 4, after the report's header; a numbered log in the
// merge, before it.
class FaultyFile : public MemoryFiles {
  public:
    FaultyFile(std::string faulty, std::function<void()> fault)
        : faulty_(std::move(faulty)), fault_(std::move(fault)) {
        files["ux7server0.log"] = "a line\r\n";
        files["ux7server1.log"] = "another line\r\n";
        files["vorskal.ini"] = "Kill=10\r\n";
        files["vorskal.log"] = "earlier\r\n";
    }
    std::unique_ptr<InputFile> openForReading(const std::string& name) override {
        if (name == faulty_) {
            fault_();
        }
        return MemoryFiles::openForReading(name);
    }
    std::unique_ptr<MappedFile> map(const std::string& name) override {
        if (name == faulty_) {
            fault_();
        }
        return MemoryFiles::map(name);
    }

  private:
    std::string faulty_;
    std::function<void()> fault_;
};

TEST(ErrorBoundary, EveryFailureEndsTheReportWithOneErrorLine) {
    const std::string header =
        "\r\n\r\nUX7SERVER Log Tally (VORSKAL.LOG)\r\n"
        "Rev 3.40 -- VORSKAL scoring tally for the ZORL league\r\n"
        "Current time is 20:15:03    Current date is 06/12/2026\r\n\r\n\r\n";
    struct Case {
        const char* name;
        std::string faulty;
        std::function<void()> fault;
        std::string named;  // what the message must name
    };
    const Case cases[] = {
        {"out of memory", "vorskal.ini", [] { throw std::bad_alloc(); },
         "the tally ran out of memory while reading vorskal.ini"},
        {"other exception", "vorskal.ini", [] { throw std::runtime_error("the disk went away"); },
         "the disk went away"},
        {"no exception type at all", "vorskal.ini", [] { throw 7; }, "unknown"},
        {"out of memory in the merge", "ux7server1.log", [] { throw std::bad_alloc(); },
         "the tally ran out of memory while reading ux7server1.log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultyFile files(c.faulty, c.fault);
        TallyState state;
        FixedClock clock;
        const Outcome outcome = runTally(state, files, clock);
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message.find(c.named), std::string::npos) << outcome.message;
        if (c.named.find("memory") == std::string::npos) {
            EXPECT_EQ(outcome.message.find("memory"), std::string::npos) << outcome.message;
        }
        EXPECT_EQ(files.files["vorskal.log"],
                  "earlier\r\n" + header + "ERROR -- " + outcome.message + "\r\n");
    }
}

}  // namespace
}  // namespace vorskal::testing
