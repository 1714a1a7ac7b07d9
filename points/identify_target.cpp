#include "points/identify_target.h"

#include "base/failure.h"
#include "base/merged_log_name.h"
#include "base/number.h"
#include "base/text.h"

namespace vorskal {
namespace {

std::string_view afterFirst(std::string_view line, char separator) {
    const std::size_t at = line.find(separator);
    return at == npos ? std::string_view{} : line.substr(at + 1);
}

// Reads the file from its first line as the lookup does, for target number
// `target` and the map name current at the start of the lookup.
PointFile::LookupEffect readLookup(const std::vector<std::string>& lines, std::int64_t target,
                                   std::string mapName) {
    PointFile::LookupEffect effect;
    std::optional<std::string> type;  // the looked-up target's type, once met
    std::string typeKey;              // type followed by "="
    const std::size_t n = lines.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view line = lines[i];
        const std::uint64_t number = i + 1;
        if (containsExact(line, "Map=")) {
            mapName = std::string(afterFirst(line, '='));
        } else if (containsExact(line, mapName)) {
            // The heading of the current map's block: its target lines follow,
            // up to an exactly empty line or the end of the file.
            while (i + 1 < n && !lines[i + 1].empty()) {
                ++i;
                const std::string_view entry = lines[i];
                const std::size_t dash = entry.find('-');
                const std::string_view numberText = dash == npos ? entry : entry.substr(0, dash);
                if (readCount(numberText, kPointFileName, i + 1) != target) {
                    continue;
                }
                const std::string_view rest =
                    dash == npos ? std::string_view{} : entry.substr(dash + 1);
                const std::size_t comma = rest.find(',');
                if (comma == npos) {
                    throw TallyFailure(where(kPointFileName, i + 1) + "target line " +
                                       quoted(entry) + " has no \",\" before its team");
                }
                effect.teamCode = readCount(rest.substr(comma + 1), kPointFileName, i + 1);
                type = std::string(rest.substr(0, comma));
                typeKey = *type + "=";
                effect.targetType = *type;
            }
            if (i + 1 < n) {
                ++i;  // the empty line that ends the block
            }
        } else if (type && containsExact(line, typeKey)) {
            effect.targetValue = readCount(afterFirst(line, '='), kPointFileName, number);
        } else if (containsExact(line, "Kill=")) {
            effect.killPoints = readCount(afterFirst(line, '='), kPointFileName, number);
        } else if (containsExact(line, "Death=")) {
            effect.deathPoints = readCount(afterFirst(line, '='), kPointFileName, number);
        }
    }
    effect.mapName = std::move(mapName);
    return effect;
}

}  // namespace

const PointFile::LookupEffect& IdentifyTarget(TargetSlots& slots, PointFile& points,
                                              std::string_view targetText, std::uint64_t logLine) {
    const std::size_t hash = targetText.find('#');
    std::int64_t target = 0;
    if (hash == npos || !readNumber(targetText.substr(hash + 1), target)) {
        const std::string context = logLine == 0 ? "" : where(kMergedLogName, logLine);
        throw TallyFailure(context + "target key " + quoted(targetText) +
                           " holds no target number");
    }
    const std::vector<std::string>& lines = points.lines();
    const PointFile::LookupEffect* effect = points.remembered(target, slots.mapName);
    if (effect == nullptr) {
        PointFile::LookupEffect fresh;
        try {
            fresh = readLookup(lines, target, slots.mapName);
        } catch (const TallyFailure& failure) {
            fresh.failure = failure.what();
        }
        effect = &points.remember(target, slots.mapName, std::move(fresh));
    }
    if (!effect->failure.empty()) {
        throw TallyFailure(effect->failure);
    }
    slots.mapName = effect->mapName;
    if (effect->teamCode) {
        slots.teamCode = *effect->teamCode;
    }
    if (effect->targetValue) {
        slots.targetValue = *effect->targetValue;
    }
    if (effect->killPoints) {
        slots.killPoints = *effect->killPoints;
    }
    if (effect->deathPoints) {
        slots.deathPoints = *effect->deathPoints;
    }
    return *effect;
}

}  // namespace vorskal
