#include "league/listings/pilot_mask.h"

#include <algorithm>

namespace vorskal::league {

namespace {

constexpr std::size_t kReportNameWidth = 16;

bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// `text` with `name` replaced by `pseudonym` where it stands as a whole
// (pilot_mask.h).
std::string replaced(const std::string& text, const std::string& name,
                     const std::string& pseudonym) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        if (at < from || (at > 0 && isWordCharacter(text[at - 1]))) {
            continue;
        }
        std::size_t end = at + name.size();
        if (end < text.size() && isWordCharacter(text[end])) {
            if (name.size() != kReportNameWidth) {
                continue;
            }
            while (end < text.size() && !isBlank(text[end]) && text[end] != '(') {
                ++end;
            }
        }
        std::size_t blanks = 0;
        while (end + blanks < text.size() && text[end + blanks] == ' ') {
            ++blanks;
        }
        out.append(text, from, at - from);
        out += pseudonym;
        if (blanks > 1) {  // a column: its width kept
            const std::size_t width = end - at + blanks;
            out.append(width > pseudonym.size() ? width - pseudonym.size() : 1, ' ');
        } else {
            out.append(blanks, ' ');
        }
        from = end + blanks;
    }
    out.append(text, from);
    return out;
}

}  // namespace

PilotMask::PilotMask(std::vector<HiddenPilot> hidden) : hidden_(std::move(hidden)) {
    // The longer names first: "Otto_Senior" is replaced before "Otto" is looked for.
    std::stable_sort(
        hidden_.begin(), hidden_.end(),
        [](const HiddenPilot& a, const HiddenPilot& b) { return a.name.size() > b.name.size(); });
}

PilotMask PilotMask::of(Connection& db) {
    return PilotMask(hiddenPilots(db));
}

const std::string& PilotMask::name(const std::string& name) const {
    for (const HiddenPilot& h : hidden_) {
        if (h.name == name) {
            return h.pseudonym;
        }
    }
    return name;
}

std::string PilotMask::text(const std::string& text) const {
    std::string out = text;
    for (const HiddenPilot& h : hidden_) {
        out = replaced(out, h.name, h.pseudonym);
    }
    return out;
}

void PilotMask::apply(results::GameResults& game) const {
    if (empty()) {
        return;
    }
    for (results::PilotRow& row : game.pilots) {
        row.name = name(row.name);
    }
    for (results::Correction& c : game.corrections) {
        c.note = text(c.note);
        for (results::EvidenceLine& line : c.evidence) {
            line.text = text(line.text);
        }
        for (results::Move& move : c.moves) {
            move.pilot = name(move.pilot);
        }
    }
    for (results::TargetRow& target : game.targets) {
        target.text = text(target.text);
        target.pilot = text(target.pilot);
        target.reason = text(target.reason);
    }
    for (results::ArenaEvent& event : game.arena) {
        event.pilot = text(event.pilot);
    }
    for (results::KillRow& kill : game.kills) {
        kill.victim = name(kill.victim);
        if (kill.killer) {
            kill.killer = name(*kill.killer);
        }
    }
    for (results::Warning& warning : game.warnings) {
        warning.message = text(warning.message);
        warning.subject = text(warning.subject);
    }
}

void PilotMask::apply(Standings& standings) const {
    if (empty()) {
        return;
    }
    for (PilotStanding& pilot : standings.pilots) {
        pilot.name = name(pilot.name);
    }
    // Sorted again as the standings are (score, then name), so that where
    // a pseudonym stands among equal scores says nothing of the name.
    std::stable_sort(standings.pilots.begin(), standings.pilots.end(),
                     [](const PilotStanding& a, const PilotStanding& b) {
                         if (a.score != b.score) {
                             return a.score > b.score;
                         }
                         return a.name != b.name ? a.name < b.name : a.team < b.team;
                     });
}

}  // namespace vorskal::league
