#include "logs/log_line.h"

#include "base/failure.h"
#include "base/number.h"
#include "base/searcher.h"
#include "logs/line_scan.h"

namespace vorskal {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kEventColumn = 19;

// The phrases the lines are searched for, made once.
struct Phrases {
    Searcher arena{kArenaPhrase, false};
    Searcher marker{kSelectedMarker, true};
    Searcher awardedTo{kAwardedTo, true};
    Searcher entrySplit{kEntrySplit, true};
    Searcher exitSplit{kExitMarker, true};
    Searcher udp{"UDP:", false};
    Searcher udpInAnyCase{"UDP:", true};
};
const Phrases phrases;

// Where kArenaPhrase stands in each arena phrase.
constexpr std::size_t kEntryArena = kEntryMarker.find(kArenaPhrase);
constexpr std::size_t kExitArena = kExitMarker.find(kArenaPhrase);
static_assert(kEntryArena != npos && kExitArena != npos);

// Whether the line can hold kArenaPhrase, or the selected-target marker: a
// quick look at two of the phrase's letters that rules out most lines in
// memory; a long line is searched anyway.
bool mayHoldArena(std::string_view line) {
    return mayHoldPair(line.data(), line.size(), 't', kArenaPhrase.find('n'), 'n', false);
}
bool mayHoldArena(const LongLine&) {
    return true;
}
constexpr std::size_t kMarkerY = kSelectedMarker.find('y');
constexpr std::size_t kMarkerV = kSelectedMarker.find('v');
bool mayHoldMarker(std::string_view line) {
    return mayHoldPair(line.data(), line.size(), 'y', kMarkerV - kMarkerY, 'v', true);
}
bool mayHoldMarker(const LongLine&) {
    return true;
}

}  // namespace

template <typename Text>
LineKinds classifyLine(const Text& line) {
    LineKinds kinds = 0;
    if (standsAt(line, kEventColumn - 1, kKillOf)) {
        kinds |= kKillLine;
    }
    if (standsAt(line, kEventColumn - 1, kTarget)) {
        kinds |= kTargetLine;
    }
    // Both arena phrases hold kArenaPhrase: each of its occurrences is
    // looked at for either.
    const std::size_t n = textSize(line);
    const std::size_t first = mayHoldArena(line) ? findPhrase(line, phrases.arena, 0, n) : npos;
    for (std::size_t at = first; at != npos; at = findPhrase(line, phrases.arena, at + 1, n)) {
        if (at >= kEntryArena && standsAt(line, at - kEntryArena, kEntryMarker)) {
            kinds |= kEntryLine;
        }
        if (at >= kExitArena && standsAt(line, at - kExitArena, kExitMarker)) {
            kinds |= kExitLine;
        }
    }
    if (mayHoldMarker(line) && findPhrase(line, phrases.marker, 0, n) != npos) {
        kinds |= kMarkerLine;
    }
    return kinds;
}

std::int32_t LineTime::secondsAt(std::uint64_t number) const {
    if (!seconds) {
        throw TallyFailure(where(kMergedLogName, number) + "time " + quoted(columns.view()) +
                           " is not a number");
    }
    return *seconds;
}

LineTime timeOfColumns(std::string_view columns) {
    LineTime time;
    time.columns.store(columns.substr(0, 8));
    const std::string_view text = time.columns.view();
    // Two digits in each field (as nearly every line has them) read as
    // readNumber would read them, without its work.
    const auto digit = [&](std::size_t at) { return text[at] >= '0' && text[at] <= '9'; };
    if (text.size() == 8 && digit(0) && digit(1) && digit(3) && digit(4) && digit(6) && digit(7)) {
        const auto two = [&](std::size_t at) {
            return (text[at] - '0') * 10 + (text[at + 1] - '0');
        };
        time.seconds = two(0) * 3600 + two(3) * 60 + two(6);
        return time;
    }
    std::int64_t total = 0;
    constexpr struct {
        std::size_t at;  // in columns 10 to 17
        std::int64_t seconds;
    } kFields[] = {{0, 3600}, {3, 60}, {6, 1}};
    for (const auto& field : kFields) {
        std::int64_t value = 0;
        if (!readNumber(field.at < text.size() ? text.substr(field.at, 2) : std::string_view{},
                        value)) {
            return time;
        }
        total += value * field.seconds;
    }
    time.seconds = static_cast<std::int32_t>(total);
    return time;
}

