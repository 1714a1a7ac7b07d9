// The runner's --record in a build without the league file (VORSKAL_LEAGUE
// off, as in the Windows cross-build, which has no SQLite): it records
// nothing and says so.
#include <ostream>

#include "league/tally_record.h"

namespace vorskal::league {

std::uint64_t reportFileSize(const std::string&) {
    return 0;
}

bool recordTalliedGame(const std::string& leaguePath, const results::GameResults&,
                       const std::string&, std::uint64_t, bool, std::ostream&, std::ostream& err) {
    err << "vorskal-tally: the game was not recorded in " << leaguePath
        << ": this build of VORSKAL has no league file (it was built without SQLite)\n";
    return false;
}

}  // namespace vorskal::league
