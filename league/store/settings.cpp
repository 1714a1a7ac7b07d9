#include "league/store/settings.h"

#include <algorithm>
#include <stdexcept>

namespace vorskal::league {

bool isPlainWebAddress(std::string_view value) {
    std::string_view rest = value;
    if (rest.substr(0, 7) == "http://") {
        rest.remove_prefix(7);
    } else if (rest.substr(0, 8) == "https://") {
        rest.remove_prefix(8);
    } else {
        return false;
    }
    // Printable ASCII only: no blank, no control byte, nothing a terminal or
    // a header line could take for something else.
    for (const char c : rest) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    const std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
    return !host.empty() && host.find_first_not_of(
                                "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRS"
                                "TUVWXYZ0123456789.-_~%:[]@!$&'()*+,;=") == std::string_view::npos;
}

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

namespace {

// Whether `value` holds a control byte (below 0x20, or 0x7F): a setting is
// shown on pages and in terminals, where such a byte is a command.
bool holdsControlByte(std::string_view value) {
    return std::any_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

}  // namespace

std::string seasonNameFault(std::string_view name) {
    return name.empty() || holdsControlByte(name)
               ? "a season's name is one line of text, not empty, without control bytes"
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
        if (value.empty() || holdsControlByte(value)) {
            throw std::invalid_argument(
                "a league's name is one line of text without control bytes, not empty");
        }
    } else if (name == kDateOrderSetting) {
        if (!dateOrderNamed(value)) {
            throw std::invalid_argument(
                "date-order is mdy, dmy or ymd (month/day/year, "
                "day/month/year or year/month/day), not \"" +
                value + "\"");
        }
    } else if (name == kSiteAddressSetting) {
        if ((value.rfind("http://", 0) != 0 && value.rfind("https://", 0) != 0) ||
            value.find(' ') != std::string::npos || holdsControlByte(value)) {
            throw std::invalid_argument(
                name +
                " is an address that begins with http:// or https://, without blanks or "
                "control bytes");
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

void dropSetting(Connection& db, std::string_view name) {
    // Overwritten, not only unlinked: the value (a webhook's token) leaves
    // no bytes in the file's free pages.
    db.exec("PRAGMA secure_delete = ON");
    db.prepare("DELETE FROM settings WHERE name = ?").bind(1, name).run();
}

}  // namespace vorskal::league
