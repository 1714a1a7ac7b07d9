#include "app/cli/runner.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "app/cli/output_check.h"
#include "app/cli/output_guard.h"
#include "app/cli/recording.h"
#include "app/cli/session.h"
#include "app/tally_run.h"
#include "base/log_text.h"
#include "base/version.h"
#include "html/game_page.h"
#include "html/page_rows.h"
#include "results/accepted_findings.h"
#include "results/csv_writer.h"

namespace vorskal {

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Tallies one game: merges the numbered server logs ux7server0.log, ux7server1.log, ...\n"
        "into ux7server.log, scores it with the point values of vorskal.ini and appends the\n"
        "report to vorskal.log, all in the game's directory.",
        "vorskal-tally"};
    // Options are spelt the same on every system: on Windows too, an
    // argument that starts with "/" is a path, not an option.
    app.allow_windows_style_options(false);
    std::string directory = ".";
    std::string directoryArgument;
    OutputRequest request;
    bool noOverMax = false;
    bool noMultiDeath = false;
    bool noFighter = false;
    bool allTargets = false;
    app.add_option("-C,--directory", directory, "The game's directory (default: the current one)")
        ->type_name("DIR");
    app.add_option("DIR", directoryArgument, "The game's directory, as with -C")->type_name("DIR");
    app.add_option("--json", request.json,
                   "Also write the results as JSON to FILE (- for standard output), e.g.\n"
                   "vorskal-tally --json results.json /srv/ux7")
        ->type_name("FILE");
    app.add_option("--csv", request.csv,
                   "Also write the results as CSV files (pilots, teams, corrections, targets,\n"
                   "arena, warnings) into DIR, e.g. vorskal-tally --csv results/ /srv/ux7")
        ->type_name("DIR");
    app.add_flag("--check", request.check,
                 "Tally in memory and write nothing: print the warnings and the final totals;\n"
                 "exit 3 when there are warnings not accepted in vorskal-accepted.txt, e.g.\n"
                 "vorskal-tally --check /srv/ux7");
    bool strict = false;
    app.add_flag("--strict", strict,
                 "Write nothing at all (no report, no outputs, nothing recorded) when the checks\n"
                 "find a warning not accepted in vorskal-accepted.txt: list them and exit 3");
    std::string htmlFile;
    app.add_option("--html", htmlFile,
                   "Also write the game's page, one self-contained HTML file, e.g.\n"
                   "vorskal-tally --html game.html /srv/ux7")
        ->type_name("FILE");
    app.add_flag("--no-over-max-correction", noOverMax,
                 "Do not deduct points for more than 16 pilots of a side");
    app.add_flag("--no-multi-death-correction", noMultiDeath,
                 "Do not take back deaths logged again within 20 seconds");
    app.add_flag("--no-fighter-target-correction", noFighter,
                 "Do not take back targets destroyed by fighters");
    app.add_flag("--all-targets", allTargets,
                 "Credit targets that were not red boxed too (default: red boxed only)");
    RecordOptions record;
    app.add_option("--record", record.leaguePath,
                   "Record the game in this league file (created when missing); a game\n"
                   "recorded already is refused, and its report is not appended")
        ->type_name("LEAGUE.db");
    app.add_flag("--replace", record.replace,
                 "With --record: record the game again if it is there, keeping its number")
        ->needs("--record");
    app.add_flag("--post", record.post,
                 "With --record: post the recorded game's summary to the league's webhook\n"
                 "(vorskal-league LEAGUE.db set webhook URL, or VORSKAL_WEBHOOK)")
        ->needs("--record");
    app.add_option("--season", record.season,
                   "With --record: the season to record the game in (default: the league's\n"
                   "current season)")
        ->type_name("NAME")
        ->needs("--record");
    app.set_version_flag("--version", "vorskal-tally " + std::string(kVersion));

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitCompleted;
    } catch (const CLI::CallForVersion&) {
        out << "vorskal-tally " << kVersion << "\n";
        return kExitCompleted;
    } catch (const CLI::ParseError& e) {
        err << "vorskal-tally: " << e.what() << "\n" << app.help();
        return kExitUsage;
    }

    if (!directoryArgument.empty()) {
        if (app.count("--directory") > 0 && directoryArgument != directory) {
            err << "vorskal-tally: give the game's directory once (-C DIR or DIR)\n";
            return kExitUsage;
        }
        directory = directoryArgument;
    }
    if (request.check && (!request.json.empty() || !request.csv.empty())) {
        err << "vorskal-tally: --check writes nothing, so it takes no --json or --csv\n";
        return kExitUsage;
    }

    if (request.check && !htmlFile.empty()) {
        err << "vorskal-tally: --check writes nothing, so it takes no --html\n";
        return kExitUsage;
    }

    TallyOptions options;
    options.overMaxPilotCorrection = !noOverMax;
    options.multiDeathCorrection = !noMultiDeath;
    options.fighterTargetCorrection = !noFighter;
    options.redBoxedOnly = !allTargets;

    // A --record of a --check has nothing to record: the check writes nothing.
    if (request.check && !record.leaguePath.empty()) {
        err << "vorskal-tally: --check writes nothing, so it takes no --record\n";
        return kExitUsage;
    }
    // Outputs never replace inputs, nor anything but a regular file.
    std::vector<NamedOutput> outputs;
    if (!record.leaguePath.empty()) {
        outputs.push_back({"--record", record.leaguePath});
    }
    if (!request.json.empty() && request.json != "-") {
        outputs.push_back({"--json", request.json});
    }
    for (const std::string_view file : results::kCsvFiles) {
        if (!request.csv.empty()) {
            outputs.push_back({"--csv", request.csv + "/" + std::string(file)});
        }
    }
    if (!htmlFile.empty()) {
        outputs.push_back({"--html", htmlFile});
    }
    if (const std::string refused = refusedOutput(directory, outputs); !refused.empty()) {
        err << "vorskal-tally: " << refused << "\n";
        return kExitUsage;
    }

    // Before anything is written: every output can be written, and the
    // league file is one this program can record in.
    if (const std::string problem = unwritableOutput(request.json, request.csv, htmlFile);
        !problem.empty()) {
        err << "vorskal-tally: " << problem << "; nothing done\n";
        return kExitFailed;
    }
    std::unique_ptr<GameRecorder> recorder;
    if (!record.leaguePath.empty()) {
        try {
            recorder = openRecorder(record);
        } catch (const std::runtime_error& error) {
            err << "vorskal-tally: " << error.what() << "; nothing done\n";
            return kExitFailed;
        }
        request.record = true;
    }

    Session session(request, directory);
    std::optional<html::PageRows> pageRows;  // the rows the page draws, kept for it
    if (!htmlFile.empty()) {
        pageRows.emplace(session.results());
    }
    RunConfig config;
    config.results = &session.results();
    config.writeNothing = request.check;
    if (recorder) {
        // The report is held back until the game is looked up in the league.
        config.settleReport = [&](const Outcome& outcome, HeldReport& report, FileService& files) {
            recorder->settle(outcome, report, files, session.results(), session.spilled());
        };
    }
    std::vector<results::Warning> refused;  // what --strict stopped the run for
    if (strict) {
        config.admit = [&refused](const results::GameResults& checked) {
            if (results::unacceptedCount(checked.warnings) == 0) {
                return true;
            }
            refused = checked.warnings;
            return false;
        };
    }
    const Outcome outcome = tallyDirectory(directory, options, config);
    if (recorder && !recorder->refusal().empty()) {
        err << "vorskal-tally: " << logText(recorder->refusal()) << "\n";
        return kExitFailed;
    }
    // Warnings, then "Tally Complete" and the summary line (on standard
    // error when the JSON goes to standard output), and the outputs.
    const bool written =
        session.finish(outcome.kind == OutcomeKind::Completed, outcome.message, out, err);
    switch (outcome.kind) {
        case OutcomeKind::Completed:
            if (!written) {
                return kExitFailed;
            }
            try {
                if (!htmlFile.empty()) {
                    html::writeGamePage(session.results(), pageRows->lists(), htmlFile);
                }
            } catch (const std::exception& failure) {
                err << "vorskal-tally: " << logText(failure.what()) << "\n";
                return kExitFailed;
            }
            if (recorder) {
                recorder->tell(session.jsonToStandardOutput() ? err : out, err);
                if (!recorder->post(session.jsonToStandardOutput() ? err : out, err)) {
                    return kExitFailed;
                }
            }
            if (request.check && results::unacceptedCount(session.results().warnings) > 0) {
                return kExitWarnings;
            }
            return kExitCompleted;
        case OutcomeKind::Refused:
            for (const results::Warning& finding : refused) {
                err << results::warningLine(finding) << "\n";
            }
            err << "vorskal-tally: stopped by --strict: " << results::findingsSummary(refused)
                << ", so nothing was written (no report, no outputs, nothing recorded); accept a "
                   "finding for every game by adding its key in brackets to "
                << results::kAcceptedFindingsName << " in the game folder\n";
            return kExitWarnings;
        case OutcomeKind::MissingFirstLog:
            err << outcome.message << "\n";
            return kExitMissingFirstLog;
        case OutcomeKind::Failed:
            break;
    }
    err << "vorskal-tally: " << logText(outcome.message) << "\n";
    return kExitFailed;
}

}  // namespace vorskal
