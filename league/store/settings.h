#pragma once
// The league's settings, kept in the league file (`vorskal-league LEAGUE.db
// set NAME VALUE`): the current season, which games are recorded into and
// listed from unless a command names another, and the order of the log's
// date field (game_day.h).
#include <optional>
#include <string>
#include <string_view>

#include "league/store/game_day.h"
#include "league/store/sqlite.h"

namespace vorskal::league {

// The season of a league file whose season was never set, and of every game
// recorded before seasons existed.
inline constexpr std::string_view kFirstSeason = "1";

inline constexpr std::string_view kSeasonSetting = "season";
inline constexpr std::string_view kDateOrderSetting = "date-order";
// Where `post` sent a game's summary before the address moved out of the
// league file (app/league/webhook_place.h): still read, never written.
inline constexpr std::string_view kWebhookSetting = "webhook";
// The address the season's site is served at, for the link to a game's page
// in a post.
inline constexpr std::string_view kSiteAddressSetting = "site-address";
// The league's name, the title of the site's index.
inline constexpr std::string_view kLeagueNameSetting = "league-name";

std::string currentSeason(Connection& db);
// Why `name` cannot name a season ("" when it can): a season's name is one
// line of text, not empty, without control bytes. The one rule of `set
// season`, `import --season`, `--record --season` and of the seasons `merge`
// takes from another file.
std::string seasonNameFault(std::string_view name);
// A setting's value; nullopt when it is not set.
std::optional<std::string> settingValue(Connection& db, std::string_view name);
// nullopt: not set, the order is inferred from each season's games.
std::optional<DateOrder> dateOrderSetting(Connection& db);

// http:// or https://, a host, and only printable ASCII without blanks.
bool isPlainWebAddress(std::string_view value);

// Sets a setting inside the caller's transaction. Throws
// std::invalid_argument naming what is wrong for an unknown name or a value
// it cannot take.
void changeSetting(Connection& db, const std::string& name, const std::string& value);
// Takes a setting out, inside the caller's transaction.
void dropSetting(Connection& db, std::string_view name);

}  // namespace vorskal::league
