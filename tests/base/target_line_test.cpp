// takeTargetLine, the one rule for a destruction line that the merge and
// the import of old reports share: the location key is the three characters
// before the first " destroyed by " (any letter case), with "#" put in front
// when they hold none; the destroyer is the text after it less its last
// character, 16 kept.
#include "base/target_line.h"

#include <gtest/gtest.h>

#include <string>

namespace vorskal {
namespace {

TEST(TakeTargetLine, KeyAndDestroyerOfEachShapeOfLine) {
    struct Case {
        std::string line;
        std::string key;
        std::string destroyer;
    };
    const Case cases[] = {
        {"Target Depot #12 destroyed by Snoopy.", "#12", "Snoopy"},
        {"Target Bridge B7 destroyed by Udet!", "# B7", "Udet"},
        {"Target x123 DESTROYED BY Richthofen Manfred von X", "#123", "Richthofen Manfr"},
        {"ab destroyed by Zed.", "#ab", "Zed"},    // fewer than three before it
        {" destroyed by Snoopy.", "#", "Snoopy"},  // nothing before it
        {"#12 destroyed by X", "#12", ""},         // one character after it
        {"A1 destroyed by B2 destroyed by C3.", "#A1", "B2 destroyed by "},  // the first one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<TargetParts> parts = takeTargetLine(std::string_view(c.line));
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->locationKey.view(), c.key);
        EXPECT_EQ(parts->destroyer.view(), c.destroyer);
    }
}

TEST(TakeTargetLine, NothingWithoutThePhraseOrWithNothingAfterIt) {
    for (const std::string line :
         {"Target #12 destroyed by ", "Target #12 lost", "Target #12 destroyedby X", ""}) {
        EXPECT_FALSE(takeTargetLine(std::string_view(line)).has_value()) << line;
    }
}

}  // namespace
}  // namespace vorskal
