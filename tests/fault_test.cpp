// Nothing lost on faults: a write error on the report or on the merged log
// is a failure, never "Tally Complete"; the report is only ever appended to;
// the merged log is replaced in one step or not at all. Tried with a failing
// file layer in memory and, where the machine lets us mount one, with a real
// disk that is full or read-only.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/tally_run.h"
#include "tally/tally_state.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string field(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::string killLine(const std::string& time, const std::string& victim,
                     const std::string& victimPlane, const std::string& killer,
                     const std::string& killerPlane) {
    return "12/06/26 " + time + " Kill of " + field(victim, 16) + victimPlane + " awarded to " +
           field(killer, 16) + killerPlane;
}

std::string gameLog() {
    return crlf(
        {"12/06/26 20:00:00 Player |Snoopy (UDP:192.0.2.5:2300) has entered the arena, "
         "flying a SOPWITH_CAMEL",
         killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
         "12/06/26 20:16:00 Selected target destroyed and removed from list",
         "12/06/26 20:16:00 Target Bridge #12 destroyed by Fritz.",
         killLine("20:31:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
         "12/06/26 20:32:00 Player |Snoopy has left the arena"});
}

std::string gameIni() {
    return crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,2", "", "Kill=10", "Death=-5",
                 "Bridge=15", "Depot=7", "Tank=3", "Gun=4", "Train=6", "Truck=2", "Hangar=9"});
}

const std::string kOldReport = "an earlier report, kept as it is\r\n";
const std::string kOldMerged = "an earlier merged log\r\n";

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A report after a failed write: the old content, then part of the new
// report (as much as reached the file), then at most the one ERROR line.
void expectOnlyAppended(const std::string& report, const std::string& old,
                        const std::string& complete, const std::string& message) {
    ASSERT_EQ(report.compare(0, old.size(), old), 0) << "the old content was changed:\n" << report;
    std::string added = report.substr(old.size());
    const std::string errorLine = "ERROR -- " + message + "\r\n";
    if (endsWith(added, errorLine)) {
        added.resize(added.size() - errorLine.size());
    }
    EXPECT_EQ(complete.compare(0, added.size(), added), 0)
        << "the report holds more than the lines written before the failure:\n"
        << added;
    EXPECT_LT(added.size(), complete.size()) << "the whole report reached the file";
}

// ---- a failing file layer -------------------------------------------------------

MemoryFiles memoryGame() {
    MemoryFiles files;
    files.files["ux7server0.log"] = gameLog();
    files.files["vorskal.ini"] = gameIni();
    files.files["vorskal.log"] = kOldReport;
    files.files["ux7server.log"] = kOldMerged;
    return files;
}

Outcome tallyIn(MemoryFiles& files) {
    TallyState state;
    applyOptions(state, TallyOptions{});
    FixedClock clock;
    return runTally(state, files, clock);
}

TEST(Fault, AReportWriteErrorIsAFailureAtEveryPoint) {
    MemoryFiles whole = memoryGame();
    const Outcome done = tallyIn(whole);
    ASSERT_EQ(done.kind, OutcomeKind::Completed) << done.message;
    const std::string complete = whole.files["vorskal.log"].substr(kOldReport.size());
    ASSERT_GT(complete.size(), 100u);

    for (const std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{60},
                                   complete.size() / 2, complete.size() - 3, complete.size() - 1}) {
        SCOPED_TRACE("room for " + std::to_string(room) + " bytes");
        MemoryFiles files = memoryGame();
        files.writeLimit["vorskal.log"] = kOldReport.size() + room;
        const Outcome outcome = tallyIn(files);
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message, "Tally Complete");
        EXPECT_NE(outcome.message.find("vorskal.log"), std::string::npos) << outcome.message;
        expectOnlyAppended(files.files["vorskal.log"], kOldReport, complete, outcome.message);
        EXPECT_EQ(files.files["ux7server.log"], gameLog());  // the merge was done
        EXPECT_EQ(files.files["ux7server0.log"], gameLog());
        EXPECT_EQ(files.files["vorskal.ini"], gameIni());
    }

    // Room for the whole report, to the byte: the run completes.
    MemoryFiles files = memoryGame();
    files.writeLimit["vorskal.log"] = kOldReport.size() + complete.size();
    const Outcome outcome = tallyIn(files);
    EXPECT_EQ(outcome.kind, OutcomeKind::Completed) << outcome.message;
    EXPECT_EQ(files.files["vorskal.log"], kOldReport + complete);
}

