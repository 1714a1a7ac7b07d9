#pragma once
// The shape of a server log line, and the pieces that the passes take from
// it. Columns are 1-based: the time of day stands at columns 10 to 17
// (hours at 10, minutes at 13, seconds at 16), events that are recognised
// at a fixed place begin at column 19.
//
// Each line is classified and taken apart here, once: as the merge reads it
// or as the merged log is read back, whether the line is held in memory or
// read from its file (logs/line_text.h). The passes work from the pieces.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "base/target_line.h"
#include "logs/line_text.h"
#include "logs/log_names.h"

namespace vorskal {

inline constexpr std::string_view kKillOf = "Kill of ";
inline constexpr std::string_view kTarget = "Target ";
inline constexpr std::string_view kAwardedTo = "awarded to ";
inline constexpr std::string_view kEntryMarker = "has entered the arena, flying a ";
inline constexpr std::string_view kEntrySplit = " has entered the arena, flying a ";
inline constexpr std::string_view kExitMarker = " has left the arena";
inline constexpr std::string_view kSelectedMarker = "Selected target destroyed and removed ";
// Both arena phrases hold this; a line without it is neither entry nor exit.
inline constexpr std::string_view kArenaPhrase = "the arena";

// What a line is, as bits: a line may be several things at once.
using LineKinds = std::uint8_t;
inline constexpr LineKinds kKillLine = 1;     // "Kill of " at column 19
inline constexpr LineKinds kTargetLine = 2;   // "Target " at column 19
inline constexpr LineKinds kEntryLine = 4;    // holds kEntryMarker, letter case kept
inline constexpr LineKinds kExitLine = 8;     // holds kExitMarker, letter case kept
inline constexpr LineKinds kMarkerLine = 16;  // holds kSelectedMarker, in any letter case
inline constexpr LineKinds kPassLines = kKillLine | kTargetLine | kEntryLine | kExitLine;

// The kinds of a line.
template <typename Text>
LineKinds classifyLine(const Text& line);

// A line's time as the passes read it: the two-character fields at columns
// 10, 13 and 16 read as numbers (base/number.h), hours × 3600 + minutes × 60
// + seconds.
struct LineTime {
    std::optional<std::int32_t> seconds;  // nothing when a field is not a number
    ShortText<8> columns;                 // columns 10 to 17 as they stand
    // The seconds; throws TallyFailure naming line `number` of the merged
    // log when a field is not a number.
    std::int32_t secondsAt(std::uint64_t number) const;
};
template <typename Text>
LineTime timeOfLine(const Text& line);
// The same from columns 10 to 17 alone.
LineTime timeOfColumns(std::string_view columns);

// A kill line: the victim window is the text from column 27 (its first 11
// characters pick a pilot, 16 are the name, 26 give the team); the killer's
// is the text after the first "awarded to " (any letter case).
inline constexpr std::size_t kVictimColumn = 27;
inline constexpr std::size_t kTeamWindow = 26;
struct KillParts {
    FixedText<kTeamWindow> victim;  // blank-padded
    bool hasKiller = false;
    FixedText<kTeamWindow> killer;  // blank-padded; blanks without a killer
};
template <typename Text>
KillParts takeKillLine(const Text& line);

// A destruction line taken apart: takeTargetLine (base/target_line.h).

// An arena entry taken apart: the pilot's name (first 16 kept) and where
// the aircraft text lies, with its first characters. Nothing when the line
// cannot be taken apart (no blank before the marker, no "|", fewer than two
// characters before "UDP:").
// The aircraft's first 13 characters tell it from any name of up to 12.
inline constexpr std::size_t kAircraftKept = 13;
struct EntryParts {
    ShortText<kNameWidth> name;
    std::size_t aircraftAt = 0;  // in the line
    std::size_t aircraftLength = 0;
    ShortText<kAircraftKept> aircraft;  // its first characters
};
template <typename Text>
std::optional<EntryParts> takeEntryLine(const Text& line);

// The pilot's name from an exit line (first 16 kept); nothing without "|".
template <typename Text>
std::optional<ShortText<kNameWidth>> takeExitLine(const Text& line);

// A line of one or more of kPassLines taken apart: what each of its kinds
// needs (the time for kills and arena lines).
struct LineParts {
    LineKinds kinds = 0;
    LineTime time;
    KillParts kill;
    std::optional<TargetParts> target;
    std::optional<EntryParts> entry;
    std::optional<ShortText<kNameWidth>> exit;
};
template <typename Text>
LineParts takeLineApart(const Text& line, LineKinds kinds);

}  // namespace vorskal
