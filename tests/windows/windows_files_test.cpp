// The Windows file service, lock and runner arguments, on the real disk
// under Windows (or Wine): the sample game tallied in a folder whose name is
// not ASCII, the replace-in-one-step and append contracts, failures worded
// as on Linux, and a second tally waiting for the first.
#include "base/system_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/cli/output_guard.h"
#include "app/tally_run.h"
#include "base/windows_text.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"
#include "tests/support/scenarios.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sample game copied into a new folder of `parent` named `name` (UTF-8).
fs::path sampleGameIn(const GameDir& parent, const std::string& name) {
    const fs::path game = fs::path(parent.path()) / fs::u8path(name);
    fs::create_directory(game);
    fs::copy(fs::path(VORSKAL_SOURCE_DIR) / "examples" / "sample-game", game);
    return game;
}

// What a failing action says, or "no failure".
template <typename Action>
std::string failure(Action&& action) {
    try {
        action();
    } catch (const TallyFailure& e) {
        return e.what();
    }
    return "no failure";
}

std::string utf8(const fs::path& path) {
    return narrow(path.wstring());
}

TEST(WindowsFiles, SampleGameInAFolderNamedInAnyScript) {
    GameDir parent;
    const fs::path game = sampleGameIn(parent, "Spiel \xC3\x84rger \xE8\xAF\x95\xE9\xAA\x8C");
    FixedClock clock;
    const Outcome outcome = tallyDirectory(utf8(game), TallyOptions{}, clock);
    ASSERT_EQ(outcome.kind, OutcomeKind::Completed) << outcome.message;

    // The merged log is the three numbered logs in order, byte for byte.
    EXPECT_EQ(slurp(game / "ux7server.log"), slurp(game / "ux7server0.log") +
                                                 slurp(game / "ux7server1.log") +
                                                 slurp(game / "ux7server2.log"));
    // The report is the golden one, with the fixed clock's time line.
    std::string expected =
        expectedReport(fs::path(VORSKAL_SOURCE_DIR) / "tests/scenarios/sample-game");
    const std::string masked = "Current time is <TIME>    Current date is <DATE>";
    expected.replace(expected.find(masked), masked.size(),
                     "Current time is 20:15:03    Current date is 06/12/2026");
    EXPECT_EQ(slurp(game / "vorskal.log"), expected);
    // Nothing else is left in the folder: no temporary file, no lock file;
    // only the sample's own files and the merged log and the report.
    const auto count = [](const fs::path& folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    };
    EXPECT_EQ(count(game), count(fs::path(VORSKAL_SOURCE_DIR) / "examples" / "sample-game") + 2);
}

