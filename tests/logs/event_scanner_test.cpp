// The merge's scan for event lines: every line that is of a kind (by
// classifyLine) or does not end in CR LF is handed over, with the same text,
// following line and line index as the line end rules give, and every line
// is counted, wherever the lines, their ends and the phrases fall against the
// 64-byte blocks and the edge of the bytes read so far. Reading lines again
// from where they lie: the right bytes whatever was read before (a few logs
// stay open, the last lines read are kept), and a line no longer there names
// its file.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "logs/event_scanner.h"
#include "logs/line_source.h"
#include "logs/log_line.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

struct HandedLine {
    std::string text;
    std::size_t next = 0;  // where the following line begins, from the input's start
    LineKinds kinds = 0;
    std::uint64_t index = 0;  // lines before it
    bool operator==(const HandedLine&) const = default;
};

struct Scan {
    std::vector<HandedLine> lines;  // of a kind, or not ended by CR LF
    std::uint64_t count = 0;
    bool operator==(const Scan&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Scan& scan) {
    out << scan.count << " lines;";
    for (const HandedLine& line : scan.lines) {
        out << "\n  \"" << line.text << "\" next " << line.next << " kinds "
            << static_cast<int>(line.kinds) << " index " << line.index;
    }
    return out;
}

bool wanted(std::string_view input, std::size_t end, const HandedLine& line) {
    const bool crlf = line.next == end + 2 && input[end] == '\r';
    return line.kinds != 0 || !crlf;
}

// The lines of `input` by the rules, each classified on its own; those a
// scan must hand over.
Scan byTheRules(std::string_view input) {
    Scan scan;
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
        const HandedLine line{text, next, classifyLine(std::string_view(text)), scan.count};
        if (wanted(input, end, line)) {
            scan.lines.push_back(line);
        }
        ++scan.count;
        begin = next;
    }
    return scan;
}

// The scan the processor gets, and the ones it would get without AVX-512 or AVX2.
enum class Way { Chosen, Plain, Avx2 };

std::vector<Way> ways() {
    std::vector<Way> all = {Way::Chosen, Way::Plain};
#if defined(VORSKAL_EVENT_SCAN_AVX2)
    if (__builtin_cpu_supports("avx2")) {
        all.push_back(Way::Avx2);
    }
#endif
    return all;
}

template <typename OnLine>
EventScan scanBy(Way way, const char* p, std::size_t n, bool atEnd, OnLine& onLine) {
    switch (way) {
        case Way::Plain:
            return event_scan_detail::scanWith<event_scan_detail::masksPlain>(p, n, atEnd, onLine);
        case Way::Avx2:
#if defined(VORSKAL_EVENT_SCAN_AVX2)
            return event_scan_detail::scanAvx2(p, n, atEnd, onLine);
#endif
        case Way::Chosen:
            break;
    }
    return scanEventLines(p, n, atEnd, onLine);
}

// Scans `input` the way the merge reads a log: `cut` bytes at a time, going
// on from where each scan stopped, with a larger part when a line does not
// fit in the part read. Lines handed over though of no kind are left out.
Scan scanned(const std::string& input, std::size_t cut, Way way = Way::Chosen) {
    Scan scan;
    std::size_t start = 0;
    std::size_t part = cut;
    while (start < input.size()) {
        const std::size_t n = std::min(part, input.size() - start);
        const bool atEnd = start + n == input.size();
        // Slack past the part holds bytes that must not matter: the phrases' letters.
        std::string buffer = input.substr(start, n) + std::string(kEventScanSlack, 't');
        for (std::size_t i = n; i < buffer.size(); i += 3) {
            buffer[i] = i % 2 == 0 ? 'y' : '\n';
        }
        auto hand = [&](std::size_t begin, std::size_t end, std::size_t next, std::uint64_t index) {
            const std::string text = buffer.substr(begin, end - begin);
            const HandedLine line{text, start + next, classifyLine(std::string_view(text)),
                                  scan.count + index};
            if (wanted(input, start + end, line)) {
                scan.lines.push_back(line);
            }
        };
        const EventScan done = scanBy(way, buffer.data(), n, atEnd, hand);
        scan.count += done.lines;
        if (atEnd) {
            EXPECT_EQ(done.done, n);
            break;
        }
        if (done.done == 0) {
            EXPECT_EQ(done.lines, 0u);
            part *= 2;
            continue;
        }
        start += done.done;
        part = cut;
    }
    return scan;
}

const std::string kKill = "07/12/26 20:57:21 Kill of Fritz ALBATROS_DII awarded to Snoopy SPAD";
const std::string kTarget = "07/12/26 20:57:20 Target Barracks #43 destroyed by Gotha.";
const std::string kEntry =
    "07/12/26 20:57:13 Player |Jasta5_Maverick has entered the arena, flying a SOPWITH_CAMEL";
