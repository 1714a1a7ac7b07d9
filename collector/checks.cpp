#include "collector/checks.h"

#include <algorithm>
#include <set>
#include <utility>

#include "base/failure.h"
#include "base/number.h"
#include "base/text.h"
#include "logs/log_line.h"
#include "points/point_file.h"

namespace vorskal::collector {
namespace {

const std::string kIni(kPointFileName);
const std::string kMerged(kMergedLogName);

std::string afterFirstEquals(std::string_view line) {
    const std::size_t at = line.find('=');
    return at == std::string_view::npos ? std::string() : std::string(line.substr(at + 1));
}

// A type value line whose type is none of the map's block but holds one
// ("RailBridge=5": the lookup of "Bridge" takes the last line holding
// "Bridge=", so a bridge may be worth 5), or is part of one ("Bridge=15"
// for a block that has "RailBridge": no target gets the value).
void checkTypeNames(const std::vector<std::pair<std::string, std::uint64_t>>& valueLines,
                    const std::vector<std::string>& blockTypes, const std::string& map,
                    std::vector<results::Warning>& warnings) {
    const auto inBlock = [&](const std::string& type) {
        return std::find(blockTypes.begin(), blockTypes.end(), type) != blockTypes.end();
    };
    for (const auto& [type, line] : valueLines) {
        if (type.empty() || inBlock(type)) {
            continue;
        }
        for (const std::string& near : blockTypes) {
            if (near.empty()) {
                continue;
            }
            std::string message;
            if (type.ends_with(near)) {
                message = "\"" + type + "=\" holds \"" + near +
                          "=\", so the lookup of the type \"" + near + "\" of map \"" + map +
                          "\" reads this line as that type's value when it is the last such line; "
                          "rename \"" +
                          type + "\" so that it does not end in \"" + near + "\"";
            } else if (near.find(type) != std::string::npos) {
                message = "\"" + type + "\" is no target type of map \"" + map +
                          "\" but part of its type \"" + near +
                          "\", so this line gives no target a value; write the type as the "
                          "map's block names it (\"" +
                          near + "=\")";
            } else {
                continue;
            }
            warnings.push_back({"type-name-inside", kIni, line, message, type, false});
            break;
        }
    }
}

}  // namespace

void checkPointFile(FileService& files, results::GameResults& results,
                    std::vector<results::Warning>& warnings) {
    std::vector<std::string> lines;
    try {
        PointFile points(files);
        lines = points.lines();
    } catch (const TallyFailure&) {
        return;  // the run says why it cannot be read
    }
    // Read it as the lookup does: a map line names the map, the next line
    // (not a map line) holding the name heads its block, which ends at an
    // exactly empty line.
    std::string map = "unknown";
    std::uint64_t mapLine = 0;
    bool heading = false;
    bool kill = false;
    bool death = false;
    std::vector<std::string> blockTypes;  // of the current map's block, "12-Bridge,2"
    std::vector<std::pair<std::string, std::uint64_t>> valueLines;  // type, line
    results.settings.typeValues.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (containsExact(line, "Map=")) {
            map = afterFirstEquals(line);
            mapLine = i + 1;
            heading = false;
            blockTypes.clear();
        } else if (containsExact(line, map)) {
            heading = true;
            while (i + 1 < lines.size() && !lines[i + 1].empty()) {
                ++i;
                const std::string_view entry = lines[i];
                const std::size_t dash = entry.find('-');
                const std::size_t comma = entry.find(',', dash == npos ? 0 : dash);
                if (dash != npos && comma != npos) {
                    blockTypes.emplace_back(entry.substr(dash + 1, comma - dash - 1));
                }
            }
        } else if (containsExact(line, "Kill=")) {
            kill = true;
        } else if (containsExact(line, "Death=")) {
            death = true;
        } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos && eq > 0) {
            std::int64_t value = 0;
            if (readNumber(line.substr(eq + 1), value)) {
                results.settings.typeValues.push_back({std::string(line.substr(0, eq)), value});
                valueLines.emplace_back(std::string(line.substr(0, eq)), i + 1);
            }
        }
    }
    checkTypeNames(valueLines, blockTypes, map, warnings);
    if (!kill) {
        warnings.push_back({"no-kill-points", kIni, 0,
                            "there is no \"Kill=\" line, so every kill is worth 0 points; add one "
                            "such as \"Kill=10\" after the map's block",
                            "", false});
    }
    if (!death) {
        warnings.push_back({"no-death-points", kIni, 0,
                            "there is no \"Death=\" line, so every death is worth 0 points; add "
                            "one such as \"Death=-5\" after the map's block",
                            "", false});
    }
    if (mapLine == 0) {
        warnings.push_back({"no-map-line", kIni, 0,
                            "there is no \"Map=\" line, so the map is \"unknown\" and no target "
                            "is found; add one such as \"Map=Verdun\" before the map's block",
                            "", false});
    } else if (!heading) {
        warnings.push_back(
            {"no-map-block", kIni, mapLine,
             "the map \"" + map +
                 "\" has no block heading (a line holding its name after the map line), so "
                 "every target is worth 0 points and destroyers may land in the wrong table; "
                 "add the heading with the map's target lines and an empty line after them, or "
                 "correct the map line",
             map, false});
    }
}

void checkNumberedLogs(FileService& files, const results::GameResults& results,
                       std::vector<results::Warning>& warnings) {
    std::set<std::string> merged;
    std::uint64_t numbered = 0;
    for (const results::FileFacts& input : results.inputs) {
        merged.insert(input.name);
        if (input.name != kIni && input.name != kMerged) {
            ++numbered;
        }
    }
    const std::string missing = numberedLogName(numbered);
    std::vector<std::pair<std::string, std::string>> left;  // number text, name
    for (const std::string& name : files.names()) {
        const std::optional<std::string_view> digits = numberedLogDigits(name);
        if (!digits || merged.count(name) != 0) {
            continue;
        }
        left.emplace_back(std::string(*digits), name);
    }
    std::sort(left.begin(), left.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size() : a < b;
    });
    for (const auto& [digits, name] : left) {
        if (digits.size() > 1 && digits[0] == '0') {
            warnings.push_back({"log-beyond-gap", name, 0,
                                "not merged: numbered logs are named without leading zeros; "
                                "rename it if it belongs to this game",
                                name, false});
        } else {
            warnings.push_back({"log-beyond-gap", name, 0,
                                "not merged: " + missing +
                                    " is missing, and the merge stops at the first missing "
                                    "number; rename the logs so that their numbers follow on, "
                                    "or move this one away if it belongs to another game",
                                name, false});
        }
    }
}

}  // namespace vorskal::collector
