// Reading lines again from where they lie: the right bytes whatever was read
// before (a few logs stay open, the last lines read are kept), and a line no
// longer there names its file.
#include "logs/line_source.h"

#include <gtest/gtest.h>

#include <string>

#include "base/failure.h"
#include "logs/log_line.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

TEST(LineSource, ReadsEachLineWhateverWasReadBefore) {
    // Twelve logs, more than stay open: log n holds "first n\r\nsecond n\r\n".
    MemoryFiles files;
    for (std::uint32_t n = 0; n < 12; ++n) {
        files.files[numberedLogName(n)] =
            "first " + std::to_string(n) + "\r\nsecond " + std::to_string(n) + "\r\n";
    }
    LineSource source(files);
    struct Read {
        std::uint32_t file;
        std::uint64_t offset;
        std::uint64_t length;
        std::size_t count;
        std::string text;
    };
    // "second n" begins after "first n" and CR LF: at 9 for one digit (8
    // bytes long), at 10 for two (9 bytes long).
    const Read reads[] = {
        {0, 0, 7, 128, "first 0"},     {0, 9, 8, 128, "second 0"},
        {0, 9, 8, 3, "sec"},  // the same line again, fewer bytes
        {0, 9, 8, 128, "second 0"},    {1, 0, 7, 128, "first 1"},
        {2, 0, 7, 128, "first 2"},     {3, 0, 7, 128, "first 3"},
        {4, 0, 7, 128, "first 4"},     {5, 0, 7, 128, "first 5"},
        {6, 0, 7, 128, "first 6"},     {7, 0, 7, 128, "first 7"},
        {8, 0, 7, 128, "first 8"},     {9, 0, 7, 128, "first 9"},
        {10, 10, 9, 128, "second 10"}, {11, 10, 9, 5, "secon"},
        {0, 0, 7, 5, "first"},  // a log closed since is opened again
        {11, 0, 8, 128, "first 11"},   {kMergedLogFile, 4, 2, 128, "ed"},
    };
    files.files["ux7server.log"] = "merged\r\n";
    for (const Read& read : reads) {
        SCOPED_TRACE(read.text);
        EXPECT_EQ(source.start(LinePlace{read.offset, read.length, read.file}, read.count),
                  read.text);
    }
    std::string whole;
    source.forEachPiece(LinePlace{9, 8, 3}, [&](std::string_view piece) { whole += piece; });
    EXPECT_EQ(whole, "second 3");
}

TEST(LineSource, ALineNoLongerThereNamesItsLog) {
    MemoryFiles files;
    files.files["ux7server4.log"] = "short\r\n";
    LineSource source(files);
    try {
        source.start(LinePlace{0, 100, 4}, 128);
        FAIL() << "no failure";
    } catch (const TallyFailure& failure) {
        EXPECT_EQ(std::string(failure.what()), "ux7server4.log: a line could not be read again");
    }
}

}  // namespace
}  // namespace vorskal::testing
