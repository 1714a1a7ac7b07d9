// What both windows share, without any window: the boxes and the options,
// the one run per start, the run's closing message, the game folder and the
// command line. Built for Linux and for Windows (run under Wine there).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/window/closing_message.h"
#include "app/window/command_line.h"
#include "app/window/form_layout.h"
#include "app/window/game_folder.h"
#include "app/window/window_session.h"
#include "tests/support/game_dir.h"

namespace vorskal::window {
namespace {

using testing::crlf;
using testing::GameDir;
using testing::linesOf;

// One kill: the Allied Snoopy (SOPWITH) shoots down the Hun Baron_Red (FOKKER).
const std::string kOneKill = crlf({
    "12/06/26 20:15:03 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          "
    "SOPWITH_CAMEL",
});

std::string pointFile(const std::string& killLine) {
    return crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", "", killLine, "Death=-5",
                 "Bridge=15", "Depot=10", "Factory=20", "Hangar=5", "Tank=5", "Truck=2",
                 "Train=8"});
}

const Control& control(const std::string& name) {
    const auto* found = std::find_if(kControls.begin(), kControls.end(),
                                     [&](const Control& c) { return name == c.name; });
    if (found == kControls.end()) {
        throw std::runtime_error("no control " + name);
    }
    return *found;
}

TEST(WindowCore, BoxStateSetsItsFlagAndGrayedKeepsIt) {
    struct Case {
        bool before;
        BoxState state;
        bool after;
    };
    for (const Case& c : std::vector<Case>{{false, BoxState::Checked, true},
                                           {true, BoxState::Checked, true},
                                           {true, BoxState::Unchecked, false},
                                           {false, BoxState::Unchecked, false},
                                           {true, BoxState::Grayed, true},
                                           {false, BoxState::Grayed, false}}) {
        bool flag = c.before;
        applyBoxState(c.state, flag);
        EXPECT_EQ(flag, c.after) << c.before << " " << static_cast<int>(c.state);
    }
}

