#include "app/cli/output_check.h"

#include <filesystem>
#include <system_error>

#include "base/writable.h"

namespace vorskal {

namespace {

namespace fs = std::filesystem;

// A file written beside itself and put in its place: its folder must be
// there and writable, and the name must not be a folder.
std::string fileOutput(const std::string& option, const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return path + ": is a folder (" + option + " takes a file)";
    }
    const fs::path folder = folderOf(path);
    if (!fs::is_directory(folder, error)) {
        return path + ": its folder " + folder.string() + " does not exist (" + option + ")";
    }
    if (!folderWritable(folder)) {
        return path + ": cannot be written: its folder " + folder.string() +
               " cannot be written (" + option + ")";
    }
    return {};
}

// A folder of files, made when missing: the nearest folder that exists
// must be writable.
std::string folderOutput(const std::string& option, const std::string& path) {
    std::error_code error;
    fs::path folder = path;
    while (!fs::exists(folder, error) && folder.has_parent_path() &&
           folder.parent_path() != folder) {
        folder = folder.parent_path();
    }
    if (!fs::exists(folder, error)) {
        folder = ".";
    }
    if (!fs::is_directory(folder, error)) {
        return path + ": " + folder.string() + " is not a folder (" + option + ")";
    }
    if (!folderWritable(folder)) {
        return path + ": cannot be written: " + folder.string() + " cannot be written (" + option +
               ")";
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
