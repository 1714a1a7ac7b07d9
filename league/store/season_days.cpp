#include "league/store/season_days.h"

#include "league/store/settings.h"

namespace vorskal::league {

SeasonDays seasonDateOrder(Connection& db, const std::string& season,
                           std::optional<DateOrder> given) {
    if (given) {
        return {*given, false};
    }
    if (const std::optional<DateOrder> set = dateOrderSetting(db)) {
        return {*set, false};
    }
    std::vector<std::string> dates;
    Statement read =
        db.prepare("SELECT game_date FROM games WHERE season = ? AND removed_at IS NULL");
    read.bind(1, season);
    while (read.step()) {
        dates.push_back(read.text(0));
    }
    return {inferDateOrder(dates), true};
}

std::optional<std::string> settleDay(Connection& db, std::int64_t id, const SeasonDays& days) {
    Statement read = db.prepare("SELECT game_date, played_on FROM games WHERE id = ?");
    read.bind(1, id);
    if (!read.step()) {
        return std::nullopt;
    }
    if (!read.isNull(1)) {
        return read.text(1);
    }
    const std::optional<std::string> day = dayOf(read.text(0), days.order);
    if (day) {
        db.prepare("UPDATE games SET played_on = ? WHERE id = ?").bind(1, day).bind(2, id).run();
    }
    return day;
}

std::vector<DayGiven> settleUnknownDays(Connection& db, DateOrder order) {
    std::vector<DayGiven> given;
    Statement read =
        db.prepare("SELECT id, game_date FROM games WHERE played_on IS NULL ORDER BY id");
    while (read.step()) {
        if (const std::optional<std::string> day = dayOf(read.text(1), order)) {
            given.push_back({read.integer(0), read.text(1), *day});
        }
    }
    Statement write = db.prepare("UPDATE games SET played_on = ? WHERE id = ?");
    for (const DayGiven& game : given) {
        write.bind(1, game.playedOn).bind(2, game.id).run();
    }
    return given;
}

void refreshAllDays(Connection& db) {
    std::vector<std::string> seasons;
    Statement read = db.prepare("SELECT DISTINCT season FROM games");
    while (read.step()) {
        seasons.push_back(read.text(0));
    }
    for (const std::string& season : seasons) {
        const SeasonDays days = seasonDateOrder(db, season);
        std::vector<std::pair<std::int64_t, std::optional<std::string>>> dayRead;
        Statement games = db.prepare("SELECT id, game_date FROM games WHERE season = ?");
        games.bind(1, season);
        while (games.step()) {
            dayRead.emplace_back(games.integer(0), dayOf(games.text(1), days.order));
        }
        Statement write = db.prepare("UPDATE games SET played_on = ? WHERE id = ?");
        for (const auto& [id, day] : dayRead) {
            write.bind(1, day).bind(2, id).run();
        }
    }
}

}  // namespace vorskal::league
