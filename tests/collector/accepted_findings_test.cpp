// The file an administrator writes by hand to accept findings: which lines
// are keys, which are left alone, and which fail the run naming the line;
// it is read a line at a time, with a limit per line and per file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "collector/finding_order.h"
#include "results/accepted_findings.h"
#include "results/warning_line.h"

namespace vorskal::results {
namespace {

TEST(AcceptedFindings, KeysCommentsLinesThatAreNoKeyAndLimits) {
    const Warning archie{"unknown-aircraft", "ux7server.log", 94, "...", "Archie"};
    const Warning noDeath{"no-death-points", "vorskal.ini", 0, "..."};
    const std::string key = "unknown-aircraft: Archie";
    const std::string longest = key + std::string(4096 - key.size(), ' ');
    std::string tenThousand;
    for (int i = 0; i < 10000; ++i) {
        tenThousand += "no-map-line\n";
    }
    const struct {
        std::string text;
        const char* error;  // the start of the failure's message; "" when it parses
        bool archie, noDeath;
    } cases[] = {
        {"", "", false, false},
        {"unknown-aircraft: Archie", "", true, false},
        // Comments, blank lines, blanks around a key and every line end.
        {"# the guns\r\n\r\n  unknown-aircraft :  Archie \t\rno-death-points\n", "", true, true},
        {"#unknown-aircraft: Archie", "", false, false},
        // Another subject, or letter case, is another key.
        {"unknown-aircraft: Archibald\nunknown-aircraft: archie", "", false, false},
        {"\nunknown-aircraft Archie", "vorskal-accepted.txt line 2: \"unknown-aircraft Archie\"",
         false, false},
        {"unknown-aircraft:", "vorskal-accepted.txt line 1: no subject", false, false},
        {"no-death-points: Verdun", "vorskal-accepted.txt line 1: a warning \"no-death-points\"",
         false, false},
        {"both sides: Tom", "vorskal-accepted.txt line 1: \"both sides\"", false, false},
        // Notepad's "UTF-8 with BOM": the mark before the first line is no part of it; one
        // anywhere else, or a zero-width space, is shown byte by byte in the quoted code.
        {"\xEF\xBB\xBFno-death-points\r\nunknown-aircraft: Archie", "", true, true},
        {"\xEF\xBB\xBF", "", false, false},
        {"no-death-points\n\xEF\xBB\xBFno-map-line",
         "vorskal-accepted.txt line 2: \"\\xEF\\xBB\\xBFno-map-line\" is not", false, false},
        {"\xE2\x80\x8Bno-death-points",
         "vorskal-accepted.txt line 1: \"\\xE2\\x80\\x8Bno-death-points\" is not", false, false},
        {"# a\n" + longest + "\r\n", "", true, false},
        {"# a\n" + longest + " \r\n", "vorskal-accepted.txt line 2: the line is longer than 4096",
         false, false},
        {"#" + std::string(5000, 'x'), "vorskal-accepted.txt line 1: the line is longer than 4096",
         false, false},
        {tenThousand + "# no key\n", "", false, false},
        {tenThousand + "\n" + key, "vorskal-accepted.txt line 10002: a key beyond the 10000", false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        try {
            const AcceptedFindings accepted = AcceptedFindings::parse(c.text);
            EXPECT_STREQ(c.error, "");
            EXPECT_EQ(accepted.accepts(archie), c.archie);
            EXPECT_EQ(accepted.accepts(noDeath), c.noDeath);
        } catch (const TallyFailure& failure) {
            ASSERT_STRNE(c.error, "") << failure.what();
            EXPECT_EQ(std::string(failure.what()).rfind(c.error, 0), 0u) << failure.what();
        }
    }
}

// The key a run prints for a finding, copied into the file as it is, accepts
// that finding, whatever bytes the name holds; the name with its bytes
// written as the editor may keep them does too.
TEST(AcceptedFindings, ThePrintedKeyCopiedIntoTheFileAcceptsItsFinding) {
    const struct {
        const char* subject;  // the bytes of the log
        const char* printed;  // the key in brackets, worked out by hand
        const char* asSaved;  // another line that accepts it; nullptr: none
    } cases[] = {
        {"A\001B", "unknown-aircraft: A\\x01B", nullptr},
        {"Ren\xE9", "unknown-aircraft: Ren\xC3\xA9", "unknown-aircraft: Ren\xE9"},
        {"\x81x", "unknown-aircraft: \\x81x", nullptr},
        {"Red\tBaron", "unknown-aircraft: Red\\x09Baron", "unknown-aircraft: Red\tBaron"},
        {"Tab\t", "unknown-aircraft: Tab\\x09", nullptr},
        {"Lt:Smith", "unknown-aircraft: Lt:Smith", "unknown-aircraft:Lt:Smith"},
        {" Ace  ", "unknown-aircraft: \\x20Ace\\x20\\x20", nullptr},
        {"Max Immel", "unknown-aircraft: Max Immel", "  unknown-aircraft :Max Immel\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        Warning finding{"unknown-aircraft", "ux7server.log", 3, "odd", c.subject};
        EXPECT_EQ(warningLine(finding),
                  std::string("ux7server.log line 3: warning: odd [") + c.printed + "]");
        EXPECT_TRUE(AcceptedFindings::parse(c.printed).accepts(finding));
        if (c.asSaved != nullptr) {
            EXPECT_TRUE(AcceptedFindings::parse(c.asSaved).accepts(finding));
        }
        finding.accepted = true;
        EXPECT_EQ(warningLine(finding),
                  std::string("ux7server.log line 3: accepted: odd [") + c.printed + "]");
    }
    // The blanks of a name count: " Ace  " is not "Ace".
    EXPECT_FALSE(AcceptedFindings::parse("unknown-aircraft: Ace")
                     .accepts({"unknown-aircraft", "", 0, "", " Ace  "}));
}

// A run lists its findings in file and line order: the numbered logs by
// number (10 after 1), then "vorskal.ini", then "ux7server.log", anything
// else last; in a file one without a line first; one place keeps its order.
TEST(AcceptedFindings, FindingsAreListedInFileAndLineOrderAndTheAcceptedMarked) {
    std::vector<Warning> findings = {
        {"a", "ux7server.log", 5, "..."},
        {"b", "vorskal.ini", 2, "..."},
        {"c", "ux7server10.log", 1, "..."},
        {"d", "ux7server1.log", 3, "..."},
        {"e", "ux7server0.log", 9, "..."},
        {"f", "ux7server.log", 0, "..."},
        {"unknown-aircraft", "ux7server0.log", 2, "...", "Archie"},
        {"h", "vorskal.ini", 2, "..."},
        {"i", "notes.txt", 1, "..."},
    };
    collector::settleFindings(findings, AcceptedFindings::parse("unknown-aircraft: Archie"));
    std::string order;
    for (const Warning& finding : findings) {
        order += finding.code.substr(0, 1) + (finding.accepted ? "+" : "");
    }
    EXPECT_EQ(order, "u+edcbhfai");
}

}  // namespace
}  // namespace vorskal::results
