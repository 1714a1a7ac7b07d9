#pragma once
// Log lines in the server's shapes, for tests: the date and time of day in
// columns 1 to 17, a blank, the event from column 19.
#include <string>

namespace vorskal::testing::lines {

// The text cut or blank-padded to `width`.
inline std::string field(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

inline std::string stamp(const std::string& time) {
    return "12/06/26 " + time + " ";
}

inline std::string killLine(const std::string& time, const std::string& victim,
                            const std::string& victimPlane, const std::string& killer,
                            const std::string& killerPlane) {
    return stamp(time) + "Kill of " + field(victim, 16) + victimPlane + " awarded to " +
           field(killer, 16) + killerPlane;
}

inline std::string markerLine(const std::string& time) {
    return stamp(time) + "Selected target destroyed and removed from list";
}

inline std::string targetLine(const std::string& time, const std::string& target,
                              const std::string& destroyer) {
    return stamp(time) + "Target " + target + " destroyed by " + destroyer + ".";
}

inline std::string enterLine(const std::string& time, const std::string& name,
                             const std::string& plane, bool withAddress = true) {
    const std::string who = withAddress ? name + " (UDP:192.0.2.5:2300)" : name;
    return stamp(time) + "Player |" + who + " has entered the arena, flying a " + plane;
}

inline std::string leaveLine(const std::string& time, const std::string& name) {
    return stamp(time) + "Player |" + name + " has left the arena";
}

}  // namespace vorskal::testing::lines
