#include "app/cli/runner.h"

#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <utility>

#include "app/cli/live_run.h"
#include "app/cli/output_check.h"
#include "app/cli/output_guard.h"
#include "app/cli/recording.h"
#include "app/cli/session.h"
#include "app/start/command_start.h"
#include "app/tally_run.h"
#include "base/log_text.h"
#include "base/system_files.h"
#include "html/game_page.h"
#include "html/page_rows.h"
#include "league/store/settings.h"
#include "results/accepted_findings.h"
#include "results/csv_writer.h"

namespace vorskal {

namespace {

// What the command line asks for.
struct TallyAsked {
    std::string directory = ".";
    std::string directoryArgument;
    OutputRequest request;
    std::string htmlFile;
    bool strict = false;
    bool noOverMax = false;
    bool noMultiDeath = false;
    bool noFighter = false;
    bool allTargets = false;
    RecordOptions record;
    bool follow = false;
    int everySeconds = 30;
    std::string until;
    int idleMinutes = 0;
};

// The options, in the order the help lists them: the game's directory, the
// outputs, the corrections, the recording.
void addDirectory(CLI::App& app, TallyAsked& asked) {
    app.add_option("-C,--directory", asked.directory,
                   "The game's directory (default: the current one)")
        ->type_name("DIR");
    app.add_option("DIR", asked.directoryArgument, "The game's directory, as with -C")
        ->type_name("DIR");
}

void addOutputs(CLI::App& app, TallyAsked& asked) {
    app.add_option("--json", asked.request.json,
                   "Also write the results as JSON to FILE (- for standard output), e.g.\n"
                   "vorskal-tally --json results.json /srv/ux7")
        ->type_name("FILE");
    app.add_option("--csv", asked.request.csv,
                   "Also write the results as CSV files (pilots, teams, corrections, targets,\n"
                   "arena, warnings) into DIR, e.g. vorskal-tally --csv results/ /srv/ux7")
        ->type_name("DIR");
    app.add_flag("--check", asked.request.check,
                 "Tally in memory and write nothing: print the warnings and the final totals;\n"
                 "exit 3 when there are warnings not accepted in vorskal-accepted.txt, e.g.\n"
                 "vorskal-tally --check /srv/ux7");
    app.add_flag("--strict", asked.strict,
                 "Write nothing at all (no report, no outputs, nothing recorded) when the checks\n"
                 "find a warning not accepted in vorskal-accepted.txt: list them and exit 3");
    app.add_option("--html", asked.htmlFile,
                   "Also write the game's page, one self-contained HTML file, e.g.\n"
                   "vorskal-tally --html game.html /srv/ux7")
        ->type_name("FILE");
    app.add_flag("--show-addresses", asked.request.showAddresses,
                 "Keep the players' network addresses in the log lines that the JSON, CSV\n"
                 "and page quote, for an administrator's own copy (default: masked, only\n"
                 "the protocol word kept); a league file masks them always");
}

void addCorrections(CLI::App& app, TallyAsked& asked) {
    app.add_flag("--no-over-max-correction", asked.noOverMax,
                 "Do not deduct points for more than 16 pilots of a side");
    app.add_flag("--no-multi-death-correction", asked.noMultiDeath,
                 "Do not take back deaths logged again within 20 seconds");
    app.add_flag("--no-fighter-target-correction", asked.noFighter,
                 "Do not take back targets destroyed by fighters");
    app.add_flag("--all-targets", asked.allTargets,
                 "Credit targets that were not red boxed too (default: red boxed only)");
}

void addRecord(CLI::App& app, TallyAsked& asked) {
    app.add_option("--record", asked.record.leaguePath,
                   "Record the game in this league file (created when missing); a game\n"
                   "recorded already is refused, and its report is not appended")
        ->type_name("LEAGUE.db");
    app.add_flag("--replace", asked.record.replace,
                 "With --record: record the game again if it is there, keeping its number")
        ->needs("--record");
    app.add_flag("--post", asked.record.post,
                 "With --record: post the recorded game's summary to the league's webhook\n"
                 "(vorskal-league LEAGUE.db set webhook URL, or VORSKAL_WEBHOOK)")
        ->needs("--record");
    app.add_option("--season", asked.record.season,
                   "With --record: the season to record the game in (default: the league's\n"
                   "current season)")
        ->type_name("NAME")
        ->check([](const std::string& name) { return league::seasonNameFault(name); })
        ->needs("--record");
    addDateOrder(app, asked.record.dateOrder,
                 "With --record: the order this server writes its dates in, when it is not\n"
                 "the league's (default: its date-order setting, or the season's dates' order)")
        ->needs("--record");
}

void addFollow(CLI::App& app, TallyAsked& asked) {
    CLI::Option* follow =
        app.add_flag("--follow", asked.follow,
                     "Follow the game while it is flown: tally the logs' complete lines again\n"
                     "whenever they grow (at most every --every seconds) and rewrite the\n"
                     "outputs (--html needed), writing nothing in the game's directory; at the\n"
                     "end (Ctrl-C, --until, --idle) tally as a plain run would, e.g.\n"
                     "vorskal-tally --follow /srv/ux7 --html /var/www/live.html");
    app.add_option("--every", asked.everySeconds,
                   "With --follow: look at the logs every SECONDS (default 30)")
        ->type_name("SECONDS")
        ->check(CLI::Range(1, 24 * 60 * 60))
        ->needs(follow);
    app.add_option("--until", asked.until, "With --follow: end at the next HH:MM of the local time")
        ->type_name("HH:MM")
        ->needs(follow);
    app.add_option("--idle", asked.idleMinutes,
                   "With --follow: end when no log has grown for MINUTES")
        ->type_name("MINUTES")
        ->check(CLI::Range(1, 7 * 24 * 60))
        ->needs(follow);
}

// Every file the run would write, for the check that none replaces an input.
std::vector<NamedOutput> outputsOf(const TallyAsked& asked) {
    std::vector<NamedOutput> outputs;
    if (!asked.record.leaguePath.empty()) {
        outputs.push_back({"--record", asked.record.leaguePath});
    }
    if (!asked.request.json.empty() && asked.request.json != "-") {
        outputs.push_back({"--json", asked.request.json});
    }
    for (const std::string_view file : results::kCsvFiles) {
        if (!asked.request.csv.empty()) {
            outputs.push_back({"--csv", asked.request.csv + "/" + std::string(file)});
        }
    }
    if (!asked.htmlFile.empty()) {
        outputs.push_back({"--html", asked.htmlFile});
    }
    return outputs;
}

// What CLI11 cannot say (a usage fault): the directory given twice apart,
// an output with --check, an output that would replace an input. Empty when
// the command is sound; settles the directory.
std::string usageFault(const CLI::App& app, TallyAsked& asked) {
    if (!asked.directoryArgument.empty()) {
        if (app.count("--directory") > 0 && asked.directoryArgument != asked.directory) {
            return "give the game's directory once (-C DIR or DIR)";
        }
        asked.directory = asked.directoryArgument;
    }
    // CLI11's excludes would say "--check excludes --json" and mark the help.
    const std::pair<bool, const char*> checkTakesNo[] = {
        {asked.follow, "--follow"},
        {!asked.request.json.empty() || !asked.request.csv.empty(), "--json or --csv"},
        {!asked.htmlFile.empty(), "--html"},
        {!asked.record.leaguePath.empty(), "--record"},
    };
    for (const auto& [given, outputs] : checkTakesNo) {
        if (asked.request.check && given) {
            return std::string("--check writes nothing, so it takes no ") + outputs;
        }
    }
    if (asked.follow) {
        if (asked.htmlFile.empty()) {
            return "--follow needs --html FILE, the page it keeps up to date";
        }
        if (asked.request.json == "-") {
            return "--follow writes the JSON again at every look, so it takes a file, not --json -";
        }
        if (!asked.until.empty() && !minuteOfDay(asked.until)) {
            return "--until takes a time of day as HH:MM, not " + asked.until;
        }
    }
    return refusedOutput(asked.directory, outputsOf(asked));
}

// --follow: the game followed until its end. The status to exit with when
// the end leaves nothing more to do (the server started again); none when
// the final tally is to run.
std::optional<int> followUntilTheEnd(const TallyAsked& asked, Clock& clock, FollowPace* pace,
                                     std::ostream& out, std::ostream& err) {
    // A folder that is not there would be waited for without end.
    if (fileAt(asked.directory).kind != FileAt::Kind::Directory) {
        err << "vorskal-tally: " << logText(asked.directory)
            << ": no such folder to follow; nothing done\n";
        return kExitFailed;
    }
    LiveAsked live;
    live.directory = asked.directory;
    live.options.overMaxPilotCorrection = !asked.noOverMax;
    live.options.multiDeathCorrection = !asked.noMultiDeath;
    live.options.fighterTargetCorrection = !asked.noFighter;
    live.options.redBoxedOnly = !asked.allTargets;
    live.json = asked.request.json;
    live.csv = asked.request.csv;
    live.htmlFile = asked.htmlFile;
    live.showAddresses = asked.request.showAddresses;
    live.everySeconds = asked.everySeconds;
    if (!asked.until.empty()) {
        live.untilMinute = minuteOfDay(asked.until);
    }
    live.idleMinutes = asked.idleMinutes;
    LiveEnding ending;
    if (pace != nullptr) {
        ending = followGame(live, clock, *pace, out, err);
    } else {
        // The signals are the pace's only while it follows: a second Ctrl-C
        // during the final tally ends the process.
        SystemPace system;
        ending = followGame(live, clock, system, out, err);
    }
    if (ending.end == LiveEnd::Restarted) {
        err << "vorskal-tally: stopped following: " << logText(ending.message)
            << ", so the server has started again; nothing final written (no report, no "
               "outputs, nothing recorded)\n";
        return kExitRestarted;
    }
    out << "following ended: " << ending.message << "; the final tally\n";
    return std::nullopt;
}

// Before anything is written: every output can be written, and the league
// file is one this program can record in. The problem, empty when none.
std::string openOutputs(TallyAsked& asked, std::unique_ptr<GameRecorder>& recorder, Clock& clock) {
    if (std::string problem =
            unwritableOutput(asked.request.json, asked.request.csv, asked.htmlFile);
        !problem.empty()) {
        return problem;
    }
    if (!asked.record.leaguePath.empty()) {
        try {
            recorder = openRecorder(asked.record, clock);
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        asked.request.record = true;
    }
    return {};
}

}  // namespace

namespace {

// The run and what it writes once it is over.
class TallyCommand {
  public:
    TallyCommand(const TallyAsked& asked, GameRecorder* recorder, Clock& clock, std::ostream& out,
                 std::ostream& err)
        : asked_(asked),
          recorder_(recorder),
          clock_(clock),
          out_(out),
          err_(err),
          session_(asked.request, asked.directory, clock.now()) {
        if (!asked_.htmlFile.empty()) {
            pageRows_.emplace(session_.results());
        }
    }

