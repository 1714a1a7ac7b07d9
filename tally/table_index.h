#pragma once
// Lookups over the pilot table and the arena roster that answer exactly what
// a scan of the table in slot order would, without a scan for every line.
// They read the tables as these grow (a slot is only ever added at the end,
// and a name never changes), so the passes need not tell them anything. An
// index knows names by their ids in one EventLog: one index serves one pass
// over the lines of one EventLog. The state itself holds only the tables.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/fixed_text.h"
#include "tally/event_log.h"
#include "tally/tally_state.h"

namespace vorskal {

class TableIndex {
  public:
    // The first pilot slot whose first 11 name characters are `prefix` and
    // whose team is `team`; kNoRecord when there is none.
    std::size_t findPilot(const TallyState& state, std::string_view prefix, Count team);
    // findPilot for the first 11 characters and the team of a kill line's
    // pilot; once there, the same record answers for the same window.
    std::size_t findPilot(const TallyState& state, const Actor& actor);
    // The pilot slots whose 16-character name contains `name` (letter case
    // disregarded when `fold` is set), ascending.
    const std::vector<std::uint32_t>& pilotsContaining(const TallyState& state, const Name& name,
                                                       bool fold);
    // The roster slots whose 16-character name contains `name` (letter case
    // kept), ascending.
    const std::vector<std::uint32_t>& rosterContaining(const TallyState& state, const Name& name);

  private:
    struct PrefixTeam {
        std::array<char, kNamePrefixWidth> prefix;
        Count team;
        bool operator==(const PrefixTeam&) const = default;
    };
    struct PrefixTeamHash {
        std::size_t operator()(const PrefixTeam& key) const;
    };
    // The slots of one table whose name contains one name, brought up to date
    // with the slots added since.
    struct Containing {
        std::vector<std::uint32_t> slots;
        std::size_t scanned = 1;  // slots below this one are in `slots` when they match
    };
    template <typename NameOf>
    static const std::vector<std::uint32_t>& bringUp(std::vector<Containing>& table,
                                                     const Name& name, bool fold, std::size_t count,
                                                     const NameOf& nameOf);

    std::unordered_map<PrefixTeam, std::uint32_t, PrefixTeamHash> firstPilot_;
    std::size_t pilotsIndexed_ = 1;
    std::vector<std::uint32_t> actorPilots_;  // by actor id; kNoRecord: not known yet
    std::vector<Containing> pilotsExact_;
    std::vector<Containing> pilotsFolded_;
    std::vector<Containing> roster_;
};

}  // namespace vorskal
