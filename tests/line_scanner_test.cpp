// The one-sweep line scan of the merge: the same lines as the line end rules
// give (CR LF, lone CR, lone LF; a last line without an end), and the same
// kinds as classifying each line on its own, wherever the lines, their ends
// and the phrases fall against the 64-byte blocks and the edge of the bytes
// read so far.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "logs/kept_lines.h"
#include "logs/line_scanner.h"

namespace vorskal::testing {
namespace {

struct ScannedLine {
    std::string text;
    std::size_t next = 0;  // where the following line begins, from the input's start
    LineKinds kinds = 0;
    bool operator==(const ScannedLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ScannedLine& line) {
    return out << '"' << line.text << "\" next " << line.next << " kinds "
               << static_cast<int>(line.kinds);
}

// The lines of `input` by the rules, each classified on its own.
std::vector<ScannedLine> byTheRules(std::string_view input) {
    std::vector<ScannedLine> lines;
    std::size_t begin = 0;
    while (begin < input.size()) {
        std::size_t end = begin;
        while (end < input.size() && input[end] != '\r' && input[end] != '\n') {
            ++end;
        }
        std::size_t next = end + 1;
        if (end == input.size()) {
            next = end;
        } else if (input[end] == '\r' && end + 1 < input.size() && input[end + 1] == '\n') {
            next = end + 2;
        }
        const std::string text(input.substr(begin, end - begin));
        lines.push_back({text, next, classifyLine(text)});
        begin = next;
    }
    return lines;
}

// Scans `input` the way the merge reads a log: `cut` bytes at a time, going
// on from where each scan stopped, with a larger part when a line does not
// fit in the part read.
std::vector<ScannedLine> scanned(const std::string& input, std::size_t cut) {
    std::vector<ScannedLine> lines;
    std::size_t start = 0;
    std::size_t part = cut;
    while (start < input.size()) {
        const std::size_t n = std::min(part, input.size() - start);
        const bool atEnd = start + n == input.size();
        // Slack past the part holds bytes that must not matter: the phrases' letters.
        std::string buffer = input.substr(start, n) + std::string(kScanSlack, 't');
        for (std::size_t i = n; i < buffer.size(); i += 3) {
            buffer[i] = 'y';
        }
        const std::size_t done =
            scanLines(buffer.data(), n, atEnd,
                      [&](std::size_t begin, std::size_t end, std::size_t next, LineKinds kinds) {
                          lines.push_back({buffer.substr(begin, end - begin), start + next, kinds});
                      });
        if (atEnd) {
            EXPECT_EQ(done, n);
            break;
        }
        if (done == 0) {
            part *= 2;
            continue;
        }
        start += done;
        part = cut;
    }
    return lines;
}

const std::string kKill = "07/12/26 20:57:21 Kill of Fritz ALBATROS_DII awarded to Snoopy SPAD";
const std::string kTarget = "07/12/26 20:57:20 Target Barracks #43 destroyed by Gotha.";
const std::string kEntry =
    "07/12/26 20:57:13 Player |Jasta5_Maverick has entered the arena, flying a SOPWITH_CAMEL";
const std::string kExit = "07/12/26 20:59:13 Player |Jasta5_Maverick has left the arena";
const std::string kMarker = "07/12/26 20:57:20 SELECTED target destroyed and REMOVED from list";

TEST(LineScanner, LinesAndKindsAtBlockEdges) {
    struct Case {
        const char* name;
        std::string input;
    };
    const std::string pad62(62, '.');
    const std::string pad63(63, '.');
    const std::string pad64(64, '.');
    const Case cases[] = {
        {"empty", ""},
        {"one line without an end", "solo"},
        {"CR LF split by the block edge", pad63 + "\r\nnext\r\n"},
        {"CR LF just before the block edge", pad62 + "\r\nnext\r\n"},
        {"lone CR as the block's last byte", pad63 + "\rnext"},
        {"lone LF opening a block", pad64 + "\nnext"},
        {"CR then CR LF over the edge", pad62 + "\r\r\nx"},
        {"LF then CR is two ends", "a\n\rb\r\n"},
        {"empty lines of every end", "\r\n\r\r\n\n\r"},
        {"kinds on every kind of line", kKill + "\r\n" + kTarget + "\n" + kEntry + "\r" + kExit +
                                            "\r\n" + kMarker + "\r\n" + kTarget},
        {"phrase over the block edge", std::string(40, '.') + kEntry + "\r\n" + pad63 + kExit},
        {"phrase cut by a line end",
         "07/12/26 20:57:13 Player |A has entered the are\r\nna, "
         "flying a SPAD\r\nSelected target destroyed and\nremoved "},
        {"a line longer than many blocks", std::string(1000, 'x') + kEntry + "\r\n" + kKill},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ScannedLine> expected = byTheRules(c.input);
        for (const std::size_t cut : {1, 2, 63, 64, 65, 127, 128, 1000, 100000}) {
            SCOPED_TRACE("read " + std::to_string(cut) + " bytes at a time");
            EXPECT_EQ(scanned(c.input, cut), expected);
        }
    }
}

// Random logs of line ends, the phrases' letters and the phrases themselves,
// cut at random places.
TEST(LineScanner, AgreesWithEachLineClassifiedOnItsOwn) {
    const std::vector<std::string> pieces = {"\r",
                                             "\n",
                                             "\r\n",
                                             "t",
                                             "a",
                                             "n",
                                             "y",
                                             "v",
                                             "Y",
                                             "V",
                                             "x",
                                             " ",
                                             "the arena",
                                             "the aren",
                                             kKill,
                                             kTarget,
                                             kEntry,
                                             kExit,
                                             kMarker,
                                             "Selected target destroyed and removed ",
                                             "has entered the arena, flying a ",
                                             " has left the arena",
                                             "Kill of ",
                                             "Target "};
    std::mt19937 random(20261206);
    for (int round = 0; round < 300; ++round) {
        std::string input;
        const std::size_t count = random() % 200;
        for (std::size_t i = 0; i < count; ++i) {
            input += pieces[random() % pieces.size()];
        }
        const std::vector<ScannedLine> expected = byTheRules(input);
        const std::size_t cut = 1 + random() % 300;
        SCOPED_TRACE("round " + std::to_string(round) + ", cut " + std::to_string(cut));
        ASSERT_EQ(scanned(input, cut), expected);
    }
}

}  // namespace
}  // namespace vorskal::testing
