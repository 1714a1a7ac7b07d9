#pragma once
// How the site writes a day, a time, a folder and a ratio for a visitor
// (docs/site.md): no raw ISO time and no server folder on a public page.
#include <cstdint>
#include <string>
#include <vector>

namespace vorskal::league {

// "6 Dec 2026" of "2026-12-06"; "day not known" for "" or anything else.
std::string readableDay(const std::string& playedOn);
// "6 Dec" of "2026-12-06", for a chart's axis; "?" otherwise.
std::string shortDay(const std::string& playedOn);
// "6 Dec 2026, 21:15" of "2026-12-06T21:15:02+01:00" (the time of day as
// the server's clock read it, its offset left out); "" for anything else.
std::string readableTime(const std::string& iso);
// The last name of a folder, whichever separator it was written with:
// "game-7" of "/srv/ux7/games/game-7/" or of "C:\ux7\game-7"; "" for none.
std::string lastFolderName(const std::string& directory);
// Kills per death with two decimals, rounded half up ("1.33"); with no
// death, the kills alone ("3.00"), as if one.
std::string killsPerDeath(std::int64_t kills, std::int64_t deaths);
// The rank of each score of a list sorted by score, highest first: equal
// scores share the rank of the first of them ("1, 2, 2, 4").
std::vector<std::int64_t> ranksOf(const std::vector<std::int64_t>& scores);

}  // namespace vorskal::league
