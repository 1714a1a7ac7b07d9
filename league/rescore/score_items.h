#pragma once
// A recorded game's scores taken apart into items: each kill and death of
// the stored kill lines, each target credited, each correction that took
// something back (with its evidence), and each side's over-max deductions.
// The same items valued at other points (another vorskal.ini, corrections
// switched) are what `rescore` sums; valued at the game's own points they
// are what `explain` shows, and they must add up to the stored score
// tables, which `storedFault` checks.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/game_results.h"

namespace vorskal::league {

enum class ItemKind { Kill, Death, Target, MultiDeath, FighterTarget, OverMax };

// One thing that moved a pilot's score (or, for OverMax, a side's final
// total), with the counts it moved.
struct ScoreItem {
    ItemKind kind = ItemKind::Kill;
    std::int64_t points = 0;
    std::uint64_t line = 0;  // of the merged log; 0: none stored
    std::string time;        // "HH:MM:SS" when stored
    std::string text;        // the log line, when stored
    std::string detail;      // what it was, in plain words
    // The rule whose value gave the points: "Kill", "Death", a target type
    // ("Hangar"), "multi-death", "fighter-target", "over-max".
    std::string rule;
    std::vector<results::EvidenceLine> evidence;  // a correction's lines
    std::int64_t kills = 0, deaths = 0, targets = 0, targetPoints = 0;
};

// A pilot's row as the items make it.
struct PilotItems {
    std::string name;
    results::Side team = results::Side::Unknown;
    std::int64_t teamCode = 0;
    std::vector<ScoreItem> items;
    std::int64_t kills = 0, deaths = 0, targets = 0, targetPoints = 0, score = 0;
};

struct SideItems {
    std::vector<ScoreItem> deductions;  // OverMax items: points are the final total's change
    std::int64_t score = 0;             // the sum of its pilots' scores
    std::int64_t penalty = 0;
    std::int64_t final = 0;
};

struct GameItems {
    std::vector<PilotItems> pilots;  // in the score tables' order
    SideItems allied, hun;
};

// The values the items are scored at: points per kill and death, each
// destruction's points (in the order of `targets`), and the corrections
// in force. A multi-death correction switched on for a game tallied
// without it is worked out from the kill lines, as the tally does.
struct ItemValues {
    std::int64_t killPoints = 0;
    std::int64_t deathPoints = 0;
    std::vector<std::int64_t> targetPoints;
    bool multiDeath = true;
    bool fighterTarget = true;
    bool overMax = true;
};

// Why the stored game cannot be taken apart (no kill lines or targets kept,
// a row the items cannot be put to); nullopt when it can.
std::optional<std::string> unexplainable(const results::GameResults& game, bool listsKept);

// The game's own values: its points, each target's stored points, its options.
ItemValues storedValues(const results::GameResults& game);

// The items at `values`. Throws std::runtime_error (unexplainable's reason)
// when the game cannot be taken apart.
GameItems gameItems(const results::GameResults& game, const ItemValues& values);

// Where the items at the game's own values differ from its stored score
// tables, in plain words; empty when every row and total adds up.
std::string storedFault(const results::GameResults& game, const GameItems& items);

// The multi-death take-backs the tally makes from these kill lines: for
// each, the index in `kills` of the kill line taken back and of the one
// before it. Empty when a time of day is missing (the caller checks).
struct TakeBack {
    std::size_t previous = 0;
    std::size_t event = 0;
};
std::vector<TakeBack> multiDeathTakeBacks(const std::vector<results::KillRow>& kills);

std::string itemKindName(ItemKind kind);

// Points as a change reads them: "+20", "-5", "0".
std::string signedPoints(std::int64_t points);

}  // namespace vorskal::league