TEST(Fault, AMergedLogWriteErrorKeepsTheOldMergedLog) {
    for (const std::size_t room : {std::size_t{0}, std::size_t{5}, gameLog().size() - 1}) {
        SCOPED_TRACE("room for " + std::to_string(room) + " bytes");
        MemoryFiles files = memoryGame();
        files.writeLimit["ux7server.log"] = room;
        const Outcome outcome = tallyIn(files);
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message, "Tally Complete");
        EXPECT_NE(outcome.message.find("ux7server.log"), std::string::npos) << outcome.message;
        EXPECT_EQ(files.files["ux7server.log"], kOldMerged);
        // The report is opened only after the merge: it is untouched.
        EXPECT_EQ(files.files["vorskal.log"], kOldReport);
        EXPECT_EQ(files.files["ux7server0.log"], gameLog());
        EXPECT_EQ(files.files["vorskal.ini"], gameIni());
    }
}

// ---- a real disk that fills up ---------------------------------------------------

// A game folder on a tmpfs of 64 KiB of its own, unmounted at the end.
class SmallDisk {
  public:
    SmallDisk() {
        mounted_ = ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") == 0;
        error_ = mounted_ ? "" : std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(dir.path().c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }

    // Fills the disk with a file "filler" and leaves `pages` pages of 4 KiB free.
    void fill(std::size_t pages) const {
        const std::string path = dir.path() + "/filler";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string page(4096, 'f');
        off_t size = 0;
        for (;;) {
            const ssize_t put = ::write(fd, page.data(), page.size());
            if (put <= 0) {
                break;
            }
            size += put;
        }
        const off_t keep = (size / 4096 - static_cast<off_t>(pages)) * 4096;
        ASSERT_GE(keep, 0);
        ASSERT_EQ(::ftruncate(fd, keep), 0);
        ::close(fd);
    }

    // Makes the disk read-only.
    bool makeReadOnly() const {
        return ::mount("tmpfs", dir.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") ==
               0;
    }

    std::set<std::string> names() const {
        std::set<std::string> all;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            all.insert(entry.path().filename().string());
        }
        return all;
    }

    GameDir dir;

  private:
    bool mounted_ = false;
    std::string error_;
};

#define REQUIRE_SMALL_DISK(disk)                                               \
    if (!(disk).mounted()) {                                                   \
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << (disk).error(); \
    }

// The report of this game as a run with room to spare writes it.
std::string completeReport() {
    GameDir dir;
    dir.write("ux7server0.log", gameLog());
    dir.write("vorskal.ini", gameIni());
    EXPECT_EQ(dir.tally().kind, OutcomeKind::Completed);
    return dir.read("vorskal.log");
}

// The old report fills its last page exactly, so any byte appended to it
// needs a page that a full disk does not have.
std::string pageOfOldReport() {
    std::string old;
    while (old.size() + kOldReport.size() <= 4096) {
        old += kOldReport;
    }
    old.resize(4094, '.');
    return old + "\r\n";
}

Outcome tallyOn(const SmallDisk& disk) {
    FixedClock clock;
    return tallyDirectory(disk.dir.path(), TallyOptions{}, clock);
}

// Runs the headless runner on `gameDir`.
ToolRun runTool(const std::string& gameDir) {
    return runProgram(".", VORSKAL_TALLY_BINARY, "-C " + shellQuote(gameDir));
}

TEST(Fault, AFullDiskDuringTheMergeKeepsTheOldMergedLog) {
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    disk.dir.write("ux7server0.log", gameLog());
    disk.dir.write("vorskal.ini", gameIni());
    disk.dir.write("vorskal.log", kOldReport);
    disk.dir.write("ux7server.log", kOldMerged);
    disk.fill(0);
    const std::set<std::string> before = disk.names();

    const Outcome outcome = tallyOn(disk);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message, "Tally Complete");
    EXPECT_NE(outcome.message.find("ux7server.log"), std::string::npos) << outcome.message;
    EXPECT_EQ(disk.dir.read("ux7server.log"), kOldMerged);
    EXPECT_EQ(disk.dir.read("vorskal.log"), kOldReport);
    EXPECT_EQ(disk.dir.read("ux7server0.log"), gameLog());
    EXPECT_EQ(disk.names(), before) << "a temporary file was left behind";