TEST(WindowsFiles, ReplaceTakesEffectOnCloseOnlyAndAppendKeeps) {
    GameDir dir;
    dir.write("merged", "old\r\n");
    dir.write("report", "first\r\n");
    SystemFileService files(dir.path());

    auto dropped = files.createOrReplace("merged");
    dropped->write("half");
    dropped.reset();  // dropped without close: the old file stays
    EXPECT_EQ(dir.read("merged"), "old\r\n");

    auto replaced = files.createOrReplace("merged");
    replaced->write("new\r\n");
    EXPECT_EQ(dir.read("merged"), "old\r\n");
    replaced->close();
    EXPECT_EQ(dir.read("merged"), "new\r\n");

    auto appended = files.openForAppend("report");
    appended->write("second\r\n");
    appended->close();
    EXPECT_EQ(dir.read("report"), "first\r\nsecond\r\n");
    auto created = files.openForAppend("fresh");
    created->close();
    EXPECT_TRUE(dir.exists("fresh"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST(WindowsFiles, FailuresReadAsOnLinux) {
    GameDir dir;
    SystemFileService files(dir.path());
    EXPECT_EQ(failure([&] { files.openForReading("vorskal.ini"); }),
              "vorskal.ini: cannot open: No such file or directory");
    EXPECT_EQ(failure([&] { files.map("ux7server3.log"); }),
              "ux7server3.log: cannot open: No such file or directory");
    const std::string missing = dir.path() + "\\gone";
    EXPECT_EQ(failure([&] { DirectoryLock lock(missing); }),
              missing + ": cannot open the game directory: No such file or directory");

    // A folder where the merged log should go: the run stops, naming it.
    GameDir game;
    game.write("ux7server0.log", "");
    fs::create_directory(fs::path(game.path()) / "ux7server.log");
    const Outcome outcome = game.tally();
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_EQ(outcome.message.rfind("ux7server.log: cannot ", 0), 0u) << outcome.message;
}

// Only regular files are read or written, files are known by identity, and
// the user's paths are split at either separator.
TEST(WindowsFiles, OnlyRegularFilesAndFilesKnownByIdentity) {
    GameDir dir;
    fs::create_directory(fs::path(dir.path()) / "vorskal.ini");
    dir.write("report.log", "first\r\n");
    SystemFileService files(dir.path());
    EXPECT_EQ(failure([&] { files.openForReading("vorskal.ini"); }),
              "vorskal.ini: cannot open: a directory, not a regular file");
    EXPECT_EQ(failure([&] { openInputFile("NUL"); }),
              "NUL: cannot open: a device, not a regular file");
    const std::string folder = dir.path() + "\\vorskal.ini";
    EXPECT_EQ(failure([&] { replaceFile(folder); }),
              folder + ": cannot replace: a directory, not a regular file");

    // One file under two spellings, and another file.
    const FileAt report = fileAt(dir.path() + "\\report.log");
    EXPECT_EQ(report.kind, FileAt::Kind::Regular);
    EXPECT_TRUE(report.sameFileAs(fileAt(dir.path() + "/./REPORT.LOG")));
    EXPECT_FALSE(report.sameFileAs(fileAt(folder)));
    EXPECT_EQ(fileAt(dir.path() + "\\gone").kind, FileAt::Kind::Missing);
    // An output may not be the game's report, in whatever letter case.
    EXPECT_NE(refusedOutput(dir.path(), {{"--json", dir.path() + "\\VORSKAL.LOG"}}), "");
    EXPECT_EQ(refusedOutput(dir.path(), {{"--json", dir.path() + "\\results.json"}}), "");

    const struct {
        const char* path;
        const char* directory;
        const char* name;
    } splits[] = {{"C:\\a\\b", "C:\\a", "b"}, {"a/b", "a", "b"},      {"C:b", "C:.", "b"},
                  {"\\b", "\\", "b"},         {"C:\\b", "C:\\", "b"}, {"b", ".", "b"}};
    for (const auto& split : splits) {
        EXPECT_EQ(splitPath(split.path),
                  std::make_pair(std::string(split.directory), std::string(split.name)))
            << split.path;
    }

    // The scratch file: read back what was written; gone once closed.
    const ScratchFile scratch = openScratchFile();
    EXPECT_FALSE(scratch.folder.empty());
    std::fputs("row\n", scratch.file);
    std::rewind(scratch.file);
    char row[8] = {};
    EXPECT_NE(std::fgets(row, sizeof row, scratch.file), nullptr);
    EXPECT_STREQ(row, "row\n");
    std::fclose(scratch.file);
}

TEST(WindowsFiles, SecondTallyWaitsForTheLockAndReadingIsNotHindered) {
    GameDir dir;
    dir.write("ux7server0.log", "line\r\n");
    std::atomic<bool> second{false};
    std::thread waiter;
    {
        DirectoryLock first(dir.path());
        SystemFileService files(dir.path());
        EXPECT_EQ(files.map("ux7server0.log")->bytes(), "line\r\n");
        waiter = std::thread([&] {
            DirectoryLock lock(dir.path());
            second = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(second);
    }
    waiter.join();
    EXPECT_TRUE(second);
}

}  // namespace
}  // namespace vorskal::testing
