#pragma once
// Text of the results put into the page: escaped for HTML text and
// attribute values alike, and made valid UTF-8. The logs are 8-bit text in
// the server's code page: valid UTF-8 passes through; any other byte from
// 0xA0 up is taken as Latin-1; other bytes that cannot be shown (control
// characters, stray 0x80-0x9F) become U+FFFD.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal::html {

void appendText(std::string& out, std::string_view text);

// A whole number in plain decimal, a minus sign when negative.
void appendNumber(std::string& out, std::int64_t value);

// A drawing coordinate with at most one decimal ("12", "12.5", "-3.2").
void appendCoordinate(std::string& out, double value);

// Minutes as the report writes them: at most 15 significant digits, no
// trailing zeros, no decimal point when whole.
std::string minutesText(double minutes);

}  // namespace vorskal::html
