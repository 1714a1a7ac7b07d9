#include "tally/event_log.h"

#include "base/time_of_day.h"
#include "tally/identify_team.h"

namespace vorskal {
namespace {

// A destruction or arena record's first byte: its kinds and what it holds.
constexpr unsigned kIsTarget = 1;
constexpr unsigned kIsEntry = 2;
constexpr unsigned kIsExit = 4;
constexpr unsigned kAfterMarker = 8;
constexpr unsigned kTextKept = 16;
constexpr unsigned kTargetParts = 32;
constexpr unsigned kEntryParts = 64;
constexpr unsigned kExitParts = 128;

// The most bytes of a record besides a kept text: the numbers and the short texts.
constexpr std::size_t kRecordLimit = 16 * PackedBytes::kLongestCount + 64;

}  // namespace

void EventLog::putPlace(PackedBytes& packed, Cursor& cursor, std::uint64_t number,
                        const LinePlace& place) {
    packed.putCount(number - cursor.number);
    packed.putCount(place.file);
    // Within one file, the step from the line before; else where it lies.
    packed.putCount(place.file == cursor.file ? place.offset - cursor.offset : place.offset);
    packed.putCount(place.length);
    cursor = {number, place.file, place.offset};
}

void EventLog::getPlace(PackedBytes::Reader& reader, Cursor& cursor, std::uint64_t& number,
                        LinePlace& place) {
    number = cursor.number + reader.count();
    place.file = static_cast<std::uint32_t>(reader.count());
    const std::uint64_t offset = reader.count();
    place.offset = place.file == cursor.file ? cursor.offset + offset : offset;
    place.length = reader.count();
    cursor = {number, place.file, place.offset};
}

void EventLog::putTime(PackedBytes& packed, const LineTime& time) {
    if (time.seconds) {
        packed.putByte(1);
        packed.putSigned(*time.seconds);
    } else {
        packed.putByte(0);
        packed.putByte(static_cast<unsigned char>(time.columns.length));
        packed.putBytes(time.columns.view());
    }
}

void EventLog::getTime(PackedBytes::Reader& reader, LineTime& time) {
    if (reader.byte() != 0) {
        time.seconds = static_cast<std::int32_t>(reader.getSigned());
        time.columns = {};
    } else {
        time.seconds.reset();
        time.columns.store(reader.bytes(reader.byte()));
    }
}

std::uint32_t EventLog::actorOf(const FixedText<kTeamWindow>& window) {
    const std::uint32_t id = actors_.idOf(window.view());
    if (id == actorTeams_.size()) {
        actorTeams_.push_back(teamOf(window.view()));
    }
    return id;
}

Actor EventLog::actor(std::uint32_t id) const {
    return Actor{actors_.text(id), actorTeams_[id], id};
}

Name EventLog::name(std::uint32_t id) const {
    return Name{names_.text(id), id};
}

void EventLog::take(const ReadLine& line) {
    const LineParts& parts = line.parts;
    if ((parts.kinds & kKillLine) != 0) {
        kills_.beginRecord(kRecordLimit);
        putPlace(kills_, killCursor_, line.number, line.place);
        kills_.putCount(actorOf(parts.kill.victim));
        kills_.putCount(parts.kill.hasKiller ? actorOf(parts.kill.killer) + 1 : 0);
        putTime(kills_, parts.time);
        kills_.endRecord();
        ++killCount_;
    }
    if ((parts.kinds & (kTargetLine | kEntryLine | kExitLine)) == 0) {
        return;
    }
    const bool keep =
        (parts.kinds & kTargetLine) != 0 && line.inMemory && line.text.size() <= kKeptText;
    unsigned flags = 0;
    flags |= (parts.kinds & kTargetLine) != 0 ? kIsTarget : 0;
    flags |= (parts.kinds & kEntryLine) != 0 ? kIsEntry : 0;
    flags |= (parts.kinds & kExitLine) != 0 ? kIsExit : 0;
    flags |= line.afterMarker ? kAfterMarker : 0;
    flags |= keep ? kTextKept : 0;
    flags |= parts.target ? kTargetParts : 0;
    flags |= parts.entry ? kEntryParts : 0;
    flags |= parts.exit ? kExitParts : 0;
    lines_.beginRecord(kRecordLimit + (keep ? line.text.size() : 0));
    lines_.putByte(static_cast<unsigned char>(flags));
    putPlace(lines_, lineCursor_, line.number, line.place);
    if (keep) {
        lines_.putBytes(line.text);
    }
    if (parts.target) {
        lines_.putByte(static_cast<unsigned char>(parts.target->locationKey.length));
        lines_.putBytes(parts.target->locationKey.view());
        lines_.putCount(names_.idOf(parts.target->destroyer.view()));
    }
    if (parts.entry) {
        lines_.putCount(names_.idOf(parts.entry->name.view()));
        const std::uint32_t aircraft = aircraft_.idOf(parts.entry->aircraft.view());
        if (aircraft == aircraftTeams_.size()) {
            aircraftTeams_.push_back(teamOf(parts.entry->aircraft.view().substr(0, 11)));
        }
        lines_.putCount(aircraft);
        lines_.putCount(parts.entry->aircraftAt);
    }
    if (parts.exit) {
        lines_.putCount(names_.idOf(parts.exit->view()));
    }
    if (parts.entry || parts.exit) {
        lines_.putByte(static_cast<unsigned char>(parts.time.columns.length));
        lines_.putBytes(parts.time.columns.view());
    }
    lines_.endRecord();
}

void EventLog::readKill(PackedBytes::Reader& reader, Cursor& cursor, KillLine& kill) const {
    getPlace(reader, cursor, kill.number, kill.place);
    kill.victim = actor(static_cast<std::uint32_t>(reader.count()));
    const std::uint64_t killer = reader.count();
    kill.killer.reset();
    if (killer != 0) {
        kill.killer = actor(static_cast<std::uint32_t>(killer - 1));
    }
    getTime(reader, kill.time);
}

void EventLog::readLine(PackedBytes::Reader& reader, Cursor& cursor, EventLine& line) const {
    const unsigned flags = reader.byte();
    LinePlace place;
    getPlace(reader, cursor, line.number, place);
    line.kinds = static_cast<LineKinds>(((flags & kIsTarget) != 0 ? kTargetLine : 0) |
                                        ((flags & kIsEntry) != 0 ? kEntryLine : 0) |
                                        ((flags & kIsExit) != 0 ? kExitLine : 0));
    line.afterMarker = (flags & kAfterMarker) != 0;
    if ((flags & kTextKept) != 0) {
        line.text = LineText(reader.bytes(static_cast<std::size_t>(place.length)), place);
    } else {
        line.text = LineText(place, source_);
    }
    // Each part decoded where it stays, without a copy.
    if ((flags & kTargetParts) != 0) {
        line.target = EventLine::Target{};
        EventLine::Target& target = *line.target;
        target.locationKey.store(reader.bytes(reader.byte()));
        target.destroyer = name(static_cast<std::uint32_t>(reader.count()));
    } else {
        line.target.reset();
    }
    if ((flags & kEntryParts) != 0) {
        // Assigned, not emplaced: some compilers cannot yet default-construct
        // a nested struct with member initialisers inside its own class.
        line.entry = EventLine::Entry{};
        EventLine::Entry& entry = *line.entry;
        entry.name = name(static_cast<std::uint32_t>(reader.count()));
        const auto aircraft = static_cast<std::uint32_t>(reader.count());
        entry.aircraft = aircraft_.text(aircraft);
        entry.team = aircraftTeams_[aircraft];
        entry.aircraftAt = static_cast<std::size_t>(reader.count());
    } else {
        line.entry.reset();
    }
    if ((flags & kExitParts) != 0) {
        line.exit = name(static_cast<std::uint32_t>(reader.count()));
    } else {
        line.exit.reset();
    }
    line.timeColumns.length = 0;
    if ((flags & (kEntryParts | kExitParts)) != 0) {
        line.timeColumns.store(reader.bytes(reader.byte()));
    }
}

std::optional<std::string_view> EventLine::timeOfDay() const {
    if (timeColumns.length != 0) {  // kept for an entry or exit
        return secondsOfDay(timeColumns.view()) ? std::optional(timeColumns.view()) : std::nullopt;
    }
    return timeOfDayOf(wholeText());
}

}  // namespace vorskal
