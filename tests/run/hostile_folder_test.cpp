// What a game folder may hold that a game server did not put there: a FIFO,
// a link to a device, a directory where a file belongs, an output that names
// one of the game's files, names planted where temporary files go, a full
// disk. One table: each entry is planted in a fresh copy of the sample game,
// vorskal-tally runs as a real process (bounded by `timeout`, so a hang fails
// instead of blocking), and the exit status, the message naming the file and
// the folder afterwards (every entry byte for byte, but the files the run
// may write) are compared with what the entry expects.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "results/csv_writer.h"
#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;

// A game whose long lists outgrow its merged log and its report: 200
// destruction lines of 61 bytes make a merged log of 200 x 63 = 12,600 bytes
// and a report of those lines (section 5 lists them: none is red boxed; the
// fighter correction, which would list them again, is off) and some 2,000
// bytes more; the long lists' temporary file holds each line again in a JSON
// row with what the lookup found and why no pilot was credited, more than
// 100 bytes more: over 32,000 bytes, beyond the 20 KiB that the entry allows
// a file.
void targetHeavyGame(const GameDir& dir, int count = 200) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back("12/06/26 20:00:00 Target Bridge #12 destroyed by Snoopy_Camel");
    }
    for (const char* name : {"ux7server1.log", "ux7server2.log"}) {
        fs::remove(fs::path(dir.path()) / name);
    }
    dir.write("ux7server0.log", crlf(lines));
}

struct Hostile {
    const char* what;
    std::function<void(const GameDir&)> plant;
    std::string args;  // the runner's arguments; the game is the current folder
    int status;
    std::string message;             // in the error output
    const char* written;             // entries the run may change, make or remove, blank between
    const char* gone = "";           // entries that must be gone afterwards
    bool reportEndsInError = false;  // the report's last line: "ERROR -- " and the message
    std::string shell = "";          // shell words run before the runner
};

const std::string kOldCsv = "old\r\n";

// What may be planted: nothing, a FIFO, or `name` (in place of the file of
// that name) a symbolic link to `target` or a directory.
void nothing(const GameDir&) {}
std::function<void(const GameDir&)> fifo(const std::string& name) {
    return [=](const GameDir& d) { mkfifo((d.path() + "/" + name).c_str(), 0644); };
}
std::function<void(const GameDir&)> linkTo(const std::string& name, const std::string& target) {
    return [=](const GameDir& d) {
        fs::remove(d.path() + "/" + name);
        fs::create_symlink(target, d.path() + "/" + name);
    };
}
std::function<void(const GameDir&)> directory(const std::string& name) {
    return [=](const GameDir& d) {
        fs::remove(d.path() + "/" + name);
        fs::create_directory(d.path() + "/" + name);
    };
}

// The runner's messages: an entry that is not a regular file, an output
// naming one of the game's files.
std::string notRegular(const std::string& name, const std::string& kind) {
    return "vorskal-tally: " + name + ": cannot open: " + kind + ", not a regular file\n";
}
std::string namesTheGames(const std::string& output, const std::string& file) {
    return "vorskal-tally: " + output + " names the game's \"" + file +
           "\": an output never replaces an input or another output; name another file\n";
}

