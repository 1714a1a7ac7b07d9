#pragma once
// The game itself: pilots entering and leaving the arena, shooting each
// other down and destroying ground targets, among the chatter of the
// server, written line by line until the log has the planned size.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gen/game_clock.h"
#include "gen/log_writer.h"
#include "gen/rng.h"
#include "gen/summary.h"
#include "gen/world.h"

namespace vorskal::gen {

class Simulation {
  public:
    Simulation(const World& world, Rng rng, LogWriter& out);
    GameSummary run(std::uint64_t plannedBytes);

  private:
    static constexpr std::int64_t kNever = -1;

    struct Pilot {
        const PilotProfile* profile;
        std::string padded;  // the name blank-padded to 16, as kill lines show it
        bool flying = false;
        bool counted = false;  // the tally has seen the entry that put the pilot in
        int aircraft = 0;
        std::int64_t lastDeath = kNever;
        int copiesDue = 0;
    };
    // A line due later: a death logged again, or a pilot's entry after a death.
    struct Pending {
        std::int64_t due;
        bool copy;
        std::size_t pilot;
        std::string event;
    };
    struct SideState {
        std::vector<std::size_t> members;
        int count = 0;  // pilots in the arena as the tally counts them
        int lowest = 0;
        int highest = 0;
        int usual = 0;  // the number of pilots the side drifts around
        int surge = 0;  // 17, 18 or 19 while the side floods the arena
    };

    // simulation.cpp
    void write(std::string_view event);
    bool writeDuePending();
    void event();
    void chatter();
    std::optional<std::size_t> pick(const std::vector<std::size_t>& from,
                                    const std::function<bool(const Pilot&)>& test);
    std::optional<std::size_t> pickAnywhere(const std::function<bool(const Pilot&)>& test);
    SideState& sideOf(Side side) { return sides_[side == Side::Allied ? 0 : 1]; }
    std::string_view aircraftName(const Pilot& pilot) const;

    // kills.cpp
    void kill();
    bool mayDie(const Pilot& pilot) const;
    void writeCopy(const Pending& pending);

    // targets.cpp
    void destroyTarget();

    // arena.cpp
    void placeEarlyPilots();
    void arenaEvent();
    void updateSurge();
    void enter(std::size_t pilot);
    void reenter(std::size_t pilot);
    void leave(std::size_t pilot);
    void writeEntry(const Pilot& pilot);
    void noteCount(SideState& side, Side which);

    const World& world_;
    Rng rng_;
    LogWriter& out_;
    GameClock clock_;
    std::vector<Pilot> pilots_;
    std::array<SideState, 2> sides_;
    std::array<std::vector<const Target*>, 3> targetsOfTeam_;  // by team code 1, 2
    std::vector<Pending> pending_;
    std::uint64_t eventIndex_ = 0;
    std::uint64_t nextSurge_ = 0;
    std::uint64_t surgeEnd_ = 0;
    bool surgeActive_ = false;
    int surgeCount_ = 0;
    std::string scratch_;
    std::vector<std::size_t> candidates_;
    GameSummary summary_;
};

}  // namespace vorskal::gen
