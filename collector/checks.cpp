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
    const PointFileLayout layout = pointFileLayout(lines);
    const std::string& map = layout.map;
    std::vector<std::pair<std::string, std::uint64_t>> valueLines;  // type, line
    results.settings.typeValues.clear();
    for (const PointFileLayout::Value& value : layout.typeValues) {
        results.settings.typeValues.push_back({value.type, value.points});
        valueLines.emplace_back(value.type, value.line);
    }
    checkTypeNames(valueLines, layout.blockTypes, map, warnings);
    if (!layout.kill) {
        warnings.push_back({"no-kill-points", kIni, 0,
                            "there is no \"Kill=\" line, so every kill is worth 0 points; add one "
                            "such as \"Kill=10\" after the map's block",
                            "", false});
    }
    if (!layout.death) {
        warnings.push_back({"no-death-points", kIni, 0,
                            "there is no \"Death=\" line, so every death is worth 0 points; add "
                            "one such as \"Death=-5\" after the map's block",
                            "", false});
    }
    if (layout.mapLine == 0) {
        warnings.push_back({"no-map-line", kIni, 0,
                            "there is no \"Map=\" line, so the map is \"unknown\" and no target "
                            "is found; add one such as \"Map=Verdun\" before the map's block",
                            "", false});
    } else if (!layout.heading) {
        warnings.push_back(
            {"no-map-block", kIni, layout.mapLine,
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
