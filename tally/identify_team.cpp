#include "tally/identify_team.h"

#include "base/text.h"
#include "tally/tally_state.h"

namespace vorskal {
namespace {

struct Fragment {
    std::string_view text;
    Count team;
};

constexpr Fragment kFragments[] = {
    {"FOKKE", kTeamHun},    {"ALBAT", kTeamHun},    {"PFALZ", kTeamHun},   {"HALBE", kTeamHun},
    {"SOPWI", kTeamAllied}, {"NIEUP", kTeamAllied}, {"SPAD", kTeamAllied}, {"MORAN", kTeamAllied},
    {"AIRCO", kTeamAllied}, {"SE5A", kTeamAllied},
};

}  // namespace

Count teamOf(std::string_view text) {
    for (const Fragment& fragment : kFragments) {
        if (containsExact(text, fragment.text)) {
            return fragment.team;
        }
    }
    return kTeamUnknown;
}

}  // namespace vorskal