const Hostile kHostile[] = {
    {"a FIFO as a numbered log", fifo("ux7server3.log"), ".", 2,
     notRegular("ux7server3.log", "a FIFO"), "vorskal.log", "", true},
    {"a numbered log linked to /dev/zero", linkTo("ux7server1.log", "/dev/zero"), ".", 2,
     notRegular("ux7server1.log", "a device"), "vorskal.log", "", true},
    {"vorskal.ini linked to /dev/zero", linkTo("vorskal.ini", "/dev/zero"), ".", 2,
     notRegular("vorskal.ini", "a device"), "ux7server.log vorskal.log", "", true},
    {"a directory named vorskal.ini", directory("vorskal.ini"), ".", 2,
     notRegular("vorskal.ini", "a directory"), "ux7server.log vorskal.log", "", true},
    {"vorskal.log a FIFO", fifo("vorskal.log"), ".", 2, notRegular("vorskal.log", "a FIFO"),
     "ux7server.log"},
    {"--json naming the report, not made yet", nothing, "--json ./vorskal.log .", 64,
     namesTheGames("--json ./vorskal.log", "vorskal.log"), ""},
    {"--json naming a numbered log not there yet", nothing, "--json ux7server3.log .", 64,
     namesTheGames("--json ux7server3.log", "ux7server3.log"), ""},
    {"--html a symbolic link to a numbered log", linkTo("page.html", "ux7server0.log"),
     "--html page.html .", 64, namesTheGames("--html page.html", "ux7server0.log"), ""},
    {"--csv with a file hard-linked to vorskal.ini",
     [](const GameDir& d) {
         fs::create_directory(d.path() + "/out");
         fs::create_hard_link(d.path() + "/vorskal.ini", d.path() + "/out/teams.csv");
     },
     "--csv out .", 64, namesTheGames("--csv out/teams.csv", "vorskal.ini"), ""},
    {"--record naming the merged log", nothing, "--record ux7server.log .", 64,
     namesTheGames("--record ux7server.log", "ux7server.log"), ""},
    {"--json and --html naming one file", nothing, "--json out.json --html out.json .", 64,
     "vorskal-tally: --html out.json names the file of --json: an output never replaces an "
     "input or another output; name another file\n",
     ""},
    {"--json into /dev/null", nothing, "--json /dev/null .", 64,
     "vorskal-tally: --json /dev/null is a device, not a regular file: outputs are written only "
     "as regular files\n",
     ""},
    {"--json into a FIFO", fifo("out.json"), "--json out.json .", 64,
     "vorskal-tally: --json out.json is a FIFO, not a regular file: outputs are written only as "
     "regular files\n",
     ""},
    {"names planted where temporary files went, and a killed run's leftover",
     [](const GameDir& d) {
         d.write("victim", "keep me\r\n");
         fs::create_symlink("victim", d.path() + "/out.json.partial");
         fs::create_symlink("victim", d.path() + "/page.html.tmp");
         d.write(".out.json.new-999999999-0", "{\"formatVersion\":");  // no such process
     },
     "--json out.json --html page.html .", 0, "",
     "ux7server.log vorskal.log out.json page.html .out.json.new-999999999-0",
     ".out.json.new-999999999-0"},
    {"the long lists' folder missing", [](const GameDir& d) { d.write("out.json", "old\r\n"); },
     "--json out.json .", 2,
     "vorskal-tally: no-such-folder: cannot make a temporary file: No such file or directory\n",
     "ux7server.log vorskal.log", "", false, "export TMPDIR=no-such-folder;"},
    {"a file size limit while the long lists are written",
     [](const GameDir& d) {
         targetHeavyGame(d);
         fs::create_directory(d.path() + "/scratch");
         fs::create_directory(d.path() + "/out");
         for (const std::string_view name : results::kCsvFiles) {
             d.write("out/" + std::string(name), kOldCsv);
         }
     },
     "--no-fighter-target-correction --csv out .", 2,
     "vorskal-tally: scratch: cannot write the temporary file of the long lists: File too large\n",
     "ux7server.log vorskal.log", "", false, "trap '' XFSZ; ulimit -f 20; export TMPDIR=scratch;"},
};

