// vorskal-league LEAGUE.db set-day GAME YYYY-MM-DD: gives a game the day its
// log does not tell (an old report quoting no log line, a date no order
// reads), or mends one read wrongly.
#include <memory>
#include <stdexcept>

#include "app/league/commands/commands.h"
#include "base/log_date.h"
#include "base/log_text.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

struct SetDayAsked {
    std::string game;
    std::string day;
};

void runSetDay(LeagueContext& run, const SetDayAsked& asked) {
    const std::optional<std::string> day = dayOf(asked.day, DateOrder::YearMonthDay);
    if (!day || *day != asked.day) {
        throw std::invalid_argument("set-day: \"" + logText(asked.day) +
                                    "\" is not a day of the calendar written YYYY-MM-DD");
    }
    league::LeagueFile file(run.path, league::LeagueFile::Access::Change, run.clock);
    const std::int64_t id = league::resolveGame(file, asked.game);
    league::setGameDay(file, id, *day);
    run.out << "Game " << id << " is now played " << *day << " in " << logText(run.path) << "\n";
}

}  // namespace

void addSetDay(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<SetDayAsked>();
    CLI::App* command =
        app.add_subcommand("set-day", "Gives a game its day, when its log's date does not tell it");
    addGameArgument(*command, asked->game, "The game's number or the start of its key");
    command->add_option("day", asked->day, "The day it was played")
        ->required()
        ->type_name("YYYY-MM-DD");
    command->callback([&run, asked] { runSetDay(run, *asked); });
}

}  // namespace vorskal
