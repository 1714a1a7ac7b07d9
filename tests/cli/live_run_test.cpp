// vorskal-tally --follow: a generated game fed into a folder part by part,
// each look driven by a pace that writes the next part instead of sleeping.
// After every part the live outputs are those of a plain tally of a copy of
// the folder holding the complete lines written so far; the end is a plain
// run; a server that starts again stops it with nothing final written.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/live_run.h"
#include "app/cli/runner.h"
#include "app/live_logs.h"
#include "gen/generator.h"
#include "gen/piece_sink.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun tallyCommand(const std::string& args, Clock& clock, FollowPace* pace = nullptr) {
    std::istringstream split("vorskal-tally " + args);
    const std::vector<std::string> words{std::istream_iterator<std::string>(split), {}};
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    std::ostringstream out, err;
    const int status =
        runTallyCommand(static_cast<int>(argv.size()), argv.data(), out, err, clock, pace);
    return {status, out.str(), err.str()};
}

// Each wait moves the clock on and does the next step; past the last step
// the end is asked, as Ctrl-C asks it.
class FeedingPace : public FollowPace {
  public:
    FeedingPace(FixedClock& clock, std::vector<std::function<void()>> steps)
        : clock_(clock), steps_(std::move(steps)) {}

    bool wait(int seconds) override {
        clock_.moment += seconds;
        waited.push_back(seconds);
        if (next_ == steps_.size()) {
            return true;
        }
        steps_[next_++]();
        return false;
    }

    std::vector<int> waited;

  private:
    FixedClock& clock_;
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
};

// A game of two numbered logs from the generator.
struct Game {
    std::vector<std::string> logs;
    std::string ini;
};

const Game& generatedGame() {
    static const Game game = [] {
        gen::MemorySink sink;
        gen::writeServerLogs({11, 300u << 10, 2}, sink);
        return Game{sink.pieces(), gen::pointFileText(11)};
    }();
    return game;
}

// The place 10 bytes into the line that follows the first line end at
// `share` of a log: a line cut in two.
std::size_t midLine(const std::string& log, double share) {
    return log.find('\n', static_cast<std::size_t>(static_cast<double>(log.size()) * share)) + 11;
}

