#pragma once
// The shape of a server log line, and the pieces that the passes take from
// it. Columns are 1-based: the time of day stands at columns 10 to 17
// (hours at 10, minutes at 13, seconds at 16), events that are recognised
// at a fixed place begin at column 19.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorskal {

inline constexpr std::string_view kMergedLogName = "ux7server.log";

// One line handed to a pass: its text, its number in the merged log
// (1-based, for messages) and whether the line just before it carried the
// selected-target marker.
struct LogLine {
    std::string_view text;
    std::uint64_t number = 0;
    bool afterMarker = false;
    // The same text where it stays valid for the rest of the run, when the
    // pass reads `text` from a buffer of its own; empty: `text` stays valid.
    std::string_view lasting = {};

    std::string_view lastingText() const { return lasting.data() != nullptr ? lasting : text; }
};

inline constexpr std::string_view kKillOf = "Kill of ";
inline constexpr std::string_view kTarget = "Target ";
inline constexpr std::string_view kAwardedTo = "awarded to ";
inline constexpr std::string_view kDestroyedBy = " destroyed by ";
inline constexpr std::string_view kEntryMarker = "has entered the arena, flying a ";
inline constexpr std::string_view kEntrySplit = " has entered the arena, flying a ";
inline constexpr std::string_view kExitMarker = " has left the arena";
inline constexpr std::string_view kSelectedMarker = "Selected target destroyed and removed ";

bool isKillLine(std::string_view line);
bool isTargetLine(std::string_view line);
bool isEntryLine(std::string_view line);            // contains the entry marker, letter case kept
bool isExitLine(std::string_view line);             // contains the exit marker, letter case kept
bool carriesSelectedMarker(std::string_view line);  // letter case disregarded

// The line's time of day in seconds since midnight. Throws TallyFailure
// naming the merged log's line when a field is not a number.
std::int64_t timeOfLine(const LogLine& line);

inline constexpr std::int32_t kSecondsPerDay = 24 * 60 * 60;

// A destruction line taken apart: the text before " destroyed by ", the
// destroyer (the text after it less its last character, first 16 kept) and
// the location key. Empty when the line has no " destroyed by " or nothing
// after it.
struct TargetParts {
    std::string_view head;
    std::string_view destroyer;
    std::string locationKey;
};
std::optional<TargetParts> takeTargetLine(std::string_view line);

// The location key from the text before " destroyed by ": its last three
// characters, with "#" put in front when they hold none.
std::string locationKey(std::string_view head);

// An arena entry taken apart: the pilot's name (first 16 kept) and the
// aircraft text. Empty when the line cannot be taken apart (no blank before
// the marker, no "|", fewer than two characters before "UDP:").
struct EntryParts {
    std::string_view name;
    std::string_view aircraft;
};
std::optional<EntryParts> takeEntryLine(std::string_view line);

// The pilot's name from an exit line (first 16 kept); empty when there is no "|".
std::optional<std::string_view> takeExitLine(std::string_view line);

}  // namespace vorskal
