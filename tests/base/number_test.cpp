// readNumber: optional spaces, an optional sign, decimal digits with an
// optional fraction, optional blanks, nothing else; rounded down towards
// minus infinity; no range check.
#include "base/number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace vorskal {
namespace {

TEST(ReadNumber, ReadsNumbersAndRoundsDown) {
    struct Case {
        std::string text;
        std::int64_t value;
    };
    const Case cases[] = {
        {"0", 0},
        {"5", 5},
        {"007", 7},
        {"+5", 5},
        {"-5", -5},
        {"-0", 0},
        {"  5", 5},
        {"5  ", 5},
        {"   -12   ", -12},
        {" +3 ", 3},
        {"2.9", 2},
        {"-1.5", -2},
        {"-2.9", -3},
        {"-0.1", -1},
        {"0.999", 0},
        {"12.000", 12},
        {"-12.000", -12},
        {".5", 0},
        {"-.5", -1},
        {"+.5", 0},
        {"5.", 5},
        {"-5.", -5},
        {" 99.99 ", 99},
        {"32767", 32767},
        {"32768", 32768},
        {"-32769", -32769},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        // No range check: the caller decides what fits.
        {"2147483648", 2147483648LL},
        {"-2147483649", -2147483649LL},
        // Exact decimal rounding, also where a binary fraction would round.
        {"2.99999999999999999999", 2},
        {"-1.00000000000000000001", -2},
        {"9007199254740993", 9007199254740993LL},
        {"-9007199254740993.5", -9007199254740994LL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        std::int64_t value = 12345;
        EXPECT_TRUE(readNumber(c.text, value));
        EXPECT_EQ(value, c.value);
    }
}

// A blank is the space character only: a tab or other white space is not.
TEST(ReadNumber, RejectsTextsThatAreNoNumbers) {
    const std::string cases[] = {
        "",      " ",   "   ", "+",     "-",     ".",     "-.",    "+.",    "- 5",  "+ 5",   "5-",
        "--5",   "+-5", "1e3", "1E3",   "1.5e2", "1,000", "1 000", "1.2.3", "0x10", "abc",   "ten",
        "5x",    "x5",  "5 x", "inf",   "nan",   "5.5.",  "..5",   "5..",   "=5",   "\"5\"", "5;",
        "1_000", "\t5", "5\t", " \t5 ", "-\t5",  "1\t0",  "\v5",   "5\r",   "\n5",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE("text \"" + text + "\"");
        std::int64_t value = 0;
        EXPECT_FALSE(readNumber(text, value));
    }
}

TEST(ReadNumber, AHugeNumberIsANumberOutsideThe32BitRange) {
    std::int64_t value = 0;
    EXPECT_TRUE(readNumber("99999999999999999999999", value));
    EXPECT_GT(value, std::int64_t{std::numeric_limits<std::int32_t>::max()});
    EXPECT_TRUE(readNumber("-99999999999999999999999", value));
    EXPECT_LT(value, std::int64_t{std::numeric_limits<std::int32_t>::min()});
}

}  // namespace
}  // namespace vorskal