const std::string kExit = "07/12/26 20:59:13 Player |Jasta5_Maverick has left the arena";
const std::string kMarker = "07/12/26 20:57:20 SELECTED target destroyed and REMOVED from list";

TEST(EventScanner, LinesAndKindsAtBlockEdges) {
    struct Case {
        const char* name;
        std::string input;
    };
    const std::string pad(64, '.');
    const Case cases[] = {
        {"empty", ""},
        {"one line without an end", "solo"},
        {"a kill without an end", kKill},
        {"CR LF split by the block edge", pad.substr(1) + "\r\n" + kKill + "\r\n"},
        {"CR LF just before the block edge", pad.substr(2) + "\r\nnext\r\n"},
        {"lone CR as the block's last byte", pad.substr(1) + "\rnext"},
        {"lone LF opening a block", pad + "\nnext"},
        {"CR then CR LF over the edge", pad.substr(2) + "\r\r\nx"},
        {"LF then CR is two ends", "a\n\rb\r\n"},
        {"empty lines of every end", "\r\n\r\r\n\n\r"},
        {"kinds on every kind of line", kKill + "\r\n" + kTarget + "\n" + kEntry + "\r" + kExit +
                                            "\r\n" + kMarker + "\r\n" + kTarget},
        {"column 19 in the block before the line start's",
         pad.substr(20) + "\r\n" + kKill + "\r\n" + pad.substr(30) + "\r\n" + kTarget + "\r\n"},
        {"kill phrase off column 19", "07/12/26 20:57:21 xKill of A\r\n Kill of B\r\n"},
        {"phrase over the block edge", std::string(40, '.') + kEntry + "\r\n" + pad + kExit},
        {"phrase cut by a line end",
         "07/12/26 20:57:13 Player |A has entered the are\r\nna, "
         "flying a SPAD\r\nSelected target destroyed and\nremoved "},
        {"a line longer than many blocks", std::string(1000, 'x') + kEntry + "\r\n" + kKill},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Scan expected = byTheRules(c.input);
        for (const std::size_t cut : {1, 2, 63, 64, 65, 127, 128, 1000, 100000}) {
            SCOPED_TRACE("read " + std::to_string(cut) + " bytes at a time");
            EXPECT_EQ(scanned(c.input, cut), expected);
        }
    }
}

// Random logs of line ends, the phrases' letters and the phrases themselves,
// cut at random places, scanned in every way the processor allows.
TEST(EventScanner, AgreesWithEachLineClassifiedOnItsOwn) {
    // The phrases, pieces of them, line ends and the phrases' letters alone.
    std::vector<std::string> pieces = {kKill, kTarget, kEntry, kExit, kMarker};
    for (const char* piece :
         {"Selected target destroyed and removed ", " has left the arena",
          "has entered the arena, flying a ", "\r\n07/12/26 20:57:21 ", "07/12/26 20:57:21 ",
          "Kill of ", "Target ", "the arena", "the aren", "Ki", "Ta", "\r\n"}) {
        pieces.push_back(piece);
    }
    for (const char c : std::string_view("\r\ntanyvYVx K")) {
        pieces.emplace_back(1, c);
    }
    std::mt19937 random(20261206);
    for (int round = 0; round < 400; ++round) {
        std::string input;
        const std::size_t count = random() % 200;
        for (std::size_t i = 0; i < count; ++i) {
            input += pieces[random() % pieces.size()];
        }
        const Scan expected = byTheRules(input);
        const std::size_t cut = 1 + random() % 300;
        SCOPED_TRACE("round " + std::to_string(round) + ", cut " + std::to_string(cut));
        for (const Way way : ways()) {
            SCOPED_TRACE("way " + std::to_string(static_cast<int>(way)));
            ASSERT_EQ(scanned(input, cut, way), expected);
        }
    }
}

// Which names are numbered logs: "ux7server", digits, ".log", as the merge
// names them; anything else in the folder is not one.
TEST(NumberedLogNames, DigitsBetweenTheHeadAndTheTail) {
    const std::vector<std::pair<std::string_view, std::optional<std::string_view>>> cases = {
        {"ux7server0.log", "0"},
        {"ux7server12.log", "12"},
        {"ux7server007.log", "007"},
        {"ux7server9.log", "9"},
        {"ux7server.log", std::nullopt},   // the merged log
        {"ux7server/.log", std::nullopt},  // the byte before "0"
        {"ux7server:.log", std::nullopt},  // the byte after "9"
        {"ux7server1a.log", std::nullopt},
        {"UX7SERVER1.LOG", std::nullopt},  // letter case counts
        {"ux7server1.log.bak", std::nullopt},
        {"xux7server1.log", std::nullopt},
    };
    for (const auto& [name, digits] : cases) {
        EXPECT_EQ(numberedLogDigits(name), digits) << name;
    }
    EXPECT_EQ(numberedLogDigits(numberedLogName(305)), "305");
}

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