    int run() {
        const Outcome outcome =
            tallyDirectory(asked_.directory, tallyOptions(), clock_, runConfig());
        if (recorder_ != nullptr && !recorder_->refusal().empty()) {
            err_ << "vorskal-tally: " << logText(recorder_->refusal()) << "\n";
            return kExitFailed;
        }
        // Warnings, then "Tally Complete" and the summary line (on standard
        // error when the JSON goes to standard output), and the outputs.
        const bool written =
            session_.finish(outcome.kind == OutcomeKind::Completed, outcome.message, out_, err_);
        switch (outcome.kind) {
            case OutcomeKind::Completed:
                return written ? completed() : kExitFailed;
            case OutcomeKind::Refused:
                return refusedByStrict();
            case OutcomeKind::MissingFirstLog:
                err_ << outcome.message << "\n";
                return kExitMissingFirstLog;
            case OutcomeKind::Failed:
                break;
        }
        err_ << "vorskal-tally: " << logText(outcome.message) << "\n";
        return kExitFailed;
    }

  private:
    TallyOptions tallyOptions() const {
        TallyOptions options;
        options.overMaxPilotCorrection = !asked_.noOverMax;
        options.multiDeathCorrection = !asked_.noMultiDeath;
        options.fighterTargetCorrection = !asked_.noFighter;
        options.redBoxedOnly = !asked_.allTargets;
        return options;
    }