TEST(WindowCore, OptionsAllOnAtStartAndFrozenOnceTheRunBegins) {
    std::vector<TallyOptions> seen;
    WindowSession session("game", [&](const TallyOptions& options, const std::string& folder) {
        seen.push_back(options);
        EXPECT_EQ(folder, "game");
        return RunEnd{};
    });
    const TallyOptions& options = session.options();
    EXPECT_TRUE(options.overMaxPilotCorrection && options.multiDeathCorrection &&
                options.fighterTargetCorrection && options.redBoxedOnly);

    session.boxChanged(Option::FighterTargetCorrection, BoxState::Unchecked);
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

// Each box, unchecked, takes its own notice out of section 4 or turns
// section 5's notice round, and nothing else.
TEST(WindowCore, EachBoxReachesTheRunAsItsOwnOption) {
    const std::string overMax = "NOTICE -- Over Max Pilot penalty enabled ";
    const std::string multiDeath = "NOTICE -- Multiple Death bug correction enabled ";
    const std::string fighter = "NOTICE -- Fighter Destroyed Target correction enabled ";
    const std::string redOnly = "NOTICE -- Only red boxed targets have been tallied ";
    const std::string allTargets = "NOTICE -- Non-red boxed targets have been tallied ";
    struct Case {
        std::string box;  // "" for none
        std::vector<std::string> notices;
    };
    for (const Case& c : std::vector<Case>{
             {"", {overMax, multiDeath, fighter, redOnly}},
             {"overMaxBox", {multiDeath, fighter, redOnly}},
             {"multiDeathBox", {overMax, fighter, redOnly}},
             {"fighterTargetBox", {overMax, multiDeath, redOnly}},
             {"redBoxedOnlyBox", {overMax, multiDeath, fighter, allTargets}},
         }) {
        GameDir game;
        game.write("ux7server0.log", kOneKill);
        game.write("vorskal.ini", pointFile("Kill=10"));
        WindowSession session(game.path());
        if (!c.box.empty()) {
            session.boxChanged(*control(c.box).option, BoxState::Unchecked);
        }
        ASSERT_TRUE(session.begin());
        EXPECT_EQ(session.run().message.text, "Tally Complete") << c.box;

        std::vector<std::string> notices;  // of sections 4 and 5
        bool section4 = false;
        for (const std::string& line : linesOf(game.read("vorskal.log"))) {
            section4 = section4 || line == "4. Report score corrections.";
            if (section4 && line.rfind("NOTICE -- ", 0) == 0) {
                notices.push_back(line);
            }
        }
        EXPECT_EQ(notices, c.notices) << c.box;
    }
}

results::Warning finding(int n) {
    return {"code" + std::to_string(n), "ux7server" + std::to_string(n) + ".log",
            static_cast<std::uint64_t>(n), "finding " + std::to_string(n)};
}

TEST(WindowCore, ClosingMessageGivesTotalsAndFindingsOfACompletedRunOnly) {
    const std::string heading = " (the scores may be wrong; vorskal-tally --check lists them all):";
    struct Case {
        const char* what;
        OutcomeKind kind;
        std::string text;
        int findings;
        bool failed;
        std::string whole;
        int exitStatus;
    };
    const std::string failure = "vorskal.ini line 6: not a number: \"ten\"";
    const std::vector<Case> cases = {
        {"complete", OutcomeKind::Completed, "Tally Complete", 0, false,
         "Tally Complete\n\nFinal totals: Allied 79, Hun -5", 0},
        {"one finding", OutcomeKind::Completed, "Tally Complete", 1, false,
         "Tally Complete\n\nFinal totals: Allied 79, Hun -5\n\n1 warning" + heading +
             "\nux7server1.log line 1: warning: finding 1 [code1]",
         0},
        {"five findings", OutcomeKind::Completed, "Tally Complete", 5, false,
         "Tally Complete\n\nFinal totals: Allied 79, Hun -5\n\n5 warnings" + heading +
             "\nux7server1.log line 1: warning: finding 1 [code1]"
             "\nux7server2.log line 2: warning: finding 2 [code2]"
             "\nux7server3.log line 3: warning: finding 3 [code3]"
             "\nux7server4.log line 4: warning: finding 4 [code4]"
             "\n... and 1 more",
         0},
        {"missing first log", OutcomeKind::MissingFirstLog, "Could not find ux7server0.log", 0,
         false, "Could not find ux7server0.log", 0},
        {"failed, findings left out", OutcomeKind::Failed, failure, 2, true, failure, 2},
        // The last one accepted: apart, by its key alone.
        {"one accepted", OutcomeKind::Completed, "Tally Complete", 2, false,
         "Tally Complete\n\nFinal totals: Allied 79, Hun -5\n\n1 warning" + heading +
             "\nux7server1.log line 1: warning: finding 1 [code1]"
             "\n\n1 accepted finding (vorskal-accepted.txt):\ncode2: subject 2",
         0},
    };
    for (const Case& c : cases) {
        results::GameResults found;
        found.allied.final = 79;
        found.hun.final = -5;
        for (int n = 1; n <= c.findings; ++n) {
            found.warnings.push_back(finding(n));
        }
        if (std::string(c.what) == "one accepted") {
            found.warnings.back().subject = "subject 2";
            found.warnings.back().accepted = true;
        }
        const ClosingMessage message = closingMessage({c.kind, c.text}, found);
        EXPECT_EQ(message.text, c.text) << c.what;
        EXPECT_EQ(message.whole(), c.whole) << c.what;
        EXPECT_EQ(message.failed, c.failed) << c.what;
        EXPECT_EQ(exitStatusOf(c.kind), c.exitStatus) << c.what;
    }
}

TEST(WindowCore, RealRunsEndWithTheirMessageAndStatus) {
    struct Case {
        const char* what;
        bool firstLog;
        std::string pointFile;  // "" for none
        std::string whole;
        int exitStatus;
    };
    const std::string noKill =
        "vorskal.ini: warning: there is no \"Kill=\" line, so every kill is "
        "worth 0 points; add one such as \"Kill=10\" after the map's block "
        "[no-kill-points]";
    for (const Case& c : std::vector<Case>{
             {"complete", true, pointFile("Kill=10"),
              "Tally Complete\n\nFinal totals: Allied 10, Hun -5", 0},
             {"a finding", true, pointFile(""),
              "Tally Complete\n\nFinal totals: Allied 0, Hun -5\n\n1 warning (the scores may be "
              "wrong; vorskal-tally --check lists them all):\n" +
                  noKill,
              0},
             {"no first log", false, pointFile("Kill=10"), "Could not find ux7server0.log", 0},
         }) {
        GameDir game;
        game.write(c.firstLog ? "ux7server0.log" : "ux7server1.log", kOneKill);
        game.write("vorskal.ini", c.pointFile);
        const RunEnd end = tallyGame(TallyOptions{}, game.path());
        EXPECT_EQ(end.message.whole(), c.whole) << c.what;
        EXPECT_EQ(end.exitStatus, c.exitStatus) << c.what;
        EXPECT_EQ(game.exists("vorskal.log"), c.firstLog) << c.what;
    }

    // A failure: the message is the report's ERROR line, without totals.
    GameDir game;
    game.write("ux7server0.log", kOneKill);
    const RunEnd end = tallyGame(TallyOptions{}, game.path());
    EXPECT_TRUE(end.message.failed);
    EXPECT_EQ(end.exitStatus, 2);
    EXPECT_EQ(end.message.detail, "");
    EXPECT_EQ(linesOf(game.read("vorskal.log")).back(), "ERROR -- " + end.message.text);
    EXPECT_NE(end.message.text.find("vorskal.ini"), std::string::npos) << end.message.text;
}

TEST(WindowCore, FolderDialogIsAskedUntilAFolderHoldsTheFirstLog) {
    GameDir root;
    const std::string game = root.path() + "/game";
    const std::string empty = root.path() + "/empty";
    std::filesystem::create_directory(game);
    std::filesystem::create_directory(empty);
    root.write("game/ux7server0.log", kOneKill);
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
