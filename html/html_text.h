#pragma once
// Text put into a page (the game's, the league's): the log text of the
// bytes (base/log_text.h), escaped for HTML text and attribute values alike.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/number.h"

namespace vorskal::html {

void appendText(std::string& out, std::string_view text);

// A drawing coordinate with at most one decimal ("12", "12.5", "-3.2").
void appendCoordinate(std::string& out, double value);

// Minutes as the report writes them: at most 15 significant digits, no
// trailing zeros, no decimal point when whole.
std::string minutesText(double minutes);

// Minutes for reading: to a tenth, without ".0" ("12.4" for 12.3833...,
// "6.5", "10", "-1430").
std::string minutesRounded(double minutes);

}  // namespace vorskal::html