    RunConfig runConfig() {
        RunConfig config;
        config.results = &session_.results();
        config.writeNothing = asked_.request.check;
        if (recorder_ != nullptr) {
            // The report is held back until the game is looked up in the league.
            config.settleReport = [this](const Outcome& outcome, HeldReport& report,
                                         FileService& files) {
                recorder_->settle(outcome, report, files, session_.results(), session_.spilled());
            };
        }
        if (asked_.strict) {
            config.admit = [this](const results::GameResults& checked) {
                if (results::unacceptedCount(checked.warnings) == 0) {
                    return true;
                }
                refused_ = checked.warnings;
                return false;
            };
        }
        return config;
    }

    // The page, what was recorded and posted, and the check's findings.
    int completed() {
        try {
            if (pageRows_) {
                html::writeGamePage(session_.results(), pageRows_->lists(), asked_.htmlFile);
            }
        } catch (const std::exception& failure) {
            err_ << "vorskal-tally: " << logText(failure.what()) << "\n";
            return kExitFailed;
        }
        if (recorder_ != nullptr) {
            std::ostream& says = session_.jsonToStandardOutput() ? err_ : out_;
            recorder_->tell(says, err_);
            if (!recorder_->post(says, err_)) {
                return kExitFailed;
            }
        }
        if (asked_.request.check && results::unacceptedCount(session_.results().warnings) > 0) {
            return kExitFindings;
        }
        return kExitOk;
    }

