// What both windows share, without any window: the boxes and the options,
// the one run per start, the run's closing message, the game folder and the
// command line. Built for Linux and for Windows (run under Wine there).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/window/closing_message.h"
#include "app/window/command_line.h"
#include "app/window/game_folder.h"
#include "app/window/option_boxes.h"
#include "app/window/window_session.h"
#include "tests/support/game_dir.h"

namespace vorskal::window {
namespace {

using testing::GameDir;
using testing::linesOf;

TEST(WindowCore, BoxesSetOptionsAllOnAtStartAndFrozenOnceTheRunBegins) {
    std::vector<TallyOptions> seen;
    WindowSession session("game", [&](const TallyOptions& options, const std::string& folder) {
        seen.push_back(options);
        EXPECT_EQ(folder, "game");
        return RunEnd{};
    });
    const TallyOptions& options = session.options();
    EXPECT_TRUE(options.overMaxPilotCorrection && options.multiDeathCorrection &&
                options.fighterTargetCorrection && options.redBoxedOnly);

    // Checked sets the flag, unchecked clears it, grayed keeps it as it was.
    for (const BoxState state : {BoxState::Checked, BoxState::Grayed}) {
        session.boxChanged(Option::MultiDeathCorrection, state);
    }
    for (const BoxState state : {BoxState::Unchecked, BoxState::Unchecked, BoxState::Grayed}) {
        session.boxChanged(Option::FighterTargetCorrection, state);
    }
    session.boxChanged(Option::RedBoxedOnly, BoxState::Unchecked);
    session.boxChanged(Option::RedBoxedOnly, BoxState::Checked);
    EXPECT_TRUE(session.begin());
    EXPECT_FALSE(session.begin());  // one start, one tally
    session.boxChanged(Option::OverMaxPilotCorrection, BoxState::Unchecked);
    session.run();

    ASSERT_EQ(seen.size(), 1U);
    EXPECT_TRUE(seen[0].overMaxPilotCorrection);
    EXPECT_TRUE(seen[0].multiDeathCorrection);
    EXPECT_FALSE(seen[0].fighterTargetCorrection);
    EXPECT_TRUE(seen[0].redBoxedOnly);
}

// The message of a run: its totals and findings when it completed; a failure
// (exit status 2) and a missing first log (0) say only what went wrong.
TEST(WindowCore, ClosingMessageGivesTotalsAndFindingsOfACompletedRunOnly) {
    const std::string totals = "Tally Complete\n\nFinal totals: Allied 79, Hun -5";
    const std::string heading = " (the scores may be wrong; vorskal-tally --check lists them all):";
    const std::string first = "\nux7server1.log line 1: warning: finding 1 [code1]";
    const std::string failure = "vorskal.ini line 6: \"ten\" is not a number";
    struct Case {
        OutcomeKind kind;
        std::string text;
        int findings;
        int accepted;  // of them, the last ones
        std::string whole;
    };
    for (const Case& c : std::vector<Case>{
             {OutcomeKind::Completed, "Tally Complete", 0, 0, totals},
             {OutcomeKind::Completed, "Tally Complete", 1, 0,
              totals + "\n\n1 warning" + heading + first},
             {OutcomeKind::Completed, "Tally Complete", 5, 0,
              totals + "\n\n5 warnings" + heading + first +
                  "\nux7server2.log line 2: warning: finding 2 [code2]"
                  "\nux7server3.log line 3: warning: finding 3 [code3]"
                  "\nux7server4.log line 4: warning: finding 4 [code4]"
                  "\n... and 1 more"},
             // An accepted one comes apart, by its key alone.
             {OutcomeKind::Completed, "Tally Complete", 2, 1,
              totals + "\n\n1 warning" + heading + first +
                  "\n\n1 accepted finding (vorskal-accepted.txt):\ncode2: subject 2"},
             {OutcomeKind::MissingFirstLog, "Could not find ux7server0.log", 0, 0,
              "Could not find ux7server0.log"},
             {OutcomeKind::Failed, failure, 2, 0, failure},
         }) {
        results::GameResults found;
        found.allied.final = 79;
        found.hun.final = -5;
        for (int n = 1; n <= c.findings; ++n) {
            found.warnings.push_back(
                {"code" + std::to_string(n), "ux7server" + std::to_string(n) + ".log",
                 static_cast<std::uint64_t>(n), "finding " + std::to_string(n)});
            if (n > c.findings - c.accepted) {
                found.warnings.back().subject = "subject " + std::to_string(n);
                found.warnings.back().accepted = true;
            }
        }
        const ClosingMessage message = closingMessage({c.kind, c.text}, found);
        EXPECT_EQ(message.whole(), c.whole);
        EXPECT_EQ(message.failed, c.kind == OutcomeKind::Failed) << c.whole;
        EXPECT_EQ(exitStatusOf(c.kind), c.kind == OutcomeKind::Failed ? 2 : 0) << c.whole;
    }
}

// Whole runs in a game folder; a failure's message is the report's ERROR line.
TEST(WindowCore, RealRunsEndWithTheirMessageAndStatus) {
    struct Case {
        bool firstLog;
        std::string killLine;
        std::string whole;
        int exitStatus;
    };
    for (const Case& c : std::vector<Case>{
             {true, "Kill=10", "Tally Complete\n\nFinal totals: Allied 10, Hun -5", 0},
             {true, "",
              "Tally Complete\n\nFinal totals: Allied 0, Hun -5\n\n1 warning (the scores may be "
              "wrong; vorskal-tally --check lists them all):\nvorskal.ini: warning: there is no "
              "\"Kill=\" line, so every kill is worth 0 points; add one such as \"Kill=10\" after "
              "the map's block [no-kill-points]",
              0},
             {false, "Kill=10", "Could not find ux7server0.log", 0},
             {true, "Kill=ten", "vorskal.ini line 6: \"ten\" is not a number", 2},
         }) {
        GameDir game;
        game.writeOneKill(c.firstLog ? "ux7server0.log" : "ux7server1.log", c.killLine);
        TallyOptions options;  // one option off, to see the run gets them
        options.redBoxedOnly = false;
        const RunEnd end = tallyGame(options, game.path());
        EXPECT_EQ(end.message.whole(), c.whole);
        EXPECT_EQ(end.exitStatus, c.exitStatus) << c.whole;
        EXPECT_EQ(end.message.failed, c.exitStatus == 2) << c.whole;
        const std::string report = game.read("vorskal.log");
        EXPECT_EQ(game.exists("vorskal.log"), c.firstLog) << c.whole;
        if (c.firstLog && c.exitStatus == 0) {
            EXPECT_NE(report.find("NOTICE -- Non-red boxed targets have been tallied"),
                      std::string::npos);
        }
        if (c.exitStatus == 2) {
            EXPECT_EQ(linesOf(report).back(), "ERROR -- " + c.whole);
        }
    }
}

TEST(WindowCore, FolderDialogIsAskedUntilAFolderHoldsTheFirstLog) {
    GameDir root;
    const std::string game = root.path() + "/game";
    const std::string empty = root.path() + "/empty";
    std::filesystem::create_directory(game);
    std::filesystem::create_directory(empty);
    root.write("game/ux7server0.log", "");
    const std::string refusal =
        empty +
        " holds no ux7server0.log.\n\nChoose the folder where the game server writes its "
        "logs.";

    struct Case {
        const char* what;
        std::string given;
        std::string current;
        std::vector<std::string> answers;  // the dialog's, in turn ("" cancels)
        std::string chosen;                // "" for none
        int refusals;
    };
    for (const Case& c : std::vector<Case>{
             {"given, even without the log", empty, game, {}, empty, 0},
             {"the current folder holds it", "", game, {}, game, 0},
             {"asked", "", empty, {game}, game, 0},
             {"refused, asked again", "", empty, {empty, game}, game, 1},
             {"cancelled", "", empty, {""}, "", 0},
             {"refused, then cancelled", "", empty, {empty, ""}, "", 1},
         }) {
        std::size_t asked = 0;
        std::vector<std::string> told;
        const FolderDialog dialog{
            [&] { return asked < c.answers.size() ? c.answers[asked++] : ""; },
            [&](const std::string& message) { told.push_back(message); }};
        const auto chosen = chooseGameFolder(c.given, c.current, dialog);
        EXPECT_EQ(chosen.value_or(""), c.chosen) << c.what;
        EXPECT_EQ(asked, c.answers.size()) << c.what;
        EXPECT_EQ(told, std::vector<std::string>(c.refusals, refusal)) << c.what;
    }
}

TEST(WindowCore, CommandLine) {
    GameDir folder;
    using Action = WindowCommand::Action;
    struct Case {
        std::vector<std::string> words;
        Action action;
        std::string folder;
    };
    for (const Case& c : std::vector<Case>{
             {{}, Action::Open, ""},
             {{folder.path()}, Action::Open, folder.path()},
             {{"-h"}, Action::Help, ""},
             {{"--version"}, Action::Version, ""},
             {{folder.path() + "/none"}, Action::BadUsage, ""},
             {{folder.path(), folder.path()}, Action::BadUsage, ""},
             {{"--frobnicate"}, Action::BadUsage, ""},
         }) {
        std::vector<const char*> argv{"vorskal"};
        for (const std::string& word : c.words) {
            argv.push_back(word.c_str());
        }
        const WindowCommand command = readWindowCommand(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(command.action, c.action) << ::testing::PrintToString(c.words);
        EXPECT_EQ(command.folder, c.folder) << ::testing::PrintToString(c.words);
        if (c.action == Action::Version) {
            EXPECT_EQ(command.text, "vorskal 3.40\n");
        }
    }
}

}  // namespace
}  // namespace vorskal::window
