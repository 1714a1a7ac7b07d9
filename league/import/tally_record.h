#pragma once
// Recording the game that vorskal-tally has just scored (`--record`). The
// league file is opened and checked before the run; once the run's report
// exists (held back from "vorskal.log"), the game is looked up by the
// report's key and recorded, and the report is appended to "vorskal.log" as
// the last step of the game's transaction: a game refused leaves
// "vorskal.log" as it was, and a game recorded has its report there.
#include <functional>
#include <memory>
#include <string>

#include "base/platform.h"
#include "league/store/game_store.h"
#include "league/store/league_file.h"
#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::league {

class TallyRecorder {
  public:
    // Opens and checks the league file at `path`: an existing file must be
    // a league file this program can write; a missing one is made when the
    // game is recorded, so its folder must be writable. Throws LeagueError;
    // std::invalid_argument for --replace into a season the file does not know.
    // The recording times come from `clock`.
    TallyRecorder(std::string path, RecordRequest request, Clock& clock);

    // Records the game whose report has `reportKey` and `reportSha256`;
    // `append` runs inside the transaction, after the game is written (not
    // for a duplicate). Throws LeagueError, and what `append` throws.
    // `prefixSha256` hashes the beginning of the game's merged log
    // (league/store/game_identity.h).
    RecordResult record(const results::GameResults& game, const results::SpilledRows* spilled,
                        const std::string& reportKey, const std::string& reportSha256,
                        std::function<std::string(std::uint64_t)> prefixSha256,
                        const std::function<void()>& append);

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    RecordRequest request_;
    Clock& clock_;
    std::unique_ptr<LeagueFile> file_;  // null until the file exists
};

}  // namespace vorskal::league