TEST(HostileFolder, IsRefusedNamingTheEntryAndLeavesTheFolderAsItWas) {
    for (const Hostile& entry : kHostile) {
        SCOPED_TRACE(entry.what);
        GameDir dir;
        dir.writeAll(sampleGame());
        entry.plant(dir);
        const auto before = entriesOf(dir.path());

        const std::string command =
            entry.shell + " exec timeout 20 " + shellQuote(VORSKAL_TALLY_BINARY) + " " + entry.args;
        const ToolRun run = runProgram(dir.path(), "bash", "-c " + shellQuote(command));
        EXPECT_EQ(run.status, entry.status) << run.err;
        // Warnings of the checks may come first; the message is the last line.
        EXPECT_TRUE(run.err.ends_with(entry.message)) << run.err;

        auto after = entriesOf(dir.path());
        std::istringstream gone(entry.gone);
        for (std::string name; gone >> name;) {
            EXPECT_EQ(after.count(name), 0u) << name;
        }
        auto expected = before;
        std::istringstream written(entry.written);
        for (std::string name; written >> name;) {
            after.erase(name);
            expected.erase(name);
        }
        EXPECT_EQ(after, expected);
        if (entry.reportEndsInError) {
            const std::string message = entry.message.substr(entry.message.find(": ") + 2);
            EXPECT_TRUE(
                dir.read("vorskal.log")
                    .ends_with("ERROR -- " + message.substr(0, message.size() - 1) + "\r\n"));
        }
    }
}

// The CSV set is replaced as a whole: a file of the set that cannot be
// replaced (a directory where targets.csv goes, planted after the runner's
// checks) stops the set before any file takes its old one's place.
TEST(HostileFolder, CsvSetIsReplacedWholeOrNotAtAll) {
    GameDir dir;
    const std::string out = dir.path() + "/out";
    fs::create_directory(out);
    for (const std::string_view name : results::kCsvFiles) {
        dir.write("out/" + std::string(name), kOldCsv);
    }
    fs::remove(out + "/targets.csv");
    fs::create_directory(out + "/targets.csv");
    const auto before = entriesOf(dir.path());
    const results::SpilledRows noRows;
    try {
        results::writeCsv(results::GameResults{}, out, noRows);
        ADD_FAILURE() << "written";
    } catch (const std::exception& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  out + "/targets.csv: cannot replace: a directory, not a regular file");
    }
    EXPECT_EQ(entriesOf(dir.path()), before);

    fs::remove(out + "/targets.csv");
    results::writeCsv(results::GameResults{}, out, noRows);
    EXPECT_EQ(dir.read("out/teams.csv"),
              "team,kills,deaths,targetsDestroyed,targetPoints,score,overMaxPenalty,final\r\n"
              "Allied,0,0,0,0,0,0,0\r\nHun,0,0,0,0,0,0,0\r\n");
}

// A full disk while the CSV set is written: the set's folder is a file
// system of 64 KiB (a tmpfs, where this test may mount one; skipped
// elsewhere). The six old files take a page of 4 KiB each, leaving 40 KiB;
// the game's targets.csv needs more (400 rows of 121 bytes and more), so
// writing it fails, after pilots.csv, teams.csv and corrections.csv were
// written in full: the old set stays as it was all the same.
TEST(HostileFolder, FullDiskLeavesTheOldCsvSet) {
    GameDir dir;
    dir.writeAll(sampleGame());
    targetHeavyGame(dir, 400);
    const std::string out = dir.path() + "/out";
    fs::create_directory(out);
    if (std::system(
            ("mount -t tmpfs -o size=64k tmpfs " + shellQuote(out) + " 2>/dev/null").c_str()) !=
        0) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    struct Unmount {
        std::string at;
        ~Unmount() { std::system(("umount " + shellQuote(at)).c_str()); }
    } unmount{out};
    for (const std::string_view name : results::kCsvFiles) {
        dir.write("out/" + std::string(name), kOldCsv);
    }
    const auto before = entriesOf(out);
    const ToolRun run =
        runProgram(dir.path(), VORSKAL_TALLY_BINARY, "--no-fighter-target-correction --csv out .");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vorskal-tally: out/targets.csv: cannot write: No space left on device\n");
    EXPECT_EQ(entriesOf(out), before);
}

}  // namespace
}  // namespace vorskal::testing
