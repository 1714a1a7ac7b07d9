#pragma once
// The results of one game as data: everything the report says, plus the
// evidence behind it. Built once per run from the tally, then written as
// JSON, CSV or HTML, or stored in a league file. Plain data: nothing here
// depends on the tally, so writers, the league file and tests can build a
// GameResults by hand.
//
// Contract: docs/results.md and docs/results.schema.json describe the JSON
// form of this model (formatVersion 4). Numbers are exactly the report's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorskal::results {

inline constexpr int kFormatVersion = 4;

// The side a record is listed under: "Allied", "Hun" or "unknown" (any team
// code other than 1 and 2).
enum class Side { Unknown, Allied, Hun };

// What a correction is about: "multi-death", "fighter-target", "over-max".
enum class CorrectionKind { MultiDeath, FighterTarget, OverMax };

// What a correction's move changes: "kills", "deaths", "targetsDestroyed",
// "targetPoints" of a pilot, or "overMaxPenalty" of a side.
enum class MoveField { Kills, Deaths, TargetsDestroyed, TargetPoints, OverMaxPenalty };

// The names every output and the league file use for these, and back.
std::string_view sideName(Side side);
std::string_view kindName(CorrectionKind kind);
std::string_view fieldName(MoveField field);
Side sideNamed(std::string_view name);  // Side::Unknown for any other name
std::optional<CorrectionKind> kindNamed(std::string_view name);
std::optional<MoveField> fieldNamed(std::string_view name);

// One input or output file of the run, as it was when the tally read it.
struct FileFacts {
    std::string name;  // plain file name, e.g. "ux7server0.log"
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
    std::string sha256;  // lower-case hex
};

struct RunFacts {
    std::string startedAt;  // ISO 8601 with offset, e.g. "2026-12-06T21:15:02+01:00"
    std::string directory;  // the game directory as given
    bool overMaxPilotCorrection = true;
    bool multiDeathCorrection = true;
    bool fighterTargetCorrection = true;
    bool redBoxedOnly = true;
};

struct TypeValue {
    std::string type;  // e.g. "Bridge"
    std::int64_t points = 0;
};

struct Settings {
    std::string map;  // the map used, as section 7 names it ("unknown" when none)
    std::int64_t killPoints = 0;
    std::int64_t deathPoints = 0;
    std::vector<TypeValue> typeValues;  // in file order
};

// One record of the score tables, in report order (Allied, Hun, unknown).
struct PilotRow {
    std::string name;  // trailing blanks removed
    Side team = Side::Unknown;
    std::int64_t teamCode = 0;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t targetsDestroyed = 0;
    std::int64_t targetPoints = 0;
    std::vector<std::string> locations;  // location keys, e.g. "#12"
    std::int64_t score = 0;
};

struct TeamTotals {
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t targetsDestroyed = 0;
    std::int64_t targetPoints = 0;
    std::int64_t score = 0;
    std::int64_t overMaxPenalty = 0;
    std::int64_t final = 0;  // the ZORL total: score - overMaxPenalty
};

// A line of the merged log (numbered from 1) that is evidence for something.
struct EvidenceLine {
    std::uint64_t line = 0;
    std::string text;
};

// What a correction moved: `by` is added to `field` of the pilot (or, with
// an empty pilot, of the side's "overMaxPenalty"); `points` is the change
// of the pilot's score that follows (for the penalty: of the side's final
// total), which is the change of the side's final total when the pilot is
// listed under a side.
struct Move {
    std::string pilot;  // trailing blanks removed; empty for a side's penalty
    Side team = Side::Unknown;
    MoveField field = MoveField::Kills;
    std::int64_t by = 0;
    std::int64_t points = 0;
};

struct Correction {
    CorrectionKind kind = CorrectionKind::MultiDeath;
    bool applied = false;  // false: reported only (correction switched off, or nothing to move)
    std::string note;      // what was found, in plain words (may be empty)
    std::vector<EvidenceLine> evidence;
    std::vector<Move> moves;
};

// The note of a fighter-target correction: whether the destroyer was seen
// flying a fighter, and whether a target credited to him was taken back.
inline std::string fighterTargetNote(bool fighter, bool takenBack) {
    if (!fighter) {
        return "destroyed before the pilot was seen entering: the aircraft is unknown";
    }
    return takenBack
               ? "destroyed by a fighter"
               : "destroyed by a fighter, but not credited to this pilot: nothing to take back";
}

// One destruction line of the merged log.
struct TargetRow {
    std::uint64_t line = 0;
    std::string text;
    std::string key;         // location key, e.g. "#12"
    std::string targetType;  // e.g. "Bridge"; empty when the map does not list it
    Side team = Side::Unknown;
    std::int64_t teamCode = 0;
    std::int64_t points = 0;
    bool redBoxed = false;
    std::string pilot;   // the pilot credited; empty when none
    std::string reason;  // why none was credited (empty when credited)
};

// One entry to or exit from the arena that the over-max count took in.
struct ArenaEvent {
    std::uint64_t line = 0;
    std::string time;          // time of day, "HH:MM:SS"; empty when the line has none
    std::int32_t seconds = 0;  // the same, seconds since midnight (0 without a time)
    Side side = Side::Unknown;
    bool entry = true;
    std::string pilot;
    std::int64_t inGameAfter = 0;  // pilots of that side in the game after it
};

