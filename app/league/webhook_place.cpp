#include "app/league/webhook_place.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/log_text.h"
#include "league/store/league_file.h"
#include "league/store/settings.h"

namespace vorskal {

namespace {

namespace fs = std::filesystem;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

Webhook checked(std::string address, std::string from) {
    if (!league::isPlainWebAddress(address)) {
        throw league::LeagueError(logText(from) +
                                  ": the webhook is not a plain http:// or https:// address "
                                  "(printable ASCII, no blanks)");
    }
    return {std::move(address), std::move(from), {}};
}

}  // namespace

std::string userWebhookPath() {
#ifdef _WIN32
    const std::string base = environment("APPDATA");
    return base.empty() ? std::string() : (fs::path(base) / "vorskal" / "webhook").string();
#else
    // XDG: a relative XDG_CONFIG_HOME is to be ignored.
    if (const std::string base = environment("XDG_CONFIG_HOME"); !base.empty() && base[0] == '/') {
        return base + "/vorskal/webhook";
    }
    const std::string home = environment("HOME");
    return home.empty() ? std::string() : home + "/.config/vorskal/webhook";
#endif
}

std::optional<Webhook> findWebhook(league::Connection* db, const std::string& leaguePath) {
    if (std::string address = environment("VORSKAL_WEBHOOK"); !address.empty()) {
        return checked(std::move(address), "VORSKAL_WEBHOOK");
    }
    if (const std::string path = userWebhookPath(); !path.empty()) {
        std::ifstream in(fs::path(path), std::ios::binary);
        if (in) {
            // One line; its end (LF or CRLF) is not part of the address. Reading
            // stops at 4 KiB: no address is longer.
            std::string address(4096, '\0');
            in.read(address.data(), static_cast<std::streamsize>(address.size()));
            address.resize(static_cast<std::size_t>(in.gcount()));
            while (!address.empty() && (address.back() == '\n' || address.back() == '\r')) {
                address.pop_back();
            }
            return checked(std::move(address), path);
        }
    }
    if (db == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> old = league::settingValue(*db, league::kWebhookSetting);
    if (!old) {
        return std::nullopt;
    }
    Webhook found = checked(std::move(*old), leaguePath);
    found.warning =
        logText(leaguePath) +
        " holds the webhook's address, and a league file is sent to others: "
        "vorskal-league " +
        logText(leaguePath) + " set webhook from-league moves it to " +
        (userWebhookPath().empty() ? std::string("your own settings") : logText(userWebhookPath()));
    return found;
}

void storeUserWebhook(const std::string& address) {
    const std::string path = userWebhookPath();
    if (path.empty()) {
        throw league::LeagueError(
            "no folder for your own settings (neither XDG_CONFIG_HOME nor HOME is set); "
            "VORSKAL_WEBHOOK can hold the webhook instead");
    }
    const fs::path target(path);
    const fs::path fresh = target.string() + ".new";
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    if (!error) {
        // Made empty and private first, then written: the token is never
        // readable by others, even for a moment.
        { std::ofstream touch(fresh, std::ios::binary | std::ios::trunc); }
        fs::permissions(fresh, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace, error);
    }
    if (!error) {
        std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
        out << address << "\n";
        out.close();
        if (!out) {
            error = std::make_error_code(std::errc::io_error);
        }
    }
    if (!error) {
        fs::rename(fresh, target, error);
    }
    if (error) {
        fs::remove(fresh, error);
        throw league::LeagueError(logText(path) + ": cannot write the webhook there");
    }
}

}  // namespace vorskal
