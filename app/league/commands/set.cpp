// vorskal-league LEAGUE.db set [NAME VALUE]: sets a setting, or lists them.
#include <memory>
#include <stdexcept>

#include "app/league/commands/commands.h"
#include "base/log_date.h"
#include "base/log_text.h"
#include "league/store/season_days.h"
#include "league/store/settings.h"

namespace vorskal {
namespace {

struct SetAsked {
    std::string name;
    std::string value;
};

void listSettings(LeagueContext& run) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const std::string season = league::currentSeason(file.db());
    const league::SeasonDays days = league::seasonDateOrder(file.db(), season);
    run.out << "season " << logText(season) << "\ndate-order " << dateOrderName(days.order)
            << (days.inferred ? " (not set: inferred from the season's games)" : "") << "\n";
    // The webhook's address may hold a token: never shown.
    const bool webhook = league::settingValue(file.db(), league::kWebhookSetting).has_value();
    const std::optional<std::string> site =
        league::settingValue(file.db(), league::kSiteAddressSetting);
    run.out << "webhook " << (webhook ? "(set, not shown)" : "(not set)") << "\nsite-address "
            << (site ? logText(*site) : "(not set)") << "\n";
}

void storeSetting(LeagueContext& run, const SetAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Write, run.clock);
    league::Transaction transaction(file.db());
    league::changeSetting(file.db(), asked.name, asked.value);
    // Days once read stay; only games whose day is unknown are read again.
    std::vector<league::DayGiven> given;
    if (asked.name == league::kDateOrderSetting) {
        given = league::settleUnknownDays(file.db(), *dateOrderNamed(asked.value));
    }
    transaction.commit();
    if (asked.name == league::kWebhookSetting) {
        run.out << "Set webhook in " << logText(run.path) << " (its address is not shown)\n";
    } else {
        run.out << "Set " << logText(asked.name) << " to " << logText(asked.value) << " in "
                << logText(run.path) << "\n";
    }
    for (const league::DayGiven& game : given) {
        run.out << "Game " << game.id << " is now played " << game.playedOn << " (its log's date \""
                << logText(game.gameDate) << "\")\n";
    }
}

void runSet(LeagueContext& run, const SetAsked& asked) {
    if (asked.name.empty()) {
        listSettings(run);
        return;
    }
    if (asked.value.empty()) {
        throw std::invalid_argument("set " + asked.name + " needs a value");
    }
    storeSetting(run, asked);
}

}  // namespace

void addSet(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<SetAsked>();
    CLI::App* command = app.add_subcommand(
        "set",
        "Sets a setting (season NAME; date-order mdy|dmy|ymd; webhook URL; site-address URL), "
        "or lists them");
    command->add_option("name", asked->name, "season, date-order, webhook or site-address");
    command->add_option("value", asked->value, "The new value");
    command->callback([&run, asked] { runSet(run, *asked); });
}

}  // namespace vorskal
