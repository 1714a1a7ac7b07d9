#pragma once
// The numbered logs of a game still being flown, as a live run sees them:
// what each holds at one look, up to its last line end, and a file service
// that shows the game's folder as it was at that look, so that the run's own
// tally over it gives the numbers a plain tally of a copy of the folder would.
//
// A line counts once its line end has arrived: a log is seen up to its last
// LF, or its last CR that has a byte after it (a CR at the very end may be
// the first half of a CR LF still on its way). The bytes after that wait for
// the next look.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/tally_run.h"
#include "base/platform.h"

namespace vorskal {

// How many of the file's first `size` bytes are complete lines. Reads back
// from the end only as far as the last line end.
std::uint64_t completeLength(const MappedFile& file, std::uint64_t size);

struct LogExtent {
    std::string name;         // "ux7server0.log", ...
    std::uint64_t bytes = 0;  // all the bytes the log held
    std::uint64_t complete = 0;
    std::string head;  // its first bytes, which a restarted server writes anew
};

// The numbered logs at one look, in number order: none when there is no
// "ux7server0.log", else up to the first number missing, as the merge reads them.
using LogLook = std::vector<LogExtent>;

LogLook lookAtLogs(FileService& files);

// What says the server started again between two looks: a numbered log gone,
// cut shorter, or beginning with other bytes. Its name and what happened to it,
// "ux7server0.log is shorter than before (120 bytes, was 4096)"; empty when the
// logs only grew or new ones came.
std::string restartBetween(const LogLook& before, const LogLook& now);

// Whether any log has grown or come (`complete`: counting complete lines only).
bool grewBetween(const LogLook& before, const LogLook& now, bool complete);

// The game's folder as it was at `look`: the numbered logs of the look, each
// up to its complete lines, and no other numbered log; every other call
// passes to `files`.
class LogsAsLooked : public PassingFiles {
  public:
    LogsAsLooked(FileService& files, LogLook look) : PassingFiles(files), look_(std::move(look)) {}

    bool exists(const std::string& name) override;
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<MappedFile> map(const std::string& name) override;
    std::vector<std::string> names() override;

  private:
    // The log of the look named `name`; null for a file that is no numbered log.
    const LogExtent* extentOf(const std::string& name) const;
    bool hidden(const std::string& name) const;  // a numbered log not in the look

    LogLook look_;
};

// One tally of the folder as it was at `look` that writes nothing (as
// RunConfig::writeNothing), filling `config.results` when set. Every
// failure comes back as a Failed outcome.
Outcome tallyAsLooked(FileService& files, const LogLook& look, TallyState& state, Clock& clock,
                      RunConfig config);

}  // namespace vorskal
