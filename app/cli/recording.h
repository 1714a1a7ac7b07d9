#pragma once
// The runner's --record: the league file is checked before the run, and the
// game recorded after it, inside the folder's lock, before its report
// reaches "vorskal.log" (league/import/tally_record.h). A build without the league
// file has a recorder that refuses at once (no_league.cpp).
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/held_report.h"
#include "app/tally_run.h"
#include "base/log_date.h"
#include "base/platform.h"
#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal {

struct RecordOptions {
    std::string leaguePath;
    std::string season;  // empty: the league's current season
    bool replace = false;
    bool post = false;                   // post the recorded game's summary to the league's webhook
    std::optional<DateOrder> dateOrder;  // the order the game's log writes its date in
};

class GameRecorder {
  public:
    virtual ~GameRecorder() = default;
    // Inside the folder's lock, once the run is over. A completed game is
    // looked up by its report's key and recorded, its report appended to
    // "vorskal.log" as the last step of the league's transaction; the report
    // of a run that did not complete is appended as it is. A game refused or
    // not recorded leaves "vorskal.log" as it was. Throws what appending the
    // report throws (the game is then not recorded).
    virtual void settle(const Outcome& outcome, HeldReport& report, FileService& files,
                        const results::GameResults& game, const results::SpilledRows* spilled) = 0;
    // Why nothing was recorded nor appended (the game is recorded already,
    // the league file failed); empty otherwise.
    virtual const std::string& refusal() const = 0;
    // After the outputs: what was recorded, and warnings about the game's
    // day and about games that are probably the same one.
    virtual void tell(std::ostream& out, std::ostream& err) const = 0;
    // After tell(), with --post: the recorded game's summary to the league's
    // webhook (app/league/post_game.h). False, said on `err`, when it was
    // not sent; the game stays recorded.
    virtual bool post(std::ostream& out, std::ostream& err) const = 0;
};

// Opens and checks the league file before the run. Throws
// std::runtime_error naming the file when it cannot be used. The recording
// time comes from `clock`.
std::unique_ptr<GameRecorder> openRecorder(const RecordOptions& options, Clock& clock);

}  // namespace vorskal
