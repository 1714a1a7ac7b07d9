#include "league/tally_record.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/utf8_path.h"
#include "league/game_store.h"
#include "league/league_file.h"
#include "league/report_reader.h"

namespace vorskal::league {

namespace {

std::filesystem::path reportPath(const std::string& directory) {
    return utf8Path(directory) / "vorskal.log";
}

}  // namespace

std::uint64_t reportFileSize(const std::string& directory) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(reportPath(directory), error);
    return error ? 0 : size;
}

bool recordTalliedGame(const std::string& leaguePath, const results::GameResults& game,
                       const std::string& directory, std::uint64_t reportSizeBefore, bool replace,
                       std::ostream& out, std::ostream& err) {
    std::string appended;
    if (std::ifstream in(reportPath(directory), std::ios::binary); in) {
        in.seekg(static_cast<std::streamoff>(reportSizeBefore));
        appended.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    try {
        const GameIdentity identity = talliedGame(game, firstReportSha256(appended));
        LeagueFile file(leaguePath, LeagueFile::Access::Write);
        const RecordResult result = recordGame(file, game, identity, replace);
        switch (result.outcome) {
            case RecordOutcome::Recorded:
                out << "Recorded in " << leaguePath << " as game " << result.id << "\n";
                return true;
            case RecordOutcome::Replaced:
                out << "Replaced in " << leaguePath << ": now game " << result.id << "\n";
                return true;
            case RecordOutcome::Duplicate:
                err << "vorskal-tally: " << leaguePath << ": this game is recorded already (game "
                    << result.id << "); nothing recorded (--replace records it again)\n";
                return false;
        }
    } catch (const LeagueError& error) {
        err << "vorskal-tally: the game was not recorded: " << error.what() << "\n";
    }
    return false;
}

}  // namespace vorskal::league
