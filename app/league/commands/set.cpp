// vorskal-league LEAGUE.db set [NAME VALUE]: sets a setting, or lists them.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/league/commands/commands.h"
#include "app/league/webhook_place.h"
#include "base/log_date.h"
#include "base/log_text.h"
#include "league/store/hidden_pilots.h"
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
    // The webhook's address may hold a token: never shown, only where it is.
    std::string webhook = "(not set)";
    try {
        if (const std::optional<Webhook> found = findWebhook(&file.db(), run.path)) {
            webhook = "(set in " + logText(found->from) + ", not shown" +
                      (found->warning.empty() ? std::string(")")
                                              : "; set webhook from-league moves it out)");
        }
    } catch (const league::LeagueError& error) {
        webhook = "(" + std::string(error.what()) + ")";
    }
    const std::optional<std::string> site =
        league::settingValue(file.db(), league::kSiteAddressSetting);
    run.out << "webhook " << webhook << "\nsite-address " << (site ? logText(*site) : "(not set)")
            << "\n";
    const std::optional<std::string> leagueName =
        league::settingValue(file.db(), league::kLeagueNameSetting);
    run.out << "league-name " << (leagueName ? logText(*leagueName) : "(not set)") << "\n";
    for (const league::HiddenPilot& hidden : league::hiddenPilots(file.db())) {
        run.out << "hidden-pilot " << logText(hidden.name) << " (shown as " << hidden.pseudonym
                << ")\n";
    }
}

// Whether any recorded or removed game has a pilot's row of that name.
bool inAnyGame(league::Connection& db, const std::string& name) {
    league::Statement find = db.prepare("SELECT 1 FROM pilots WHERE name = ? LIMIT 1");
    find.bind(1, name);
    return find.step();
}

void hidePilot(LeagueContext& run, const std::string& name) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Write, run.clock);
    league::Transaction transaction(file.db());
    const league::Hiding hiding = league::hidePilot(file.db(), name);
    transaction.commit();
    run.out << (hiding.already ? "Already hidden: " : "Hidden: ") << logText(name)
            << " is shown as " << hiding.pseudonym << " on the site, its downloads and posts";
    if (!inAnyGame(file.db(), name)) {
        run.out << " (no game has a pilot of that name yet)";
    }
    run.out << "\n";
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
    run.out << "Set " << logText(asked.name) << " to " << logText(asked.value) << " in "
            << logText(run.path) << "\n";
    for (const league::DayGiven& game : given) {
        run.out << "Game " << game.id << " is now played " << game.playedOn << " (its log's date \""
                << logText(game.gameDate) << "\")\n";
    }
}

// `set webhook URL` keeps the address in the user's own file, and
// `set webhook from-league` moves there the one an older league file holds;
// either takes it out of the league file, which is sent to others.
void storeWebhook(LeagueContext& run, const std::string& value) {
    const bool moving = value == "from-league";
    if (!moving && !league::isPlainWebAddress(value)) {
        throw std::invalid_argument(
            "webhook is an address that begins with http:// or https:// and a host, in "
            "printable ASCII without blanks (or from-league)");
    }
    std::optional<league::LeagueFile> file;
    std::optional<std::string> old;
    if (moving || std::filesystem::exists(run.path)) {
        file.emplace(run.path, league::LeagueFile::Access::Change, run.clock);
        old = league::settingValue(file->db(), league::kWebhookSetting);
    }
    if (moving && !old) {
        throw league::LeagueError(logText(run.path) + " holds no webhook to move");
    }
    const std::string address = moving ? *old : value;
    if (!league::isPlainWebAddress(address)) {
        throw league::LeagueError(logText(run.path) +
                                  ": its webhook is not a plain http:// or https:// address; "
                                  "set webhook URL replaces it");
    }
    storeUserWebhook(address);  // first: the address is never lost between the two
    if (old) {
        league::Transaction transaction(file->db());
        league::dropSetting(file->db(), league::kWebhookSetting);
        transaction.commit();
    }
    run.out << (moving ? "Moved the webhook to " : "Set webhook in ") << logText(userWebhookPath())
            << " (its address is not shown)";
    if (old) {
        run.out << "; " << logText(run.path) << " holds it no more";
    }
    run.out << "\n";
    if (const char* over = std::getenv("VORSKAL_WEBHOOK"); over != nullptr && *over != '\0') {
        run.err << "vorskal-league: warning: VORSKAL_WEBHOOK is set, and is posted to instead\n";
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
    if (asked.name == league::kHiddenPilotSetting) {
        hidePilot(run, asked.value);
        return;
    }
    if (asked.name == league::kWebhookSetting) {
        storeWebhook(run, asked.value);
        return;
    }
    storeSetting(run, asked);
}

void runUnset(LeagueContext& run, const SetAsked& asked) {
    if (asked.name != league::kHiddenPilotSetting) {
        throw std::invalid_argument("unset takes hidden-pilot NAME, not \"" + asked.name + "\"");
    }
    league::LeagueFile file(run.path, league::LeagueFile::Access::Write, run.clock);
    league::Transaction transaction(file.db());
    const std::string pseudonym = league::showPilot(file.db(), asked.value);
    transaction.commit();
    run.out << "Shown again: " << logText(asked.value) << " (was " << pseudonym << ")\n";
}

}  // namespace

void addSet(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<SetAsked>();
    CLI::App* command = app.add_subcommand(
        "set",
        "Sets a setting (season NAME; date-order mdy|dmy|ymd; webhook URL|from-league, kept "
        "outside the league file; site-address URL; "
        "league-name TEXT; hidden-pilot NAME), or lists them");
    command->add_option("name", asked->name,
                        "season, date-order, webhook, site-address, league-name or hidden-pilot");
    command->add_option("value", asked->value, "The new value");
    command->callback([&run, asked] { runSet(run, *asked); });

    auto unset = std::make_shared<SetAsked>();
    CLI::App* unsetCommand = app.add_subcommand(
        "unset", "Shows a hidden pilot under his name again (hidden-pilot NAME)");
    unsetCommand->add_option("name", unset->name, "hidden-pilot")->required();
    unsetCommand->add_option("value", unset->value, "The pilot's name")->required();
    unsetCommand->callback([&run, unset] { runUnset(run, *unset); });

    app.add_subcommand("settings", "Lists the settings (as set does without a name)")
        ->callback([&run] { listSettings(run); });
}

}  // namespace vorskal
