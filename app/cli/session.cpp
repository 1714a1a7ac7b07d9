#include "app/cli/session.h"

#include <ctime>

#include "base/log_text.h"
#include "base/output_stream.h"
#include "base/system_files.h"
#include "results/accepted_findings.h"
#include "results/csv_writer.h"
#include "results/json_writer.h"
#include "results/warning_line.h"

namespace vorskal {
namespace {

void writeJsonFile(const results::GameResults& game, const std::string& path,
                   const results::SpilledRows& spilled, std::ostream& standardOutput) {
    if (path == "-") {
        results::writeJson(game, standardOutput, spilled);
        standardOutput.flush();
        return;
    }
    OutputStream file(replaceFile(path));
    results::writeJson(game, file, spilled);
    file.close();
}

}  // namespace

std::string localTimeIso8601(std::time_t moment) {
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    localtime_s(&local, &moment);
    gmtime_s(&utc, &moment);
#else
    localtime_r(&moment, &local);
    gmtime_r(&moment, &utc);
#endif
    char stamp[40];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local) == 0) {
        return "";
    }
    // The offset from the two readings of the same moment (strftime's %z is
    // the zone's name on Windows): they are at most a day apart.
    int days = local.tm_yday - utc.tm_yday;
    if (local.tm_year != utc.tm_year) {
        days = local.tm_year > utc.tm_year ? 1 : -1;
    }
    const int minutes =
        days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
    const int size = minutes < 0 ? -minutes : minutes;
    char offset[8];
    std::snprintf(offset, sizeof offset, "%c%02d:%02d", minutes < 0 ? '-' : '+', size / 60 % 100,
                  size % 60);
    return std::string(stamp) + offset;
}

Session::Session(OutputRequest request, const std::string& directory, std::time_t startedAt)
    : request_(std::move(request)) {
    // The recorder stores the same rows as the JSON (the game's page in the
    // league draws them) and the game's fingerprint; the CSV files show no
    // fingerprint.
    const bool rows = !request_.json.empty() || !request_.csv.empty() || request_.record;
    results_.gatherRows = rows;
    results_.gatherFingerprints = !request_.json.empty() || request_.record;
    results_.showAddresses = request_.showAddresses;
    if (rows) {
        spill_ = std::make_unique<results::SpilledRows>();
        results_.rowSink = spill_.get();
    }
    results_.run.directory = directory;
    results_.run.startedAt = localTimeIso8601(startedAt);
}

void Session::writeOutputs(std::ostream& out) {
    if (!request_.json.empty()) {
        writeJsonFile(results_, request_.json, *spill_, out);
    }
    if (!request_.csv.empty()) {
        results::writeCsv(results_, request_.csv, *spill_);
    }
}

bool Session::finish(bool completed, const std::string& completion, std::ostream& out,
                     std::ostream& err) {
    for (const results::Warning& warning : results_.warnings) {
        err << results::warningLine(warning) << "\n";
    }
    if (!completed) {
        return true;
    }
    bool written = true;
    try {
        writeOutputs(out);
    } catch (const std::exception& failure) {
        err << "vorskal-tally: " << logText(failure.what()) << "\n";
        written = false;
    }
    std::ostream& says = jsonToStandardOutput() ? err : out;
    if (!request_.check) {
        says << completion << "\n";
    }
    std::string summary = "Allied " + std::to_string(results_.allied.final) + ", Hun " +
                          std::to_string(results_.hun.final);
    summary += request_.check ? "; nothing written (check)" : "; report appended to vorskal.log";
    if (const std::string findings = results::findingsSummary(results_.warnings);
        !findings.empty()) {
        summary += "; " + findings;
    }
    says << summary << "\n";
    return written;
}

}  // namespace vorskal
