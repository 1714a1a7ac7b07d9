#include "logs/log_line.h"

#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/number.h"
#include "base/searcher.h"
#include "base/text.h"

namespace vorskal {
namespace {

std::string_view afterBar(std::string_view head, bool& found) {
    const std::size_t bar = head.find('|');
    found = bar != npos;
    return found ? head.substr(bar + 1) : std::string_view{};
}

}  // namespace

bool isKillLine(std::string_view line) {
    return columns(line, 19, kKillOf.size()) == kKillOf;
}
bool isTargetLine(std::string_view line) {
    return columns(line, 19, kTarget.size()) == kTarget;
}
bool isEntryLine(std::string_view line) {
    static const Searcher entry(kEntryMarker, false);
    return entry.foundIn(line);
}
bool isExitLine(std::string_view line) {
    static const Searcher exit(kExitMarker, false);
    return exit.foundIn(line);
}
bool carriesSelectedMarker(std::string_view line) {
    static const Searcher marker(kSelectedMarker, true);
    return marker.foundIn(line);
}

std::int64_t timeOfLine(const LogLine& line) {
    std::int64_t total = 0;
    constexpr struct {
        std::size_t column;
        std::int64_t seconds;
    } kFields[] = {{10, 3600}, {13, 60}, {16, 1}};
    for (const auto& field : kFields) {
        const std::string_view text = columns(line.text, field.column, 2);
        std::int64_t value = 0;
        if (!readNumber(text, value)) {
            throw TallyFailure(where(kMergedLogName, line.number) + "time " +
                               quoted(columns(line.text, 10, 8)) + " is not a number");
        }
        total += value * field.seconds;
    }
    return total;
}

std::string locationKey(std::string_view head) {
    const std::string_view last = lastChars(head, 3);
    if (last.find('#') != npos) {
        return std::string(last);
    }
    std::string key(1, '#');
    key.append(last);
    return key;
}

std::optional<TargetParts> takeTargetLine(std::string_view line) {
    static const Searcher destroyedBy(kDestroyedBy, true);
    std::string_view head;
    std::string_view tail;
    if (!destroyedBy.split(line, head, tail) || tail.empty()) {
        return std::nullopt;
    }
    TargetParts parts;
    parts.head = head;
    parts.destroyer = firstChars(tail.substr(0, tail.size() - 1), kNameWidth);
    parts.locationKey = locationKey(head);
    return parts;
}

std::optional<EntryParts> takeEntryLine(std::string_view line) {
    static const Searcher entry(kEntrySplit, true);
    std::string_view head;
    std::string_view aircraft;
    if (!entry.split(line, head, aircraft)) {
        return std::nullopt;
    }
    bool bar = false;
    std::string_view name = afterBar(head, bar);
    if (!bar) {
        return std::nullopt;
    }
    if (containsExact(name, "UDP:")) {
        std::string_view before;
        std::string_view after;
        splitFolded(name, "UDP:", before, after);
        if (before.size() < 2) {
            return std::nullopt;
        }
        name = before.substr(0, before.size() - 2);
    }
    return EntryParts{firstChars(name, kNameWidth), aircraft};
}

std::optional<std::string_view> takeExitLine(std::string_view line) {
    static const Searcher exit(kExitMarker, true);
    std::string_view head;
    std::string_view tail;
    if (!exit.split(line, head, tail)) {
        return std::nullopt;
    }
    bool bar = false;
    const std::string_view name = afterBar(head, bar);
    if (!bar) {
        return std::nullopt;
    }
    return firstChars(name, kNameWidth);
}

}  // namespace vorskal