// The folder named as it is, and as JSON writes it (a Windows path's
// backslashes doubled).
std::string masked(std::string text, const std::string& directory) {
    std::string escaped;
    for (const char c : directory) {
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    for (const std::string& name : {escaped, directory}) {
        for (std::size_t at; (at = text.find(name)) != std::string::npos;) {
            text.replace(at, name.size(), "DIR");
        }
    }
    return text;
}

// The outputs of a plain tally of a folder holding `logs`, each up to its
// last LF (the generator ends every line with CR LF), with the clock as it is.
struct Plain {
    std::string json, page, report;
};

Plain plainTallyOf(const std::vector<std::string>& logs, FixedClock& clock) {
    GameDir copy;
    for (std::size_t n = 0; n < logs.size(); ++n) {
        copy.write("ux7server" + std::to_string(n) + ".log",
                   logs[n].substr(0, logs[n].rfind('\n') + 1));
    }
    copy.write("vorskal.ini", generatedGame().ini);
    const CommandRun run = tallyCommand("-C " + copy.path() + " --json " + copy.path() +
                                            "/out.json" + " --html " + copy.path() + "/out.html",
                                        clock);
    EXPECT_EQ(run.status, 0) << run.err;
    return {masked(copy.read("out.json"), copy.path()), masked(copy.read("out.html"), copy.path()),
            copy.read("vorskal.log")};
}

// The live page without what only a live page says: its reload and its
// time, "HH" then `minutesSeconds`.
std::string withoutLiveNote(std::string page, const std::string& minutesSeconds) {
    const std::string reload = "<meta http-equiv=\"refresh\" content=\"30\">\n";
    const std::string note = "<p class=\"live\" id=\"live\" role=\"status\">live, as of ";
    const std::size_t reloadAt = page.find(reload);
    const std::size_t noteAt = page.find(note);
    if (reloadAt == std::string::npos || noteAt == std::string::npos) {
        ADD_FAILURE() << "not a live page";
        return page;
    }
    EXPECT_EQ(page.substr(noteAt + note.size() + 2, 11), minutesSeconds + "</p>\n");
    page.erase(noteAt, note.size() + 13);  // the body's note first: it comes after the head's
    page.erase(reloadAt, reload.size());
    return page;
}

TEST(Follow, EveryLookShowsWhatAPlainTallyOfTheCompleteLinesShows) {
    const Game& game = generatedGame();
    const std::string& log0 = game.logs[0];
    const std::string& log1 = game.logs[1];
    ASSERT_EQ(game.logs.size(), 2u);
    // What the folder holds after each part: the bytes of each log written.
    struct Part {
        const char* what;
        std::vector<std::size_t> bytes;
        bool rewritten;  // whether the look after it writes the outputs again
    };
    const std::vector<Part> parts = {
        {"a line cut in two", {midLine(log0, 0.3)}, true},
        {"its rest and half the next", {midLine(log0, 0.6)}, true},
        {"a quiet spell", {midLine(log0, 0.6)}, false},
        {"the first log whole, a new one begun", {log0.size(), midLine(log1, 0.5)}, true},
        {"the cut line's CR without its LF",
         {log0.size(), log1.find('\r', midLine(log1, 0.5)) + 1},
         false},
        {"the game whole", {log0.size(), log1.size()}, true},
    };
    GameDir dir;
    dir.write("vorskal.ini", game.ini);
    FixedClock clock;
    const std::string json = dir.path() + "/live.json";
    const std::string page = dir.path() + "/live.html";
    // The live page's time: 20:15:03 UTC at the start, 30 seconds more for
    // each look (the hour left out: it is the local time).
    const char* const asOf[] = {":15:33", ":16:03", ":16:33", ":17:03", ":17:33", ":18:03"};
    std::size_t shown = 0;  // the parts the outputs show
    const auto written = [&](std::size_t part) {
        std::vector<std::string> logs;
        for (std::size_t n = 0; n < parts[part].bytes.size(); ++n) {
            logs.push_back(game.logs[n].substr(0, parts[part].bytes[n]));
        }
        return logs;
    };
    const auto checkLook = [&](std::size_t part) {
        SCOPED_TRACE(parts[part].what);
        EXPECT_FALSE(dir.exists("vorskal.log"));
        EXPECT_FALSE(dir.exists("ux7server.log"));
        if (!parts[part].rewritten) {
            // Nothing grew: the outputs of the part before stay as they were.
            EXPECT_FALSE(dir.exists("live.json"));
            return;
        }
        // The look was made 30 seconds ago.
        clock.moment -= 30;
        const Plain plain = plainTallyOf(written(part), clock);
        clock.moment += 30;
        EXPECT_EQ(masked(dir.read("live.json"), dir.path()), plain.json);
        EXPECT_EQ(withoutLiveNote(masked(dir.read("live.html"), dir.path()), asOf[part]),
                  plain.page);
        std::remove(json.c_str());
        ++shown;
    };
    std::vector<std::function<void()>> steps;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        steps.push_back([&, part] {
            if (part > 0) {
                checkLook(part - 1);
            }
            const std::vector<std::string> logs = written(part);
            for (std::size_t n = 0; n < logs.size(); ++n) {
                dir.write("ux7server" + std::to_string(n) + ".log", logs[n]);
            }
        });
    }
    steps.push_back([&] { checkLook(parts.size() - 1); });
    FeedingPace pace(clock, steps);

    const CommandRun run = tallyCommand(
        "--follow " + dir.path() + " --json " + json + " --html " + page, clock, &pace);

    EXPECT_EQ(shown, 4u);
    EXPECT_EQ(pace.waited, std::vector<int>(parts.size() + 2, 30));
    // Ctrl-C: the final tally is a plain run's, its report appended.
    EXPECT_EQ(run.status, 0) << run.err;
    const Plain plain = plainTallyOf(game.logs, clock);
    EXPECT_EQ(dir.read("vorskal.log"), plain.report);
    EXPECT_EQ(masked(dir.read("live.json"), dir.path()), plain.json);
    EXPECT_EQ(masked(dir.read("live.html"), dir.path()), plain.page);
    EXPECT_EQ(dir.read("ux7server.log"), log0 + log1);
    EXPECT_NE(run.out.find("following ended: asked to stop; the final tally\nTally Complete\n"),
              std::string::npos)
        << run.out;
}