    const ToolRun run = runTool(disk.dir.path());
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out.find("Tally Complete"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("ux7server.log"), std::string::npos) << run.err;
    EXPECT_EQ(disk.dir.read("ux7server.log"), kOldMerged);
    EXPECT_EQ(disk.names(), before);
}

TEST(Fault, AFullDiskUnderTheReportIsAFailure) {
    const std::string complete = completeReport();
    const std::string old = pageOfOldReport();
    bool reportFailed = false;
    // With no page free the merge fails; with one, the merge fits and the
    // report does not; with more, the report fits too.
    for (std::size_t pages = 0; pages <= 3; ++pages) {
        SCOPED_TRACE(std::to_string(pages) + " pages free");
        SmallDisk disk;
        REQUIRE_SMALL_DISK(disk);
        disk.dir.write("ux7server0.log", gameLog());
        disk.dir.write("vorskal.ini", gameIni());
        disk.dir.write("vorskal.log", old);
        disk.fill(pages);
        const std::set<std::string> before = disk.names();

        const Outcome outcome = tallyOn(disk);
        std::set<std::string> after = disk.names();
        after.erase("ux7server.log");
        EXPECT_EQ(after, before) << "a temporary file was left behind";
        EXPECT_EQ(disk.dir.read("ux7server0.log"), gameLog());
        EXPECT_EQ(disk.dir.read("vorskal.ini"), gameIni());
        if (outcome.kind == OutcomeKind::Completed) {
            EXPECT_EQ(outcome.message, "Tally Complete");
            EXPECT_EQ(disk.dir.read("vorskal.log"), old + complete);
            EXPECT_EQ(disk.dir.read("ux7server.log"), gameLog());
            continue;
        }
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message, "Tally Complete");
        expectOnlyAppended(disk.dir.read("vorskal.log"), old, complete, outcome.message);
        if (outcome.message.find("vorskal.log") == std::string::npos) {
            EXPECT_NE(outcome.message.find("ux7server.log"), std::string::npos) << outcome.message;
            EXPECT_FALSE(disk.dir.exists("ux7server.log"));
            EXPECT_EQ(disk.dir.read("vorskal.log"), old);  // never opened
            continue;
        }
        reportFailed = true;
        EXPECT_EQ(disk.dir.read("ux7server.log"), gameLog());

        // The headless runner on the same full disk.
        ASSERT_EQ(::unlink((disk.dir.path() + "/ux7server.log").c_str()), 0);
        const ToolRun run = runTool(disk.dir.path());
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out.find("Tally Complete"), std::string::npos) << run.out;
        EXPECT_NE(run.err.find("vorskal.log"), std::string::npos) << run.err;
        expectOnlyAppended(disk.dir.read("vorskal.log"), old, complete, outcome.message);
    }
    EXPECT_TRUE(reportFailed) << "no run met a full disk under the report";
}

TEST(Fault, AReadOnlyFolderIsAFailure) {
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    disk.dir.write("ux7server0.log", gameLog());
    disk.dir.write("vorskal.ini", gameIni());
    disk.dir.write("vorskal.log", kOldReport);
    disk.dir.write("ux7server.log", kOldMerged);
    if (!disk.makeReadOnly()) {
        GTEST_SKIP() << "cannot make the tmpfs read-only: " << std::strerror(errno);
    }
    const std::set<std::string> before = disk.names();
    const Outcome outcome = tallyOn(disk);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message.find("ux7server.log"), std::string::npos) << outcome.message;
    EXPECT_EQ(disk.dir.read("ux7server.log"), kOldMerged);
    EXPECT_EQ(disk.dir.read("vorskal.log"), kOldReport);
    EXPECT_EQ(disk.names(), before);

    const ToolRun run = runTool(disk.dir.path());
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("ux7server.log"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vorskal::testing
