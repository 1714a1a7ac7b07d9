#pragma once
// The pilots who asked to be left off the public pages (`vorskal-league
// LEAGUE.db set hidden-pilot NAME`): the site, its downloads and posts show
// each under a pseudonym, "Hidden pilot <number>", numbered in the order of
// hiding and never given to another name, so it says nothing of the name and
// stays the same on every page and every rebuild. The admin's own commands
// show the real names. The names are the pilots' rows' names, matched
// exactly (trailing blanks removed).
#include <string>
#include <string_view>
#include <vector>

#include "league/store/sqlite.h"

namespace vorskal::league {

inline constexpr std::string_view kHiddenPilotSetting = "hidden-pilot";

struct HiddenPilot {
    std::string name;
    std::string pseudonym;
};

// The pilots hidden now, in the order of their numbers.
std::vector<HiddenPilot> hiddenPilots(Connection& db);

struct Hiding {
    std::string pseudonym;
    bool already = false;  // hidden before: nothing changed
};

// Hides `name` inside the caller's transaction; a name hidden before and
// shown since gets its number back. Throws std::invalid_argument for an
// empty name or one of more than one line.
Hiding hidePilot(Connection& db, const std::string& name);

// Shows `name` again; the pseudonym it had. Throws std::invalid_argument
// when the name is not hidden.
std::string showPilot(Connection& db, const std::string& name);

}  // namespace vorskal::league
