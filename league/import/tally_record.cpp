#include "league/import/tally_record.h"

#include <filesystem>

#include "base/utf8_path.h"
#include "base/writable.h"
#include "league/listings/queries.h"

namespace vorskal::league {

TallyRecorder::TallyRecorder(std::string path, RecordRequest request, Clock& clock)
    : path_(std::move(path)), request_(std::move(request)), clock_(clock) {
    std::error_code error;
    if (std::filesystem::exists(utf8Path(path_), error)) {
        file_ = std::make_unique<LeagueFile>(path_, LeagueFile::Access::Write, clock_);
        if (request_.replace && !request_.season.empty()) {
            checkSeason(*file_, request_.season);  // a game to replace is in a season there
        }
    } else if (!folderWritable(folderOf(utf8Path(path_)))) {
        throw LeagueError(path_ +
                          ": cannot be made (its folder does not exist or cannot be written)");
    }
}

RecordResult TallyRecorder::record(const results::GameResults& game,
                                   const results::SpilledRows* spilled,
                                   const std::string& reportKey, const std::string& reportSha256,
                                   std::function<std::string(std::uint64_t)> prefixSha256,
                                   const std::function<void()>& append) {
    if (!file_) {
        file_ = std::make_unique<LeagueFile>(path_, LeagueFile::Access::Write, clock_);
    }
    return recordGame(*file_, game, spilled,
                      talliedGame(game, reportKey, reportSha256, std::move(prefixSha256)), request_,
                      append);
}

}  // namespace vorskal::league
