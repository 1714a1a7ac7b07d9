#include "gen/chatter.h"

#include <array>
#include <span>

namespace vorskal::gen {
namespace {

// "@" stands for the other pilot's name.
constexpr std::array<std::string_view, 18> kChat = {
    "anyone seen the Baron tonight?",
    "check six!",
    "going after the bridge, cover me",
    "Kill of the night goes to @",
    "S! @, nice shooting",
    "RTB, low on fuel",
    "Target in sight, rolling in",
    "engine hit, gliding home",
    "who has the balloon on the left flank?",
    "lag is bad tonight",
    "form up on me at angels 10",
    "thanks for the escort @",
    "<grin>",
    "gg all",
    "my guns jammed again",
    "@ you got my kill, that was mine :)",
    "two bandits high over the river",
    "back in 5, refuelling the coffee",
};

constexpr std::array<std::string_view, 9> kNotices = {
    "autosave complete",
    "weather now overcast, cloud base 1200 m",
    "wind 270 at 15 km/h",
    "map reset in 30 minutes",
    "welcome to the ZORL league night",
    "please keep the chat clean",
    "icing above 3000 m",
    "scores are posted after the tally",
    "next league night same time next week",
};

void appendNumber(std::string& out, std::uint64_t value) {
    out += std::to_string(value);
}

}  // namespace

void appendChatter(Rng& rng, std::string_view pilot, std::string_view other, std::string& out) {
    const std::uint64_t kind = rng.below(100);
    if (kind < 40) {
        out += "Ping ";
        out += pilot;
        out += ' ';
        appendNumber(out, 20 + rng.below(300));
        out += " ms";
    } else if (kind < 62) {
        out += "Position ";
        out += pilot;
        out += " x=";
        appendNumber(out, rng.below(120000));
        out += " y=";
        appendNumber(out, rng.below(90000));
        out += " alt=";
        appendNumber(out, 50 + rng.below(5000));
    } else if (kind < 84) {
        out += "Chat ";
        out += pilot;
        out += ": ";
        for (char c : rng.pick(std::span<const std::string_view>(kChat))) {
            if (c == '@') {
                out += other;
            } else {
                out += c;
            }
        }
    } else if (kind < 96) {
        out += "Server: ";
        out += rng.pick(std::span<const std::string_view>(kNotices));
    } else {
        out += "Server: ";
        appendNumber(out, 10 + rng.below(60));
        out += " players connected, ";
        appendNumber(out, rng.below(5));
        out += " waiting";
    }
}

}  // namespace vorskal::gen
