#include "tests/fuzz/harness.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/tally_run.h"
#include "logs/merge.h"
#include "tests/support/memory_files.h"

namespace vorskal::fuzz {
namespace {

constexpr std::string_view kPointFile =
    "Map=Verdun\r\nVerdun\r\n12-Bridge,2\r\n7-Depot,1\r\n123-Camp,1\r\n\r\n"
    "Kill=10\r\nDeath=-5\r\nBridge=15\r\nDepot=5\r\nCamp=7\r\nx\r\ny\r\nz\r\nw\r\n";

constexpr std::string_view kGame =
    "12/06/26 20:00:00 Player |Snoopy (UDP:192.0.2.5:2300) has entered the arena, flying a "
    "SOPWITH_CAMEL\r\n"
    "12/06/26 20:15:03 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          "
    "SOPWITH_CAMEL\r\n"
    "12/06/26 20:15:10 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          "
    "SOPWITH_CAMEL\r\n"
    "12/06/26 20:16:00 Selected target destroyed and removed from list\r\n"
    "12/06/26 20:16:00 Target Bridge #12 destroyed by Snoopy.\r\n"
    "12/06/26 20:17:00 Target Depot #7 destroyed by Snoopy.\r\n"
    "12/06/26 20:18:00 Target Camp 123 destroyed by Baron_Red.\r\n"
    "12/06/26 20:30:00 Player |Snoopy has left the arena\r\n";

struct Reports {
    Outcome outcome;
    std::string report;
};

Reports tallyOnce(const testing::MemoryFiles& game, bool reread, std::size_t window) {
    testing::MemoryFiles files = game;
    testing::FixedClock clock;
    TallyState state;
    applyOptions(state, TallyOptions{});
    RunConfig config;
    config.rereadMergedLog = reread;
    config.mergeWindow = window;
    Reports result{runTally(state, files, clock, config), files.files["vorskal.log"]};
    return result;
}

bool same(const Reports& a, const Reports& b) {
    return a.outcome.kind == b.outcome.kind && a.outcome.message == b.outcome.message &&
           a.report == b.report;
}

// Where two readings part: their outcomes and the first line that differs.
void describe(const char* what, const Reports& a, const Reports& b) {
    std::fprintf(stderr, "%s: outcome %d \"%s\" against %d \"%s\"\n", what,
                 static_cast<int>(a.outcome.kind), a.outcome.message.c_str(),
                 static_cast<int>(b.outcome.kind), b.outcome.message.c_str());
    std::size_t at = 0;
    while (at < a.report.size() && at < b.report.size() && a.report[at] == b.report[at]) {
        ++at;
    }
    const std::size_t start =
        a.report.rfind('\n', at) == std::string::npos ? 0 : a.report.rfind('\n', at) + 1;
    const auto lineAt = [start](const std::string& report) {
        return report.substr(start, report.find('\n', start) - start);
    };
    std::fprintf(stderr, "  first difference at byte %zu:\n  < %s\n  > %s\n", at,
                 lineAt(a.report).c_str(), lineAt(b.report).c_str());
}

Outcome tallyBothWays(const testing::MemoryFiles& game) {
    const Reports fast = tallyOnce(game, false, 0);
    const Reports plain = tallyOnce(game, true, 0);
    // Lines longer than the merge's window are taken apart where they lie.
    const Reports longLines = tallyOnce(game, false, 24);
    if (!same(fast, plain) || !same(fast, longLines)) {
        std::fprintf(stderr, "the readings of the merged log disagree\n");
        if (!same(fast, plain)) {
            describe("read once against read again", fast, plain);
        }
        if (!same(fast, longLines)) {
            describe("read once against long lines taken apart", fast, longLines);
        }
        std::abort();
    }
    return fast.outcome;
}

}  // namespace

Outcome tallyLogBytes(std::string_view bytes) {
    testing::MemoryFiles game;
    game.files["vorskal.ini"] = std::string(kPointFile);
    std::size_t piece = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = bytes.find('\x01', start);
        game.files[numberedLogName(piece++)] = std::string(bytes.substr(start, cut - start));
        if (cut == std::string_view::npos) {
            break;
        }
        start = cut + 1;
    }
    return tallyBothWays(game);
}

Outcome tallyPointFileBytes(std::string_view bytes) {
    testing::MemoryFiles game;
    game.files["vorskal.ini"] = std::string(bytes);
    game.files["ux7server0.log"] = std::string(kGame);
    return tallyBothWays(game);
}

}  // namespace vorskal::fuzz
