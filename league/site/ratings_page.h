#pragma once
// The site's ratings page (ratings.html): for each role, the pilots' Glicko-2
// ratings (league/listings/ratings.h) ranked in a table, with the opponents
// who moved each rating most in the pilot's last game, and a chart drawing
// each rating as a point on a bar from twice its deviation below to twice
// above. Hidden pilots stand under their pseudonyms. docs/site.md.
#include <functional>
#include <string>
#include <vector>

#include "league/listings/pilot_mask.h"
#include "league/listings/ratings.h"

namespace vorskal::league {

// The page's body, between the site's frame; `pilotPage` gives the link to
// a (shown) name's page, or "" for a name without one.
std::string ratingsBody(const std::vector<PilotRating>& all, const PilotMask& mask,
                        const std::function<std::string(const std::string&)>& pilotPage);

}  // namespace vorskal::league
