#pragma once
// Whether a league file's schema objects are exactly those its version's
// migrations make: every table, index and trigger, by kind, name and SQL.
// A file that claims to be a league file but holds a view where a table
// belongs, a trigger, or any object of its own is refused before a query
// reads it, so that nothing the file defines runs in this program.
#include <cstdint>
#include <string>

#include "league/store/sqlite.h"

namespace vorskal::league {

// The first difference between `db`'s schema and the one of `version`, in
// plain words ("it holds the view \"games\", which ..."); empty when none.
std::string schemaDifference(Connection& db, std::int64_t version);

}  // namespace vorskal::league
