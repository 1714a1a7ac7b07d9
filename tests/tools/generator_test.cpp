// The game generator (tools/gen) makes the games the benchmark times: a game
// must be one the tally takes whole, the same for the same seed, and hold
// what its summary says it wrote. Each count of the summary is checked
// against what the tally found in the game.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/report_layout.h"
#include "gen/generator.h"
#include "results/game_results.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

// The number after `label` on the report line that starts with it.
std::int64_t reported(const std::string& report, std::string_view label) {
    for (const std::string& line : linesOf(report)) {
        if (line.starts_with(label)) {
            return std::stoll(line.substr(label.size()));
        }
    }
    return -1;
}

TEST(Generator, AGameIsWhatItsSummarySays) {
    for (const std::uint64_t seed : {1u, 7u}) {
        SCOPED_TRACE(seed);
        const gen::GameOptions options{seed, 2u << 20, 3};
        gen::MemorySink sink;
        const gen::GameSummary summary = gen::writeServerLogs(options, sink);
        gen::MemorySink again;
        gen::writeServerLogs(options, again);
        EXPECT_EQ(again.pieces(), sink.pieces());

        MemoryFiles files;
        for (std::size_t i = 0; i < sink.pieces().size(); ++i) {
            files.files["ux7server" + std::to_string(i) + ".log"] = sink.pieces()[i];
        }
        files.files["vorskal.ini"] = gen::pointFileText(seed);
        FixedClock clock;
        TallyState state;
        applyOptions(state, {});
        results::GameResults game;
        RunConfig config;
        config.results = &game;
        ASSERT_EQ(runTally(state, files, clock, config).kind, OutcomeKind::Completed);

        ASSERT_EQ(game.inputs.size(), 3u + 2u);  // the pieces, vorskal.ini, the merged log
        EXPECT_EQ(game.inputs.back().bytes, summary.bytes);
        EXPECT_EQ(game.inputs.back().lines, summary.lines);
        EXPECT_EQ(game.settings.map, summary.mapName);
        EXPECT_EQ(game.targets.size(), summary.targets);
        EXPECT_EQ(std::count_if(game.targets.begin(), game.targets.end(),
                                [](const results::TargetRow& t) { return t.redBoxed; }),
                  static_cast<std::ptrdiff_t>(summary.redBoxed));
        EXPECT_EQ(std::count_if(game.corrections.begin(), game.corrections.end(),
                                [](const results::Correction& c) {
                                    return c.kind == results::CorrectionKind::MultiDeath;
                                }),
                  static_cast<std::ptrdiff_t>(summary.copies));
        const std::string& report = files.files["vorskal.log"];
        EXPECT_EQ(reported(report, layout::kMaxAlliedNotice), summary.maxAllied);
        EXPECT_EQ(reported(report, layout::kMaxHunNotice), summary.maxHun);
        EXPECT_GT(summary.kills, 0u);
        EXPECT_GT(summary.entries, 0u);
    }
}

}  // namespace
}  // namespace vorskal::testing
