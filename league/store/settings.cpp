#include "league/store/settings.h"

#include <stdexcept>

namespace vorskal::league {

namespace {

bool isWebAddress(const std::string& value) {
    return (value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0) &&
           value.find_first_of(" \t\r\n") == std::string::npos;
}

}  // namespace

std::optional<std::string> settingValue(Connection& db, std::string_view name) {
    Statement read = db.prepare("SELECT value FROM settings WHERE name = ?");
    read.bind(1, name);
    if (!read.step()) {
        return std::nullopt;
    }
    return read.text(0);
}

std::string currentSeason(Connection& db) {
    return settingValue(db, kSeasonSetting).value_or(std::string(kFirstSeason));
}

std::string seasonNameFault(std::string_view name) {
    return name.empty() || name.find_first_of("\r\n") != std::string_view::npos
               ? "a season's name is one line of text, not empty"
               : "";
}

std::optional<DateOrder> dateOrderSetting(Connection& db) {
    const std::optional<std::string> value = settingValue(db, kDateOrderSetting);
    return value ? dateOrderNamed(*value) : std::nullopt;
}

void changeSetting(Connection& db, const std::string& name, const std::string& value) {
    if (name == kSeasonSetting) {
        if (const std::string fault = seasonNameFault(value); !fault.empty()) {
            throw std::invalid_argument(fault);
        }
    } else if (name == kLeagueNameSetting) {
        if (value.empty() || value.find_first_of("\r\n") != std::string::npos) {
            throw std::invalid_argument("a league's name is one line of text, not empty");
        }
    } else if (name == kDateOrderSetting) {
        if (!dateOrderNamed(value)) {
            throw std::invalid_argument(
                "date-order is mdy, dmy or ymd (month/day/year, "
                "day/month/year or year/month/day), not \"" +
                value + "\"");
        }
    } else if (name == kWebhookSetting || name == kSiteAddressSetting) {
        if (!isWebAddress(value)) {
            throw std::invalid_argument(name +
                                        " is an address that begins with http:// or https://");
        }
    } else {
        throw std::invalid_argument("no setting \"" + name +
                                    "\" (season, date-order, webhook, site-address, league-name, "
                                    "hidden-pilot)");
    }
    db.prepare(
          "INSERT INTO settings (name, value) VALUES (?1, ?2) "
          "ON CONFLICT (name) DO UPDATE SET value = ?2")
        .bind(1, name)
        .bind(2, value)
        .run();
}

}  // namespace vorskal::league
