#pragma once
// The point-value file "vorskal.ini", read once per run: its lines are kept
// in memory, and every lookup and section 7 work from them exactly as they
// would from a fresh read of the file from its first line (the file cannot
// change during a run).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/checked.h"
#include "base/platform.h"

namespace vorskal {

inline constexpr std::string_view kPointFileName = "vorskal.ini";

class PointFile {
  public:
    explicit PointFile(FileService& files) : files_(files) {}

    // The file's lines without their ends. Read on first use; throws
    // TallyFailure when the file is missing or cannot be read.
    const std::vector<std::string>& lines();

    // What one lookup does to the five values it may set, remembered per
    // target number and map name at the start of the lookup.
    struct LookupEffect {
        std::string mapName;
        std::optional<Count> teamCode;  // set: the number is in the current map's block
        std::string targetType;         // its type there
        std::optional<Count> targetValue;
        std::optional<Count> killPoints;
        std::optional<Count> deathPoints;
        std::string failure;  // non-empty: the lookup stops the run with this message
    };
    const LookupEffect* remembered(std::int64_t target, const std::string& mapName) const;
    const LookupEffect& remember(std::int64_t target, const std::string& mapName,
                                 LookupEffect effect);

  private:
    FileService& files_;
    std::optional<std::vector<std::string>> lines_;
    std::map<std::pair<std::int64_t, std::string>, LookupEffect> effects_;
};

// The file read as the lookup reads it: a map line names the map, the next
// line (not a map line) holding the name heads its block, which ends at an
// exactly empty line; every other line "TYPE=N" is a type value.
struct PointFileLayout {
    struct Value {
        std::string type;
        std::int64_t points = 0;
        std::uint64_t line = 0;  // from 1
    };
    std::string map = "unknown";
    std::uint64_t mapLine = 0;            // of the last map line; 0: none
    bool heading = false;                 // the last map's block heading was found
    bool kill = false;                    // a "Kill=" line
    bool death = false;                   // a "Death=" line
    std::vector<std::string> blockTypes;  // of the last map's block ("12-Bridge,2": "Bridge")
    std::vector<Value> typeValues;        // in file order
};
PointFileLayout pointFileLayout(const std::vector<std::string>& lines);

}  // namespace vorskal
