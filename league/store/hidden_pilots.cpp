#include "league/store/hidden_pilots.h"

#include <stdexcept>

namespace vorskal::league {

namespace {

std::string pseudonymOf(std::int64_t number) {
    return "Hidden pilot " + std::to_string(number);
}

}  // namespace

std::vector<HiddenPilot> hiddenPilots(Connection& db) {
    Statement read =
        db.prepare("SELECT number, name FROM hidden_pilots WHERE hidden = 1 ORDER BY number");
    std::vector<HiddenPilot> out;
    while (read.step()) {
        out.push_back({read.text(1), pseudonymOf(read.integer(0))});
    }
    return out;
}

Hiding hidePilot(Connection& db, const std::string& name) {
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) {
        throw std::invalid_argument("a hidden pilot's name is one line of text, not empty");
    }
    Statement find = db.prepare("SELECT number, hidden FROM hidden_pilots WHERE name = ?");
    find.bind(1, name);
    if (find.step()) {
        const std::int64_t number = find.integer(0);
        const bool already = find.integer(1) == 1;
        db.prepare("UPDATE hidden_pilots SET hidden = 1 WHERE number = ?").bind(1, number).run();
        return {pseudonymOf(number), already};
    }
    // The next number after every one given, shown again or not.
    db.prepare(
          "INSERT INTO hidden_pilots (number, name, hidden) "
          "VALUES ((SELECT coalesce(max(number), 0) + 1 FROM hidden_pilots), ?, 1)")
        .bind(1, name)
        .run();
    Statement given = db.prepare("SELECT number FROM hidden_pilots WHERE name = ?");
    given.bind(1, name);
    given.step();
    return {pseudonymOf(given.integer(0)), false};
}

std::string showPilot(Connection& db, const std::string& name) {
    Statement find = db.prepare("SELECT number FROM hidden_pilots WHERE name = ? AND hidden = 1");
    find.bind(1, name);
    if (!find.step()) {
        throw std::invalid_argument("no hidden pilot \"" + name + "\"");
    }
    const std::int64_t number = find.integer(0);
    db.prepare("UPDATE hidden_pilots SET hidden = 0 WHERE number = ?").bind(1, number).run();
    return pseudonymOf(number);
}

}  // namespace vorskal::league
