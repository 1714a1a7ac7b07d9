// The file an administrator writes by hand to accept findings: which lines
// are keys, which are left alone, and which fail the run naming the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "collector/finding_order.h"
#include "results/accepted_findings.h"

namespace vorskal::results {
namespace {

TEST(AcceptedFindings, KeysCommentsAndLinesThatAreNoKey) {
    const Warning archie{"unknown-aircraft", "ux7server.log", 94, "...", "Archie"};
    const Warning noDeath{"no-death-points", "vorskal.ini", 0, "..."};
    const struct {
        const char* text;
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
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