    int refusedByStrict() {
        for (const results::Warning& finding : refused_) {
            err_ << results::warningLine(finding) << "\n";
        }
        err_ << "vorskal-tally: stopped by --strict: " << results::findingsSummary(refused_)
             << ", so nothing was written (no report, no outputs, nothing recorded); accept a "
                "finding for every game by adding its key in brackets to "
             << results::kAcceptedFindingsName << " in the game folder\n";
        return kExitFindings;
    }

    const TallyAsked& asked_;
    GameRecorder* recorder_;
    Clock& clock_;
    std::ostream& out_;
    std::ostream& err_;
    Session session_;
    std::optional<html::PageRows> pageRows_;  // the rows the page draws, kept for it
    std::vector<results::Warning> refused_;   // what --strict stopped the run for
};

}  // namespace

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    SystemClock clock;
    return runTallyCommand(argc, argv, out, err, clock);
}

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                    Clock& clock) {
    return runTallyCommand(argc, argv, out, err, clock, nullptr);
}

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                    Clock& clock, FollowPace* pace) {
    CommandStart start(
        "vorskal-tally",
        "Tallies one game: merges the numbered server logs ux7server0.log, ux7server1.log, ...\n"
        "into ux7server.log, scores it with the point values of vorskal.ini and appends the\n"
        "report to vorskal.log, all in the game's directory.");
    TallyAsked asked;
    for (void (*add)(CLI::App&, TallyAsked&) :
         {addDirectory, addOutputs, addCorrections, addRecord, addFollow}) {
        add(start.app(), asked);
    }
    if (const std::optional<int> status = start.start(argc, argv, out, err)) {
        return *status;
    }
    if (const std::string fault = usageFault(start.app(), asked); !fault.empty()) {
        err << "vorskal-tally: " << fault << "\n";
        return kExitUsage;
    }
    std::unique_ptr<GameRecorder> recorder;
    try {
        if (const std::string problem = openOutputs(asked, recorder, clock); !problem.empty()) {
            err << "vorskal-tally: " << problem << "; nothing done\n";
            return kExitFailed;
        }
    } catch (const std::invalid_argument& mistake) {  // a name the league file does not know
        err << "vorskal-tally: " << logText(mistake.what()) << "; nothing done\n";
        return kExitUsage;
    }
    if (asked.follow) {
        if (const std::optional<int> status = followUntilTheEnd(asked, clock, pace, out, err)) {
            return *status;
        }
    }
    return TallyCommand(asked, recorder.get(), clock, out, err).run();
}

}  // namespace vorskal
