#include "app/cli/recording.h"

#include <filesystem>
#include <optional>

#include "app/league/post_game.h"
#include "base/failure.h"
#include "base/log_text.h"
#include "league/import/tally_record.h"
#include "league/store/game_day.h"
#include "results/sha256.h"

namespace vorskal {

namespace {

using league::RecordOutcome;

bool recorded(const league::RecordResult& result) {
    return result.outcome == RecordOutcome::Recorded || result.outcome == RecordOutcome::Replaced;
}

// The SHA-256 of the merged log's first bytes, read from the game folder.
std::function<std::string(std::uint64_t)> mergedLogPrefix(FileService& files) {
    return [&files](std::uint64_t bytes) {
        const std::unique_ptr<InputFile> in = files.openForReading("ux7server.log");
        std::string prefix(bytes, '\0');
        std::size_t got = 0;
        for (std::size_t more = 1; more > 0 && got < prefix.size(); got += more) {
            more = in->read(prefix.data() + got, prefix.size() - got);
        }
        prefix.resize(got);
        return results::sha256Hex(prefix);
    };
}

class LeagueRecorder : public GameRecorder {
  public:
    LeagueRecorder(const RecordOptions& options, Clock& clock)
        : post_(options.post),
          recorder_(
              options.leaguePath,
              {options.season, options.replace, true, options.dateOrder, std::nullopt, true, {}},
              clock) {
        // The webhook is checked before the run: a tally that cannot post
        // records nothing and appends no report.
        if (post_) {
            std::optional<league::LeagueFile> file;
            std::error_code missing;
            if (std::filesystem::file_size(options.leaguePath, missing) > 0 && !missing) {
                file.emplace(options.leaguePath, league::LeagueFile::Access::Read);
            }
            webhook_ = requireWebhook(file ? &file->db() : nullptr, options.leaguePath);
        }
    }

    void settle(const Outcome& outcome, HeldReport& report, FileService& files,
                const results::GameResults& game, const results::SpilledRows* spilled) override {
        if (outcome.kind != OutcomeKind::Completed) {
            report.appendTo(files);
            return;
        }
        // The run took the report's key and SHA-256 as it wrote the report.
        const std::string& path = recorder_.path();
        try {
            result_ = recorder_.record(game, spilled, game.report.key, game.report.sha256,
                                       mergedLogPrefix(files), [&] { report.appendTo(files); });
            if (result_->outcome == RecordOutcome::Conflict) {
                refusal_ = path + ": " + league::conflictText(*result_) +
                           "; nothing appended to vorskal.log";
            }
            if (result_->outcome == RecordOutcome::Refused) {
                refusal_ = path + ": " + league::refusalText(*result_) +
                           "; nothing recorded and nothing appended to vorskal.log";
            }
            if (result_->outcome == RecordOutcome::Duplicate) {
                refusal_ = path + ": this game is recorded already (game " +
                           std::to_string(result_->id) +
                           "); nothing recorded and nothing appended to vorskal.log (--replace "
                           "records it again)";
                if (result_->sameReportOtherLogs) {
                    refusal_ += "; game " + std::to_string(result_->id) +
                                " was tallied from other logs, but its report is this one's line "
                                "for line, so the league takes them for one game";
                }
            }
        } catch (const TallyFailure&) {
            throw;  // the report could not be appended: the run fails on it
        } catch (const std::runtime_error& error) {
            result_.reset();
            refusal_ = "the game was not recorded: " + std::string(error.what()) +
                       "; nothing appended to vorskal.log";
        }
    }

    const std::string& refusal() const override { return refusal_; }

    void tell(std::ostream& out, std::ostream& err) const override {
        if (!result_ || !recorded(*result_)) {
            return;
        }
        const league::RecordResult& r = *result_;
        const std::string path = logText(recorder_.path());
        const std::string season = logText(r.season);
        const std::string game = "game " + std::to_string(r.id);
        out << (r.outcome == RecordOutcome::Replaced ? "Replaced in " : "Recorded in ") << path
            << " as " << game << " (season " << season << ")\n";
        if (!r.playedOn) {
            err << "vorskal-tally: warning: " << path << ": " << game << ": "
                << logText(league::unreadableDayMessage(r.gameDate, r.days.order, r.days.inferred))
                << "\n";
        }
        if (r.version != 0) {
            out << "The version it replaced is kept as game " << r.version << "; vorskal-league "
                << path << " restore " << r.version << " takes it back\n";
        }
        for (const std::int64_t twin : r.twins) {
            err << "vorskal-tally: warning: " << path << ": " << game
                << " is probably the same game as game " << twin
                << " (the same day, map and pilots' rows under another key); if so: "
                   "vorskal-league "
                << path << " remove " << r.id << "\n";
        }
    }

    bool post(std::ostream& out, std::ostream& err) const override {
        if (!post_ || !result_ || !recorded(*result_)) {
            return true;
        }
        const std::string& path = recorder_.path();
        try {
            if (!webhook_->warning.empty()) {
                err << "vorskal-tally: warning: " << webhook_->warning << "\n";
            }
            league::LeagueFile file(path, league::LeagueFile::Access::Read);
            const PostOutcome sent = postGame(file, result_->id, false, webhook_->address);
            if (sent.sent) {
                out << "Posted game " << result_->id << " to the webhook\n";
                return true;
            }
            err << "vorskal-tally: " << path << ": " << notPostedText(result_->id, sent);
            if (sent.maybeTaken) {
                err << "; the game is recorded: see whether the receiver has it before "
                       "vorskal-league "
                    << path << " post " << result_->id << "\n";
                return false;
            }
        } catch (const std::runtime_error& error) {
            err << "vorskal-tally: " << error.what();
        }
        err << "; the game is recorded: vorskal-league " << path << " post " << result_->id
            << " posts it\n";
        return false;
    }

  private:
    bool post_ = false;
    std::optional<Webhook> webhook_;  // with --post: where to, found before the run
    league::TallyRecorder recorder_;
    std::optional<league::RecordResult> result_;
    std::string refusal_;
};

}  // namespace

std::unique_ptr<GameRecorder> openRecorder(const RecordOptions& options, Clock& clock) {
    return std::make_unique<LeagueRecorder>(options, clock);
}

}  // namespace vorskal
