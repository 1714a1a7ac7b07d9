#include "results/session.h"

#include <ctime>

#include "base/output_stream.h"
#include "base/system_files.h"
#include "results/csv_writer.h"
#include "results/json_writer.h"

namespace vorskal::results {
namespace {

void writeJsonFile(const GameResults& results, const std::string& path, const SpilledRows* spilled,
                   std::ostream& standardOutput) {
    if (path == "-") {
        writeJson(results, standardOutput, spilled);
        standardOutput.flush();
        return;
    }
    OutputStream file(replaceFile(path));
    writeJson(results, file, spilled);
    file.close();
}

}  // namespace

std::string warningLine(const Warning& warning) {
    std::string line;
    if (!warning.file.empty()) {
        line += warning.file;
        if (warning.line != 0) {
            line += " line " + std::to_string(warning.line);
        }
        line += ": ";
    }
    return line + "warning: " + warning.message + " [" + warning.code + "]";
}

std::string localTimeIso8601() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[40];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S%z", &local) == 0) {
        return "";
    }
    std::string text(stamp);  // "+0100": the offset gets its colon
    if (text.size() >= 5) {
        text.insert(text.size() - 2, ":");
    }
    return text;
}

Session::Session(OutputRequest request, const std::string& directory)
    : request_(std::move(request)) {
    const bool rows = !request_.json.empty() || !request_.csv.empty();
    results_.gatherRows = rows;
    results_.gatherFingerprints = rows;
    if (rows) {
        spill_ = std::make_unique<SpilledRows>();
        results_.rowSink = spill_.get();
    }
    results_.run.directory = directory;
    results_.run.startedAt = localTimeIso8601();
}

bool Session::finish(bool completed, const std::string& completion, std::ostream& out,
                     std::ostream& err) {
    for (const Warning& warning : results_.warnings) {
        err << warningLine(warning) << "\n";
    }
    if (!completed) {
        return true;
    }
    bool written = true;
    try {
        if (!request_.json.empty()) {
            writeJsonFile(results_, request_.json, spill_.get(), out);
        }
        if (!request_.csv.empty()) {
            writeCsv(results_, request_.csv, spill_.get());
        }
    } catch (const std::exception& failure) {
        err << "vorskal-tally: " << failure.what() << "\n";
        written = false;
    }
    std::ostream& says = jsonToStandardOutput() ? err : out;
    if (!request_.check) {
        says << completion << "\n";
    }
    std::string summary = "Allied " + std::to_string(results_.allied.final) + ", Hun " +
                          std::to_string(results_.hun.final);
    summary += request_.check ? "; nothing written (check)" : "; report appended to vorskal.log";
    if (!results_.warnings.empty()) {
        summary += "; " + std::to_string(results_.warnings.size()) +
                   (results_.warnings.size() == 1 ? " warning" : " warnings");
    }
    says << summary << "\n";
    return written;
}

}  // namespace vorskal::results
