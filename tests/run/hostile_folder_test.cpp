// What a game folder may hold that a game server did not put there: a FIFO,
// a link to a device, a directory where a file belongs, an output that names
// one of the game's files, names planted where temporary files go, a full
// disk. One table: each entry is planted in a fresh copy of the sample game,
// vorskal-tally runs as a real process (bounded by `timeout`, so a hang fails
// instead of blocking), and the exit status, the message naming the file and
// the folder afterwards (every entry byte for byte, but the files the run
// may write) are compared with what the entry expects.
// Game folders that a crashed server or a careless admin leaves, the runner
// under a descriptor limit and an address space set with setrlimit: a log
// without line ends, a line far longer than the merge reads at once, a log
// larger than the address space the runner may use, thousands of numbered
// logs under a low descriptor limit, and too few descriptors to read a log
// at all. Each must end as stated: a complete tally with the merged log byte
// for byte, or a failure whose report ends in its ERROR line, and never a
// warning about a log that is there. Peak memory is measured in
// bench/hostile.sh, not here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Runs the runner on `dir` with at most `descriptors` open files and
// `addressSpace` bytes of address space (0: as it is).
ToolRun runLimited(const GameDir& dir, rlim_t descriptors, rlim_t addressSpace) {
    GameDir outputs;
    const std::string out = outputs.path() + "/out";
    const std::string err = outputs.path() + "/err";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        // Only the three standard ones: what the runner inherits (a test
        // driver's own) would take from the limit below.
        ::close_range(3, ~0u, 0);
        if (descriptors != 0) {
            const rlimit limit{descriptors, descriptors};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        if (addressSpace != 0) {
            const rlimit limit{addressSpace, addressSpace};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execl(VORSKAL_TALLY_BINARY, "vorskal-tally", "-C", dir.path().c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, outputs.read("out"), outputs.read("err")};
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

constexpr std::string_view kPointFile =
    "Map=Verdun\r\nVerdun\r\n7-Depot,1\r\n\r\nKill=10\r\nDeath=-5\r\nDepot=5\r\n";
const std::string kEntry =
    "12/06/26 20:00:00 Player |Snoopy has entered the arena, flying a SOPWITH_CAMEL\r\n";

struct Case {
    const char* name;
    std::function<void(const GameDir&)> make;
    rlim_t descriptors;
    rlim_t addressSpace;
    int status;
    std::string merged;      // the merged log, when the run completes
    std::string reportHas;   // a text the report holds
    std::string reportEnds;  // what the report ends in
};

TEST(HostileInput, EachEndsAsStated) {
    // A NUL-filled log of 16 MiB (far more than the merge reads at once)
    // without a line end: one line of no kind, ended by CR LF when merged.
    const std::string nuls(16u << 20, '\0');
    // A log of 96 MiB under 80 MiB of address space: read through the
    // system where it cannot be mapped.
    const std::string larger(96u << 20, '\0');
    // A destruction line of 1 MiB, not red boxed: section 5 shows it whole.
    const std::string longTarget =
        "12/06/26 20:16:00 Target Depot " + std::string(1u << 20, 'x') + " #7 destroyed by Snoopy.";
    // 10,000 logs of one line each: far more than 1,024 descriptors.
    std::string manyMerged;
    for (int n = 0; n < 10000; ++n) {
        manyMerged += "12/06/26 20:00:00 line " + std::to_string(n) + "\r\n";
    }
    const Case cases[] = {
        {"a log without line ends",
         [&](const GameDir& dir) {
             dir.write("ux7server0.log", kEntry);
             dir.write("ux7server1.log", nuls);
         },
         0, 0, 0, kEntry + nuls + "\r\n", "", "Map used was Verdun\r\n \r\n"},
        {"a log larger than the address space",
         [&](const GameDir& dir) {
             dir.write("ux7server0.log", kEntry);
             dir.write("ux7server1.log", larger);
         },
         0, 80u << 20, 0, kEntry + larger + "\r\n", "", "Map used was Verdun\r\n \r\n"},
        {"a destruction line of 1 MiB",
         [&](const GameDir& dir) { dir.write("ux7server0.log", kEntry + longTarget + "\n"); }, 0, 0,
         0, kEntry + longTarget + "\r\n",
         "NOTICE -- Only red boxed targets have been tallied \r\n \r\n" + longTarget + "\r\n \r\n",
         "Map used was Verdun\r\n \r\n"},
        {"10,000 logs under 1,024 descriptors",
         [](const GameDir& dir) {
             for (int n = 0; n < 10000; ++n) {
                 dir.write("ux7server" + std::to_string(n) + ".log",
                           "12/06/26 20:00:00 line " + std::to_string(n) + "\n");
             }
         },
         1024, 0, 0, manyMerged, "", "Map used was Verdun\r\n \r\n"},
        // Standard input, output and error, the folder's lock and the new
        // merged log take five: no descriptor is left to read a log with.
        // (A sanitizer's checks need descriptors and address space of their
        // own: its builds leave out the cases that limit them to fail.)
        {"no descriptor left to read a log",
         [](const GameDir& dir) { dir.write("ux7server0.log", kEntry); }, 5, 0, 2, "", "",
         "ERROR -- ux7server0.log: cannot open: Too many open files\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (kSanitized && ((c.descriptors != 0 && c.status != 0) || c.addressSpace != 0)) {
            continue;
        }
        GameDir dir;
        dir.write("vorskal.ini", std::string(kPointFile));
        c.make(dir);
        const ToolRun run = runLimited(dir, c.descriptors, c.addressSpace);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err.find("missing"), std::string::npos) << run.err;
        if (c.status == 0) {
            EXPECT_EQ(run.out.rfind("Tally Complete\n", 0), 0u) << run.out;
            EXPECT_EQ(dir.read("ux7server.log") == c.merged, true) << "the merged log differs";
        } else {
            EXPECT_FALSE(dir.exists("ux7server.log"));
        }
        const std::string report = dir.read("vorskal.log");
        EXPECT_NE(report.find(c.reportHas), std::string::npos);
        ASSERT_GE(report.size(), c.reportEnds.size());
        EXPECT_EQ(report.substr(report.size() - c.reportEnds.size()), c.reportEnds);
    }
}

}  // namespace
}  // namespace vorskal::testing
