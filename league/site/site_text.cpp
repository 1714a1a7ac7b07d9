#include "league/site/site_text.h"

#include <array>

namespace vorskal::league {

namespace {

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool digitsAt(const std::string& text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return false;
    }
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

// "6 Dec" and the year of "YYYY-MM-DD" at the start of `text`; false when
// it is no such day.
bool dayParts(const std::string& text, std::string& dayMonth, std::string& year) {
    if (!digitsAt(text, 0, 4) || text.size() < 10 || text[4] != '-' || !digitsAt(text, 5, 2) ||
        text[7] != '-' || !digitsAt(text, 8, 2)) {
        return false;
    }
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31) {
        return false;
    }
    dayMonth = std::to_string(day) + " " + kMonths[static_cast<std::size_t>(month - 1)];
    year = text.substr(0, 4);
    return true;
}

}  // namespace

std::string readableDay(const std::string& playedOn) {
    std::string dayMonth;
    std::string year;
    if (playedOn.size() != 10 || !dayParts(playedOn, dayMonth, year)) {
        return "day not known";
    }
    return dayMonth + " " + year;
}

std::string shortDay(const std::string& playedOn) {
    std::string dayMonth;
    std::string year;
    return playedOn.size() == 10 && dayParts(playedOn, dayMonth, year) ? dayMonth : "?";
}

std::string readableTime(const std::string& iso) {
    std::string dayMonth;
    std::string year;
    if (!dayParts(iso, dayMonth, year) || iso.size() < 16 || iso[10] != 'T' ||
        !digitsAt(iso, 11, 2) || iso[13] != ':' || !digitsAt(iso, 14, 2)) {
        return "";
    }
    return dayMonth + " " + year + ", " + iso.substr(11, 5);
}

std::string lastFolderName(const std::string& directory) {
    std::size_t end = directory.find_last_not_of("/\\");
    if (end == std::string::npos) {
        return "";
    }
    const std::size_t start = directory.find_last_of("/\\:", end);
    return directory.substr(start == std::string::npos ? 0 : start + 1,
                            end + 1 - (start == std::string::npos ? 0 : start + 1));
}

std::string killsPerDeath(std::int64_t kills, std::int64_t deaths) {
    const std::int64_t by = deaths > 0 ? deaths : 1;
    const std::int64_t hundredths = (kills * 200 + by) / (2 * by);  // rounded half up
    const std::int64_t cents = hundredths % 100;
    return std::to_string(hundredths / 100) + "." + (cents < 10 ? "0" : "") + std::to_string(cents);
}

std::vector<std::int64_t> ranksOf(const std::vector<std::int64_t>& scores) {
    std::vector<std::int64_t> ranks;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        ranks.push_back(i > 0 && scores[i] == scores[i - 1] ? ranks.back()
                                                            : static_cast<std::int64_t>(i) + 1);
    }
    return ranks;
}

}  // namespace vorskal::league
