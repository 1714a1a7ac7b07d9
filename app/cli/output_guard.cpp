#include "app/cli/output_guard.h"

#include <algorithm>
#include <cctype>

#include "base/report_stream.h"
#include "base/system_files.h"
#include "logs/log_line.h"
#include "points/point_file.h"
#include "results/accepted_findings.h"

namespace vorskal {
namespace {

// A name within a directory, known by the directory's identity.
struct Place {
    FileAt directory;
    std::string name;
};

// A name as the file system compares it: Windows' file names ignore
// letter case.
std::string folded(std::string name) {
#if defined(_WIN32)
    std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
#endif
    return name;
}

bool sameName(const std::string& a, const std::string& b) {
    return folded(a) == folded(b);
}

// A file that an output must not replace, or an output already named.
struct Kept {
    std::string what;  // for the message: "the game's \"vorskal.log\""
    FileAt file;       // Missing when it is not there yet
    Place place;       // where it is, or will be made
    bool isPlace(const Place& other) const {
        return place.directory.sameFileAs(other.directory) && sameName(place.name, other.name);
    }
};

Place placeOf(const std::string& path) {
    const auto [directory, name] = splitPath(path);
    return {fileAt(directory), name};
}

// A numbered log's name in any letter case, which a later run merges
// whether the file is one or not.
bool isNumberedLog(const std::string& given) {
    return numberedLogDigits(folded(given)).has_value();
}

std::vector<Kept> gameFiles(const FileAt& folder, const std::string& directory) {
    std::vector<Kept> kept;
    SystemFileService files(directory);
    if (folder.kind != FileAt::Kind::Directory) {
        return kept;  // the run says what is wrong with the directory
    }
    std::vector<std::string> names = {std::string(kPointFileName), std::string(kReportName),
                                      std::string(kMergedLogName),
                                      std::string(results::kAcceptedFindingsName)};
    for (const std::string& name : files.names()) {
        if (isNumberedLog(name)) {
            names.push_back(name);
        }
    }
    for (const std::string& name : names) {
        const std::string path =
            files.directory() + (files.directory().back() == '/' ? "" : "/") + name;
        kept.push_back({"the game's \"" + name + "\"", fileAt(path), {folder, name}});
    }
    return kept;
}

}  // namespace

std::string refusedOutput(const std::string& directory, const std::vector<NamedOutput>& outputs) {
    const FileAt folder = fileAt(directory.empty() ? "." : directory);
    std::vector<Kept> kept = gameFiles(folder, directory);
    for (const NamedOutput& output : outputs) {
        const std::string named = output.option + " " + output.path;
        const FileAt file = fileAt(output.path);
        if (file.kind != FileAt::Kind::Missing && file.kind != FileAt::Kind::Regular) {
            return named + " is " + kindText(file.kind) +
                   ", not a regular file: outputs are written only as regular files";
        }
        const Place place = placeOf(output.path);
        std::string what;
        if (place.directory.sameFileAs(folder) && isNumberedLog(place.name)) {
            what = "the game's \"" + place.name + "\"";  // the next run merges it
        }
        for (const Kept& other : kept) {
            if (what.empty() && (file.sameFileAs(other.file) || other.isPlace(place))) {
                what = other.what;
            }
        }
        if (!what.empty()) {
            return named + " names " + what +
                   ": an output never replaces an input or another output; name another file";
        }
        kept.push_back({output.option == "--record" ? "the league file of --record"
                                                    : "the file of " + output.option,
                        file, place});
    }
    return "";
}

}  // namespace vorskal
