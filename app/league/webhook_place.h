#pragma once
// Where the webhook's address is kept. It may hold a token, and a league
// file is sent to other servers, so the address lives outside it: the
// environment variable VORSKAL_WEBHOOK, else the user's own file
// ($XDG_CONFIG_HOME/vorskal/webhook, ~/.config/vorskal/webhook without it;
// %APPDATA%\vorskal\webhook on Windows), one line. A league file written
// before holds it as its "webhook" setting: still read, last, with a
// warning, until `set webhook from-league` moves it to the user's file.
#include <optional>
#include <string>

#include "league/store/sqlite.h"

namespace vorskal {

struct Webhook {
    std::string address;
    std::string from;     // "VORSKAL_WEBHOOK", the user's file's name, or the league file's
    std::string warning;  // not empty: the address came from the league file
};

// The user's webhook file; empty when neither the configuration folder
// nor the home folder is known.
std::string userWebhookPath();

// The address to post to; nullopt when none is set. `db` (may be null: no
// league file yet) is looked at last. Throws league::LeagueError naming the
// place when the address found there is not a plain http(s) address.
std::optional<Webhook> findWebhook(league::Connection* db, const std::string& leaguePath);

// Writes the user's file (readable by its owner only), replacing it whole.
// Throws league::LeagueError naming the file when it cannot.
void storeUserWebhook(const std::string& address);

}  // namespace vorskal
