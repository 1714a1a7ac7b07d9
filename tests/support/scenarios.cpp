#include "tests/support/scenarios.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "base/version.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isInput(const std::string& name) {
    return name == "vorskal.ini" || name == "vorskal.log" || name == "vorskal-accepted.txt" ||
           (name.rfind("ux7server", 0) == 0 && name.size() > 4 &&
            name.compare(name.size() - 4, 4, ".log") == 0);
}

Files filesOf(const fs::path& dir) {
    Files files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && isInput(name)) {
            files[name] = slurp(entry.path());
        }
    }
    return files;
}

bool isSwitch(const std::string& word) {
    return word == "--no-over-max-correction" || word == "--no-multi-death-correction" ||
           word == "--no-fighter-target-correction" || word == "--all-targets";
}

Scenario load(const fs::path& source, const fs::path& dir) {
    Scenario s;
    s.name = dir.filename().string();
    s.inputs = filesOf(dir);
    std::istringstream options(slurp(dir / "options"));
    for (std::string word, arg; options >> word;) {
        if (word == "disk") {
            s.disk = true;
        } else if (isSwitch(word)) {
            s.switches.push_back(word);
        } else if (word != "inputs" && word != "cut-short" && word != "full" &&
                   word != "unreadable" && word != "uncreatable") {
            s.problems.push_back("tests/scenarios/" + s.name + "/options: unknown word \"" + word +
                                 "\"");
        } else if (options >> arg; word == "inputs") {
            s.inputs = filesOf(source / arg);
        } else if (word == "cut-short" || word == "full") {
            options >> (word == "full" ? s.full : s.cutShort)[arg];
        } else {
            (word == "unreadable" ? s.unreadable : s.uncreatable).push_back(arg);
        }
    }
    s.completes = !fs::exists(dir / "expect.failure");
    s.reportOpened = fs::exists(dir / "expect.report");
    s.report = expectedReport(dir);
    s.kills = fs::exists(dir / "expect.kills") ? slurp(dir / "expect.kills") : "";
    if (fs::exists(dir / "expect.merged")) {
        s.merged = slurp(dir / "expect.merged");
    } else {
        for (int n = 0; s.inputs.count("ux7server" + std::to_string(n) + ".log") != 0; ++n) {
            s.merged += s.inputs.at("ux7server" + std::to_string(n) + ".log");
        }
    }
    std::istringstream failure(slurp(dir / "expect.failure"));
    for (std::string line; std::getline(failure, line);) {
        const std::string rest = line.substr(line.find(' ') + 1);
        if (line.rfind("status ", 0) == 0) {
            s.status = std::stoi(rest);
        } else if (line.rfind("no ", 0) == 0) {
            s.absent.push_back(rest);
        } else {
            (line.rfind("names ", 0) == 0 ? s.names : s.shows).push_back(rest);
        }
    }
    return s;
}

}  // namespace

std::string expectedReport(const fs::path& folder) {
    std::string report = slurp(folder / "expect.report");
    constexpr std::string_view kPlaceholder = "<VERSION>";
    if (const std::size_t at = report.find(kPlaceholder); at != std::string::npos) {
        report.replace(at, kPlaceholder.size(), kVersion);
    }
    return report;
}

void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.name;
}

std::vector<Scenario> allScenarios(const fs::path& source) {
    std::vector<Scenario> out;
    for (const auto& entry : fs::directory_iterator(source / "tests/scenarios")) {
        out.push_back(load(source, entry.path()));
    }
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.name < b.name; });
    return out;
}

TallyOptions optionsOf(const Scenario& s) {
    TallyOptions o;
    for (const auto& w : s.switches) {
        o.overMaxPilotCorrection &= w != "--no-over-max-correction";
        o.multiDeathCorrection &= w != "--no-multi-death-correction";
        o.fighterTargetCorrection &= w != "--no-fighter-target-correction";
        o.redBoxedOnly &= w != "--all-targets";
    }
    return o;
}

Outcome runInMemory(const Scenario& s, bool reread, results::GameResults* results, Files& files,
                    std::size_t mergeWindow) {
    MemoryFiles memory;
    memory.files = s.inputs;
    memory.unreadable.insert(s.unreadable.begin(), s.unreadable.end());
    memory.uncreatable.insert(s.uncreatable.begin(), s.uncreatable.end());
    memory.cutShortTo.insert(s.cutShort.begin(), s.cutShort.end());
    memory.writeLimit.insert(s.full.begin(), s.full.end());
    FixedClock clock;
    TallyState state;
    applyOptions(state, optionsOf(s));
    RunConfig config;
    config.rereadMergedLog = reread;
    config.mergeWindow = mergeWindow;
    config.results = results;
    const Outcome outcome = runTally(state, memory, clock, config);
    files = memory.files;
    return outcome;
}

}  // namespace vorskal::testing
