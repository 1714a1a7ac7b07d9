// The runner's --record in a build without the league file (VORSKAL_LEAGUE
// off, as in the Windows cross-build, which has no SQLite): it refuses
// before the run, so nothing is written.
#include <stdexcept>

#include "app/cli/recording.h"

namespace vorskal {

std::unique_ptr<GameRecorder> openRecorder(const RecordOptions& options, Clock& /*clock*/) {
    throw std::runtime_error(options.leaguePath +
                             ": this build of VORSKAL has no league file (it was built without "
                             "SQLite); the game cannot be recorded");
}

}  // namespace vorskal
