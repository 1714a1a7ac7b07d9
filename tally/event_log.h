#pragma once
// The lines of the merged log that the passes act on, as compact records
// made once, while the lines are read (by the merge, or from the merged log
// read back): kill lines for pass 1, destruction and arena lines for passes
// 2 and 3, each with what its pass takes from it and where it lies. A
// destruction line keeps its text as well (up to kKeptText bytes: section 5,
// section 3 and the results show nearly every one); the text of any other
// line is read again from where it lies when it is shown (a kill line in
// section 2, an arena line in section 1: a few in a hundred). Memory grows
// with the events, never with the chatter.
//
// Each pilot text is kept once (base/text_ids.h), with what is worked out of
// it once: the team of a kill line's window, of an aircraft.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/packed_bytes.h"
#include "base/text_ids.h"
#include "logs/line_source.h"
#include "logs/merge.h"
#include "tally/tally_state.h"

namespace vorskal {

// Longer destruction lines are not kept but read again.
inline constexpr std::size_t kKeptText = 512;

// A pilot as a kill line names him: the window of 26 characters
// (blank-padded) from column 27 for the victim, after "awarded to " for the
// killer; its first 11 characters pick a record, 16 are the name.
struct Actor {
    std::string_view window;
    Count team = kTeamUnknown;  // of the window
    std::uint32_t id = 0;       // the same window has the same id
    std::string_view name() const { return window.substr(0, kNameWidth); }
    std::string_view prefix() const { return window.substr(0, kNamePrefixWidth); }
};

// A name as a destruction or arena line gives it (at most 16 characters);
// the same text has the same id.
struct Name {
    std::string_view text;
    std::uint32_t id = 0;
};

// One kill line, as pass 1 takes it.
struct KillLine {
    std::uint64_t number = 0;
    LinePlace place;
    LineTime time;
    Actor victim;
    std::optional<Actor> killer;  // nothing: the line has no "awarded to "
};

// One destruction or arena line, as passes 2 and 3 take it. Parts are
// there when the line could be taken apart (logs/log_line.h).
struct EventLine {
    std::uint64_t number = 0;
    LineKinds kinds = 0;
    bool afterMarker = false;
    LineText text;
    ShortText<8> timeColumns;  // columns 10 to 17 of an entry or exit taken apart
    struct Target {
        ShortText<4> locationKey;
        Name destroyer;
    };
    std::optional<Target> target;
    struct Entry {
        Name name;
        Count team = kTeamUnknown;   // of the aircraft text's first 11 characters
        std::string_view aircraft;   // its first kAircraftKept characters
        std::size_t aircraftAt = 0;  // in the line
    };
    std::optional<Entry> entry;
    std::optional<Name> exit;

    // The whole text, read again when it is not kept. Valid until the next call.
    std::string_view wholeText() const { return text.whole(readAgain_); }
    // The time of an entry or exit as the passes read it.
    LineTime time() const { return timeOfColumns(timeColumns.view()); }
    // "HH:MM:SS" at columns 10 to 17, when the line holds a time of day there.
    std::optional<std::string_view> timeOfDay() const;

  private:
    mutable std::string readAgain_;
};

class EventLog : public ReadLineSink {
  public:
    // `source` reads lines again; it must outlive the log.
    explicit EventLog(LineSource& source) : source_(source) {}

    void take(const ReadLine& line) override;

    std::size_t killCount() const { return killCount_; }
    // What reads the log's lines again.
    LineSource& source() const { return source_; }
    // Calls visit(const KillLine&) for every kill line, in order.
    template <typename Visit>
    void forEachKill(Visit&& visit) const;
    // Calls visit(const EventLine&) for every destruction and arena line, in order.
    template <typename Visit>
    void forEachLine(Visit&& visit) const;

  private:
    // Where the last record of a kind lay: the next is written as a step from it.
    struct Cursor {
        std::uint64_t number = 0;
        std::uint32_t file = 0;
        std::uint64_t offset = 0;
    };
    static void putPlace(PackedBytes& packed, Cursor& cursor, std::uint64_t number,
                         const LinePlace& place);
    static void getPlace(PackedBytes::Reader& reader, Cursor& cursor, std::uint64_t& number,
                         LinePlace& place);
    static void putTime(PackedBytes& packed, const LineTime& time);
    static void getTime(PackedBytes::Reader& reader, LineTime& time);
    std::uint32_t actorOf(const FixedText<kTeamWindow>& window);
    Actor actor(std::uint32_t id) const;
    Name name(std::uint32_t id) const;
    void readKill(PackedBytes::Reader& reader, Cursor& cursor, KillLine& kill) const;
    void readLine(PackedBytes::Reader& reader, Cursor& cursor, EventLine& line) const;

    LineSource& source_;
    PackedBytes kills_;
    PackedBytes lines_;
    Cursor killCursor_;
    Cursor lineCursor_;
    std::size_t killCount_ = 0;
    TextIds<kTeamWindow> actors_;
    std::vector<Count> actorTeams_;
    TextIds<kNameWidth> names_;
    TextIds<kAircraftKept> aircraft_;
    std::vector<Count> aircraftTeams_;
};

template <typename Visit>
void EventLog::forEachKill(Visit&& visit) const {
    PackedBytes::Reader reader = kills_.reader();
    Cursor cursor;
    KillLine kill;
    while (reader.more()) {
        readKill(reader, cursor, kill);
        visit(static_cast<const KillLine&>(kill));
    }
}

template <typename Visit>
void EventLog::forEachLine(Visit&& visit) const {
    PackedBytes::Reader reader = lines_.reader();
    Cursor cursor;
    EventLine line;
    while (reader.more()) {
        readLine(reader, cursor, line);
        visit(static_cast<const EventLine&>(line));
    }
}

}  // namespace vorskal