// A server that starts again writes its logs anew: the following stops,
// naming the log, and nothing final is written.
TEST(Follow, ARestartedServerStopsItWithNothingWritten) {
    const Game& game = generatedGame();
    const std::string& log0 = game.logs[0];
    const std::string& log1 = game.logs[1];
    struct Case {
        const char* what;
        std::vector<std::string> before, after;
        std::string said;
    };
    const Case cases[] = {
        {"ux7server0.log begun again",
         {log0, log1.substr(0, 2000)},
         {log0.substr(0, 900)},
         "ux7server0.log is shorter than before (900 bytes, was " + std::to_string(log0.size()) +
             ")"},
        {"a numbered log cut shorter",
         {log0, log1.substr(0, 2000)},
         {log0, log1.substr(0, 1000)},
         "ux7server1.log is shorter than before (1000 bytes, was 2000)"},
        {"ux7server0.log longer but another game's",
         {log0.substr(0, 900)},
         {"x" + log0.substr(0, 2000)},
         "ux7server0.log begins with other lines than before"},
        {"a numbered log taken away", {log0, log1}, {log0}, "ux7server1.log is gone"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameDir dir;
        dir.write("vorskal.ini", game.ini);
        const auto put = [&](const std::vector<std::string>& logs) {
            for (std::size_t n = 0; n < 2; ++n) {
                const std::string name = "ux7server" + std::to_string(n) + ".log";
                if (n < logs.size()) {
                    dir.write(name, logs[n]);
                } else {
                    std::remove((dir.path() + "/" + name).c_str());
                }
            }
        };
        put(c.before);
        FixedClock clock;
        FeedingPace pace(clock, {[&] { put(c.after); }});
        const CommandRun run = tallyCommand(
            "--follow -C " + dir.path() + " --html " + dir.path() + "/live.html", clock, &pace);
        EXPECT_EQ(run.status, 4);
        EXPECT_EQ(run.err, "vorskal-tally: stopped following: " + c.said +
                               ", so the server has started again; nothing final written (no "
                               "report, no outputs, nothing recorded)\n");
        EXPECT_FALSE(dir.exists("vorskal.log"));
        EXPECT_FALSE(dir.exists("ux7server.log"));
    }
}

// --idle ends the following once no log grew for so long; the final tally
// follows. Every 30 seconds, idle 2 minutes: the logs last grew at the
// start, so the fourth look (2 minutes on) ends it.
TEST(Follow, IdleMinutesEndIt) {
    GameDir dir;
    dir.write("vorskal.ini", generatedGame().ini);
    dir.write("ux7server0.log", generatedGame().logs[0]);
    FixedClock clock;
    FeedingPace pace(clock, std::vector<std::function<void()>>(10, [] {}));
    const CommandRun run =
        tallyCommand("--follow -C " + dir.path() + " --html " + dir.path() + "/live.html --idle 2",
                     clock, &pace);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pace.waited.size(), 4u);
    EXPECT_TRUE(run.out.find("following ended: no log grew for 2 minutes (--idle); the final "
                             "tally\nTally Complete\n") != std::string::npos)
        << run.out;
    EXPECT_TRUE(dir.exists("vorskal.log"));
}

TEST(Follow, LinesCountOnceTheirEndHasArrived) {
    // The last one's line is longer than one block read back from the end.
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 0},
        {"half a line", 0},
        {"a\r\nb", 3},
        {"a\r\nb\r\n", 6},
        {"a\nb\n", 4},
        {"a\rb", 2},
        {"a\r\nb\r", 3},
        {"a\r", 0},
        {"a\r\r", 2},
        {"\n", 1},
        {"a\n" + std::string(70000, 'x') + "\r", 2},
    };
    for (const auto& [bytes, complete] : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 12)));
        MemoryFiles files;
        files.files["log"] = bytes;
        EXPECT_EQ(completeLength(*files.map("log"), bytes.size()), complete);
    }
}

TEST(Follow, UntilIsTheNextTimeTheClockReadsIt) {
    struct Case {
        int hour, minute, second;
        const char* until;
        int seconds;
    };
    const Case cases[] = {
        {21, 0, 0, "22:30", 5400},  {21, 0, 0, "21:00", 0},    {21, 0, 1, "21:00", 86399},
        {23, 50, 0, "00:10", 1200}, {0, 0, 0, "23:59", 86340}, {12, 34, 56, "12:35", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.until);
        std::tm local{};
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_sec = c.second;
        const std::optional<int> minute = minuteOfDay(c.until);
        ASSERT_TRUE(minute.has_value());
        EXPECT_EQ(secondsUntil(local, *minute), c.seconds);
    }
}

}  // namespace
}  // namespace vorskal::testing
