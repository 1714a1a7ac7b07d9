// Line splitting at every kind of line end, also where a line end falls on
// the boundary between two reads of the file, and lines longer than a read.
#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/memory_files.h"

namespace vorskal {
namespace {

std::vector<std::string> readAll(const std::string& bytes, std::size_t chunk) {
    testing::MemoryFiles files;
    files.files["f"] = bytes;
    LineReader reader(files.openForReading("f"), chunk);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(LineReader, SplitsAtEveryLineEndWhateverTheReadSize) {
    const std::string longLine(100000, 'x');
    const std::vector<Case> cases = {
        {"crlf", "a\r\nbb\r\n", {"a", "bb"}},
        {"lone cr", "a\rbb\r", {"a", "bb"}},
        {"lone lf", "a\nbb\n", {"a", "bb"}},
        {"mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"last line without end", "one\r\ntwo", {"one", "two"}},
        {"empty lines kept", "\r\n\r\nx\r\n\n", {"", "", "x", ""}},
        {"cr cr is two ends", "a\r\rb", {"a", "", "b"}},
        {"lf cr is two ends", "a\n\rb", {"a", "", "b"}},
        {"empty file", "", {}},
        {"nul byte kept", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
        {"a line longer than the buffer", longLine + "\r\nend", {longLine, "end"}},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {2u, 3u, 4u, 7u, 1024u}) {
            EXPECT_EQ(readAll(c.bytes, chunk), c.lines) << c.name << " chunk " << chunk;
        }
    }
}

}  // namespace
}  // namespace vorskal
