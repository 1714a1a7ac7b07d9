// How log bytes become text in every output: each case worked out by hand
// from the rule (valid UTF-8 stays, any other byte is code page 1252, what
// cannot be shown is "\xNN").
#include <gtest/gtest.h>

#include <string>

#include "base/log_text.h"

namespace vorskal::testing {
namespace {

TEST(LogText, EachKindOfByteAndSequence) {
    using namespace std::string_literals;
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"Snoopy", "Snoopy"},
        {"Ren\xE9_Fonck", "Ren\xC3\xA9_Fonck"},                         // 1252 0xE9: U+00E9
        {"Ren\xC3\xA9_Fonck", "Ren\xC3\xA9_Fonck"},                     // valid UTF-8 stays
        {"\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"},                           // sequence by sequence
        {"Max\0Immel"s, "Max\\x00Immel"},                               // NUL
        {"\x1B[2J", "\\x1B[2J"},                                        // an escape sequence
        {"\t\r\n\x7F", "\\x09\\x0D\\x0A\\x7F"},                         // every C0 control, DEL
        {"\x80\x9F\xA0", "\xE2\x82\xAC\xC5\xB8\xC2\xA0"},               // euro, Y diaeresis, NBSP
        {"\x81\x8D\x8F\x90\x9D", "\\x81\\x8D\\x8F\\x90\\x9D"},          // undefined in 1252
        {"\xC2\x9B", "\\xC2\\x9B"},                                     // a C1 control in UTF-8
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                               // overlong: two 1252 bytes
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},               // a surrogate
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},                           // cut short
        {"\xF0\x9F\x9B\xA9", "\xF0\x9F\x9B\xA9"},                       // four bytes, U+1F6E9
        {"\xF4\x90\x80\x80", "\xC3\xB4\\x90\xE2\x82\xAC\xE2\x82\xAC"},  // beyond U+10FFFF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(logText(c.bytes), c.text);
        EXPECT_EQ(logText(c.text), c.text);  // converting again changes nothing
    }
    EXPECT_EQ(textColumns("Ren\xC3\xA9_Fonck"), 10u);
    EXPECT_EQ(textColumns("\xE2\x82\xAC\xF0\x9F\x9B\xA9"), 2u);
}

}  // namespace
}  // namespace vorskal::testing