template <typename Text>
LineTime timeOfLine(const Text& line) {
    const ShortText<8> columns = bytesAt<8>(line, 9);
    return timeOfColumns(columns.view());
}

template <typename Text>
KillParts takeKillLine(const Text& line) {
    KillParts parts;
    parts.victim.store(bytesAt<kTeamWindow>(line, kVictimColumn - 1).view());
    const std::size_t awarded = findPhrase(line, phrases.awardedTo, 0, textSize(line));
    parts.hasKiller = awarded != npos;
    parts.killer.store(
        parts.hasKiller ? bytesAt<kTeamWindow>(line, awarded + kAwardedTo.size()).view() : "");
    return parts;
}

template <typename Text>
std::optional<EntryParts> takeEntryLine(const Text& line) {
    const std::size_t n = textSize(line);
    const std::size_t at = findPhrase(line, phrases.entrySplit, 0, n);
    if (at == npos) {
        return std::nullopt;
    }
    const std::size_t bar = findByte(line, '|', 0, at);
    if (bar == npos) {
        return std::nullopt;
    }
    const std::size_t name = bar + 1;
    std::size_t nameEnd = at;
    if (findPhrase(line, phrases.udp, name, at) != npos) {
        // Split at the first "UDP:" in any letter case; the name is what
        // stands before it less two characters.
        const std::size_t udp = findPhrase(line, phrases.udpInAnyCase, name, at);
        if (udp - name < 2) {
            return std::nullopt;
        }
        nameEnd = udp - 2;
    }
    EntryParts parts;
    parts.name = bytesAt<kNameWidth>(line, name, nameEnd - name);
    parts.aircraftAt = at + kEntrySplit.size();
    parts.aircraftLength = n - parts.aircraftAt;
    parts.aircraft = bytesAt<kAircraftKept>(line, parts.aircraftAt);
    return parts;
}

template <typename Text>
std::optional<ShortText<kNameWidth>> takeExitLine(const Text& line) {
    const std::size_t at = findPhrase(line, phrases.exitSplit, 0, textSize(line));
    if (at == npos) {
        return std::nullopt;
    }
    const std::size_t bar = findByte(line, '|', 0, at);
    if (bar == npos) {
        return std::nullopt;
    }
    return bytesAt<kNameWidth>(line, bar + 1, at - bar - 1);
}

template <typename Text>
LineParts takeLineApart(const Text& line, LineKinds kinds) {
    LineParts parts;
    parts.kinds = kinds;
    if ((kinds & (kKillLine | kEntryLine | kExitLine)) != 0) {
        parts.time = timeOfLine(line);
    }
    if ((kinds & kKillLine) != 0) {
        parts.kill = takeKillLine(line);
    }
    if ((kinds & kTargetLine) != 0) {
        parts.target = takeTargetLine(line);
    }
    if ((kinds & kEntryLine) != 0) {
        parts.entry = takeEntryLine(line);
    }
    if ((kinds & kExitLine) != 0) {
        parts.exit = takeExitLine(line);
    }
    return parts;
}

// The rules, for lines in memory and for lines read from their file.
template LineKinds classifyLine(const std::string_view&);
template LineKinds classifyLine(const LongLine&);
template LineTime timeOfLine(const std::string_view&);
template LineTime timeOfLine(const LongLine&);
template KillParts takeKillLine(const std::string_view&);
template KillParts takeKillLine(const LongLine&);
template std::optional<EntryParts> takeEntryLine(const std::string_view&);
template std::optional<EntryParts> takeEntryLine(const LongLine&);
template std::optional<ShortText<kNameWidth>> takeExitLine(const std::string_view&);
template std::optional<ShortText<kNameWidth>> takeExitLine(const LongLine&);
template LineParts takeLineApart(const std::string_view&, LineKinds);
template LineParts takeLineApart(const LongLine&, LineKinds);

}  // namespace vorskal
