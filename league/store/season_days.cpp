#include "league/store/season_days.h"

#include <optional>
#include <vector>

#include "league/store/settings.h"

namespace vorskal::league {

SeasonDays seasonDateOrder(Connection& db, const std::string& season) {
    SeasonDays days;
    if (const std::optional<DateOrder> set = dateOrderSetting(db)) {
        days.order = *set;
        days.inferred = false;
        return days;
    }
    std::vector<std::string> dates;
    Statement read =
        db.prepare("SELECT game_date FROM games WHERE season = ? AND removed_at IS NULL");
    read.bind(1, season);
    while (read.step()) {
        dates.push_back(read.text(0));
    }
    days.order = inferDateOrder(dates);
    return days;
}

SeasonDays refreshDays(Connection& db, const std::string& season, std::int64_t except) {
    SeasonDays days = seasonDateOrder(db, season);
    struct Game {
        std::int64_t id;
        std::optional<std::string> day;
    };
    std::vector<Game> changes;
    Statement read = db.prepare("SELECT id, game_date, played_on FROM games WHERE season = ?");
    read.bind(1, season);
    while (read.step()) {
        const std::optional<std::string> day = dayOf(read.text(1), days.order);
        const std::optional<std::string> before =
            read.isNull(2) ? std::nullopt : std::optional<std::string>(read.text(2));
        if (day != before) {
            changes.push_back({read.integer(0), day});
        }
    }
    Statement write = db.prepare("UPDATE games SET played_on = ? WHERE id = ?");
    for (const Game& game : changes) {
        write.bind(1, game.day).bind(2, game.id).run();
        days.changed += game.id != except ? 1 : 0;
    }
    return days;
}

void refreshAllDays(Connection& db) {
    std::vector<std::string> seasons;
    Statement read = db.prepare("SELECT DISTINCT season FROM games");
    while (read.step()) {
        seasons.push_back(read.text(0));
    }
    for (const std::string& season : seasons) {
        refreshDays(db, season);
    }
}

}  // namespace vorskal::league
