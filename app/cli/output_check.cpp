#include "app/cli/output_check.h"

#include <filesystem>
#include <system_error>

#include "base/utf8_path.h"
#include "base/writable.h"

namespace vorskal {

namespace {

namespace fs = std::filesystem;

// The folder part of a path as given ("." for a plain name): the text the
// messages show, in the arguments' own encoding.
std::string folderText(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// A file written beside itself and put in its place: its folder must be
// there and writable, and the name must not be a folder.
std::string fileOutput(const std::string& option, const std::string& path) {
    std::error_code error;
    if (fs::is_directory(utf8Path(path), error)) {
        return path + ": is a folder (" + option + " takes a file)";
    }
    const std::string folder = folderText(path);
    if (!fs::is_directory(utf8Path(folder), error)) {
        return path + ": its folder " + folder + " does not exist (" + option + ")";
    }
    if (!folderWritable(utf8Path(folder))) {
        return path + ": cannot be written: its folder " + folder + " cannot be written (" +
               option + ")";
    }
    return {};
}

// A folder of files, made when missing: the nearest folder that exists
// must be writable.
std::string folderOutput(const std::string& option, const std::string& path) {
    std::error_code error;
    std::string folder = path;
    while (!fs::exists(utf8Path(folder), error) && folder != "." && folder != "/") {
        folder = folderText(folder);
    }
    if (!fs::is_directory(utf8Path(folder), error)) {
        return path + ": " + folder + " is not a folder (" + option + ")";
    }
    if (!folderWritable(utf8Path(folder))) {
        return path + ": cannot be written: " + folder + " cannot be written (" + option + ")";
    }
    return {};
}

}  // namespace

std::string unwritableOutput(const std::string& json, const std::string& csv,
                             const std::string& html) {
    std::string problem;
    if (!json.empty() && json != "-") {
        problem = fileOutput("--json", json);
    }
    if (problem.empty() && !csv.empty()) {
        problem = folderOutput("--csv", csv);
    }
    if (problem.empty() && !html.empty()) {
        problem = fileOutput("--html", html);
    }
    return problem;
}

}  // namespace vorskal