// One kill line of the merged log ("Kill of "), in log order, as the tally
// counted it: a death for the victim, a kill for the killer unless it is a
// self-kill. `victim` and `killer` are the pilots of the score tables the
// death and the kill went to (trailing blanks removed), with the aircraft
// each flew as the line names it and the side the tally listed them under.
struct KillRow {
    std::uint64_t line = 0;
    std::string time;  // time of day, "HH:MM:SS"
    std::string victim;
    std::string victimAircraft;
    Side victimSide = Side::Unknown;
    std::optional<std::string> killer;  // none: the line has no "awarded to "
    std::string killerAircraft;
    Side killerSide = Side::Unknown;
    bool selfKill = false;
    // The number (from 1, in `corrections` order) of the correction that
    // took the kill and the death back; none when they count.
    std::optional<std::int64_t> takenBackBy;
};

// A stretch during which a side had its 17th (or 18th) pilot in the game.
struct OverMaxStretch {
    Side side = Side::Unknown;
    int pilotNumber = 17;  // 17 or 18
    std::string start;     // "HH:MM:SS"; empty when the line has no time of day
    std::string end;
    double minutes = 0;
    std::int64_t points = 0;
};

// Kills and deaths per minute of game time, for charts: as logged, and of
// those the ones the multi-death correction took back (as logged less taken
// back is what the score tables count).
struct MinuteCount {
    std::int32_t minute = 0;  // minutes since midnight of the line's time of day
    std::int64_t alliedKills = 0;
    std::int64_t hunKills = 0;
    std::int64_t alliedDeaths = 0;
    std::int64_t hunDeaths = 0;
    std::int64_t alliedKillsTakenBack = 0;
    std::int64_t hunKillsTakenBack = 0;
    std::int64_t alliedDeathsTakenBack = 0;
    std::int64_t hunDeathsTakenBack = 0;
};

// A finding of the checks. An administrator accepts one for every later
// game by its code and subject ("unknown-aircraft: Archie") in the game
// folder's accepted-findings file (results/accepted_findings.h).
struct Warning {
    Warning() = default;
    Warning(std::string code_, std::string file_, std::uint64_t line_, std::string message_,
            std::string subject_ = {}, bool accepted_ = false)
        : code(std::move(code_)),
          file(std::move(file_)),
          line(line_),
          message(std::move(message_)),
          subject(std::move(subject_)),
          accepted(accepted_) {}

    std::string code;        // stable, e.g. "no-kill-points"
    std::string file;        // empty when no file
    std::uint64_t line = 0;  // 0 when no line
    std::string message;     // plain words: what, and what to do
    std::string subject;     // what it is about ("Archie", "#12"); empty for some codes
    bool accepted = false;   // listed in the accepted-findings file
};

// Receives the rows of the three long lists as the run makes them. A game
// of a gigabyte has hundreds of thousands; a caller that writes them out
// sets GameResults::rowSink, and `corrections`, `targets`, `arena` and
// `kills` then stay empty.
class RowSink {
  public:
    virtual ~RowSink() = default;
    virtual void correction(const Correction& row) = 0;
    virtual void target(const TargetRow& row) = 0;
    virtual void arenaEvent(const ArenaEvent& row) = 0;
    virtual void kill(const KillRow& row) = 0;
};

// The report the run appended to "vorskal.log", by which the game is known
// wherever its results go (results/report_key.h): empty until the run has
// written it whole.
struct ReportFacts {
    std::string key;     // SHA-256 of the report without its time line, lower-case hex
    std::string sha256;  // of the whole report
};

struct GameResults {
    // What the run gathers besides the report's numbers, the over-max
    // stretches and the warnings. Both cost time and memory on a large game;
    // a caller that writes no JSON or CSV turns them off.
    bool gatherRows = true;          // corrections, targets, arena, kills (into rowSink when set)
    bool gatherFingerprints = true;  // sha256 of vorskal.ini and the merged log (its bytes hashed)
    // Whether the log lines quoted in the rows and findings keep the players'
    // network addresses (results/address_mask.h): only for an administrator's
    // own copy; a league file masks them whatever this says.
    bool showAddresses = false;
    RowSink* rowSink = nullptr;

    std::string toolName = "vorskal-tally";
    std::string toolVersion;
    RunFacts run;
    std::vector<FileFacts>
        inputs;  // numbered logs in order, then "vorskal.ini", then "ux7server.log"
    // The merged log's SHA-256 (and size and lines) where each numbered log
    // ends in it, when fingerprints are gathered: the beginnings an early
    // tally's merged log can be. Kept by the league, not written out.
    std::vector<FileFacts> mergedStarts;
    Settings settings;
    std::string firstTime;  // the game's first and last time of day seen, "HH:MM:SS"
    std::string lastTime;
    std::string gameDate;  // the date field of the first log line, as written ("12/06/26")
    ReportFacts report;
    std::vector<PilotRow> pilots;
    TeamTotals allied;
    TeamTotals hun;
    std::vector<Correction> corrections;
    std::vector<TargetRow> targets;
    std::vector<ArenaEvent> arena;
    // Every kill line (into rowSink when set). `killsListed` says whether
    // the kills are known at all: a game read back from a report, or from
    // results of an older format, has none listed.
    std::vector<KillRow> kills;
    bool killsListed = false;
    std::vector<OverMaxStretch> overMax;
    std::vector<MinuteCount> timeline;
    std::vector<Warning> warnings;
};

}  // namespace vorskal::results
