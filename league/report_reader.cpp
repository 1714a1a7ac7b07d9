#include "league/report_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "base/text.h"
#include "league/game_day.h"
#include "league/report_key.h"
#include "logs/log_line.h"

namespace vorskal::league {

namespace {

using results::GameResults;
using results::Side;

constexpr std::string_view kTitle = kReportTitle;
constexpr std::string_view kSection1 = "1. Report pilot number greater than 16.";
constexpr std::string_view kSection2 = "2. Report possible multi-death bugs.";
constexpr std::string_view kSection3 = "3. Report fighter destroyed targets.";
constexpr std::string_view kSection4 = "4. Report score corrections.";
constexpr std::string_view kSection5 = "5. Report non-red boxed targets destroyed.";
constexpr std::string_view kSection6 = "6. Report scores.";
constexpr std::string_view kZorl = "ZORL Scoring Results (includes corrections if enabled)";
constexpr std::string_view kSection7 = "7. ZORL Scoring Point Values";
constexpr std::string_view kMapUsed = "Map used was ";
constexpr std::string_view kError = "ERROR -- ";

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    const std::string_view end = bytes.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t next = bytes.find(end, at);
        if (next == std::string_view::npos) {
            lines.emplace_back(bytes.substr(at));
            break;
        }
        lines.emplace_back(bytes.substr(at, next - at));
        at = next + end.size();
    }
    return lines;
}

ReportState stateOf(const std::vector<std::string>& lines) {
    const std::size_t n = lines.size();
    if (n > 0 && startsWith(lines.back(), kError)) {
        return ReportState::Failed;
    }
    if (n >= 4 && lines[n - 1] == " " && startsWith(lines[n - 2], kMapUsed) &&
        lines[n - 3] == " ") {
        return ReportState::Complete;
    }
    return ReportState::CutShort;
}

// Reads the report's pieces; `base` is the file line of lines[0].
class Reader {
  public:
    Reader(const FoundReport& report) : lines_(report.lines), base_(report.firstLine) {}

    [[noreturn]] void fail(std::size_t index, const std::string& what) const {
        throw ReportLayoutError(base_ + index, what);
    }

    std::size_t find(std::string_view heading, std::size_t from) const {
        for (std::size_t i = from; i < lines_.size(); ++i) {
            if (lines_[i] == heading) {
                return i;
            }
        }
        fail(from, "no heading \"" + std::string(heading) + "\" after this line");
    }

    const std::string& line(std::size_t i) const { return lines_[i]; }
    std::size_t size() const { return lines_.size(); }

  private:
    const std::vector<std::string>& lines_;
    std::uint64_t base_;
};

// A whole number written by the report: optional minus sign, digits.
std::optional<std::int64_t> takeNumber(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    if (at < text.size() && text[at] == '-') {
        ++at;
    }
    const std::size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    if (at == digits || at - digits > 18) {
        at = start;
        return std::nullopt;
    }
    return std::strtoll(std::string(text.substr(start, at - start)).c_str(), nullptr, 10);
}

bool takeDots(std::string_view text, std::size_t& at, std::size_t count) {
    if (text.substr(at, count) != std::string(count, '.')) {
        return false;
    }
    at += count;
    return true;
}

// The pieces of a score row after its first column: numbers each followed
// by its run of dots, as the score tables write them.
bool takeRowNumbers(std::string_view text, std::size_t& at, const std::size_t (&dots)[5],
                    std::int64_t (&numbers)[5]) {
    for (int i = 0; i < 5; ++i) {
        const std::optional<std::int64_t> number = takeNumber(text, at);
        if (!number || !takeDots(text, at, dots[i])) {
            return false;
        }
        numbers[i] = *number;
    }
    return true;
}

std::optional<results::PilotRow> pilotRow(std::string_view text, Side side) {
    std::size_t at = 16;
    if (text.size() < 21 || !takeDots(text, at, 5)) {
        return std::nullopt;
    }
    std::int64_t n[5];
    if (!takeRowNumbers(text, at, {9, 7, 8, 3, 3}, n)) {
        return std::nullopt;
    }
    results::PilotRow row;
    row.name = std::string(text.substr(0, 16));
    row.name.erase(row.name.find_last_not_of(' ') + 1);
    row.team = side;
    row.teamCode = side == Side::Allied ? 1 : side == Side::Hun ? 2 : 0;
    row.score = n[0];
    row.kills = n[1];
    row.deaths = n[2];
    row.targetsDestroyed = n[3];
    row.targetPoints = n[4];
    // The locations: "," before each key.
    const std::string_view rest = text.substr(at);
    if (!rest.empty()) {
        if (rest[0] != ',') {
            return std::nullopt;
        }
        std::size_t from = 1;
        while (true) {
            const std::size_t comma = rest.find(',', from);
            row.locations.emplace_back(rest.substr(from, comma - from));
            if (comma == std::string_view::npos) {
                break;
            }
            from = comma + 1;
        }
    }
    return row;
}

std::optional<results::TeamTotals> totalsRow(std::string_view text, std::string_view head) {
    std::size_t at = head.size();
    std::int64_t n[5];
    if (!startsWith(text, head) || !takeRowNumbers(text, at, {8, 7, 8, 3, 3}, n) ||
        at != text.size()) {
        return std::nullopt;
    }
    results::TeamTotals totals;
    totals.score = n[0];
    totals.kills = n[1];
    totals.deaths = n[2];
    totals.targetsDestroyed = n[3];
    totals.targetPoints = n[4];
    return totals;
}

// A point value as the point-value file holds it: a decimal number with
// blanks around it, a fraction rounded down.
std::optional<std::int64_t> pointValue(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start) {
        return std::nullopt;
    }
    while (*end == ' ') {
        ++end;
    }
    if (*end != '\0' || !std::isfinite(value) || std::fabs(value) > 1e15) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(std::floor(value));
}

bool isLogLine(const std::string& line) {
    // "MM/DD/YY HH:MM:SS ": the date field (its separator in any of the
    // orders a server may write) and the time of day.
    return line.size() >= 18 && line[2] == line[5] &&
           (line[2] == '/' || line[2] == '-' || line[2] == '.') && line[8] == ' ' &&
           line[11] == ':' && line[14] == ':' && line[17] == ' ';
}

// The day of the tally's own date (the machine's short date format), when
// every order that reads it gives the same day.
std::optional<std::string> plainDay(const std::string& date) {
    std::optional<std::string> found;
    for (const DateOrder order : kDateOrders) {
        const std::optional<std::string> day = dayOf(date, order);
        if (day && found && *day != *found) {
            return std::nullopt;
        }
        found = day ? day : found;
    }
    return found;
}

void readHeader(const Reader& r, GameResults& game) {
    const std::string& rev = r.line(1 < r.size() ? 1 : 0);
    const std::size_t dashes = rev.find(" -- ");
    if (!startsWith(rev, "Rev ") || dashes == std::string::npos) {
        r.fail(1, "no \"Rev \" line under the title");
    }
    game.toolName = "vorskal-tally";
    game.toolVersion = rev.substr(4, dashes - 4);
    const std::string& when = r.line(2);
    constexpr std::string_view kTime = "Current time is ";
    constexpr std::string_view kDate = "    Current date is ";
    const std::size_t date = when.find(kDate);
    if (!startsWith(when, kTime) || date == std::string::npos) {
        r.fail(2, "no \"Current time is \" line under the title");
    }
    if (const auto day = plainDay(when.substr(date + kDate.size()))) {
        game.run.startedAt = *day + "T" + when.substr(kTime.size(), date - kTime.size());
    }
}

void readOptions(const Reader& r, std::size_t s4, std::size_t s5, std::size_t s6,
                 GameResults& game) {
    game.run.overMaxPilotCorrection = false;
    game.run.multiDeathCorrection = false;
    game.run.fighterTargetCorrection = false;
    for (std::size_t i = s4; i < s5; ++i) {
        const std::string& line = r.line(i);
        game.run.overMaxPilotCorrection |= line == "NOTICE -- Over Max Pilot penalty enabled ";
        game.run.multiDeathCorrection |= line == "NOTICE -- Multiple Death bug correction enabled ";
        game.run.fighterTargetCorrection |=
            line == "NOTICE -- Fighter Destroyed Target correction enabled ";
    }
    game.run.redBoxedOnly = false;
    for (std::size_t i = s5; i < s6; ++i) {
        game.run.redBoxedOnly |= r.line(i) == "NOTICE -- Only red boxed targets have been tallied ";
    }
}

void readScores(const Reader& r, std::size_t s6, std::size_t zorl, GameResults& game) {
    Side side = Side::Unknown;
    bool unknownNext = false;
    bool alliedTotals = false;
    bool hunTotals = false;
    for (std::size_t i = s6 + 2; i < zorl; ++i) {
        const std::string& line = r.line(i);
        if (line == "*Allied*") {
            side = Side::Allied;
        } else if (line == "*Hun*") {
            side = Side::Hun;
        } else if (line == "Unable to determine team") {
            unknownNext = true;
        } else if (startsWith(line, "Allied Totals:")) {
            const auto totals = totalsRow(line, "Allied Totals:......");
            if (!totals) {
                r.fail(i, "the Allied totals line does not read as one");
            }
            game.allied = *totals;
            alliedTotals = true;
            side = Side::Unknown;
        } else if (startsWith(line, "Hun Totals:")) {
            const auto totals = totalsRow(line, "Hun Totals:.........");
            if (!totals) {
                r.fail(i, "the Hun totals line does not read as one");
            }
            game.hun = *totals;
            hunTotals = true;
            side = Side::Unknown;
        } else if (line != " " && !startsWith(line, "Pilot....") &&
                   line.find_first_not_of('-') != std::string::npos) {
            if (side == Side::Unknown && !unknownNext) {
                r.fail(i, "a score row outside the Allied and Hun tables");
            }
            const auto row = pilotRow(line, unknownNext ? Side::Unknown : side);
            if (!row) {
                r.fail(i, "a score row that does not read as one");
            }
            game.pilots.push_back(*row);
            unknownNext = false;
        }
    }
    if (!alliedTotals || !hunTotals) {
        r.fail(s6, "section 6 lacks a team's totals line");
    }
}

void readFinals(const Reader& r, std::size_t zorl, GameResults& game) {
    const auto final = [&](std::size_t i, std::string_view head) {
        const std::string& line = r.line(i);
        std::size_t at = head.size();
        std::optional<std::int64_t> value;
        if (startsWith(line, head)) {
            value = takeNumber(line, at);
        }
        if (!value || at != line.size()) {
            r.fail(i, "expected \"" + std::string(head) + "\" and the final total");
        }
        return *value;
    };
    game.allied.final = final(zorl + 2, "Allied Total:...");
    game.hun.final = final(zorl + 3, "Hun Total:......");
    game.allied.overMaxPenalty = game.allied.score - game.allied.final;
    game.hun.overMaxPenalty = game.hun.score - game.hun.final;
}

bool pointsFit(const GameResults& game, std::int64_t kill, std::int64_t death) {
    for (const results::PilotRow& row : game.pilots) {
        if (row.kills * kill + row.deaths * death + row.targetPoints != row.score) {
            return false;
        }
    }
    return true;
}

// The points per kill and death in force. A pilot's score is his kills
// times the kill points, plus his deaths times the death points, plus his
// target points. Section 7 shows the "Kill=" line and the eight lines after
// it: a value it does not show (no "Kill=" line at all: kills are worth 0,
// as the tally starts; a "Death=" line elsewhere in the file), or one the
// score rows contradict, is worked out from the rows.
void settlePoints(GameResults& game, std::optional<std::int64_t> shownKill,
                  std::optional<std::int64_t> shownDeath) {
    std::int64_t& kill = game.settings.killPoints;
    std::int64_t& death = game.settings.deathPoints;
    kill = shownKill.value_or(0);
    death = shownDeath.value_or(0);
    if (pointsFit(game, kill, death)) {
        return;
    }
    // Two rows with independent kills and deaths give both values at once.
    const results::PilotRow* first = nullptr;
    for (const results::PilotRow& row : game.pilots) {
        if (row.kills == 0 && row.deaths == 0) {
            continue;
        }
        if (first == nullptr) {
            first = &row;
            continue;
        }
        const std::int64_t det = first->kills * row.deaths - row.kills * first->deaths;
        if (det != 0) {
            const std::int64_t r1 = first->score - first->targetPoints;
            const std::int64_t r2 = row.score - row.targetPoints;
            const std::int64_t k = r1 * row.deaths - r2 * first->deaths;
            const std::int64_t d = first->kills * r2 - row.kills * r1;
            if (k % det == 0 && d % det == 0 && pointsFit(game, k / det, d / det)) {
                kill = k / det;
                death = d / det;
            }
            return;
        }
    }
    if (first == nullptr) {
        return;
    }
    // Rows all alike: one value kept as shown (or 0), the other worked out.
    const std::int64_t rest = first->score - first->targetPoints;
    if (first->deaths != 0 && (rest - first->kills * kill) % first->deaths == 0 &&
        pointsFit(game, kill, (rest - first->kills * kill) / first->deaths)) {
        death = (rest - first->kills * kill) / first->deaths;
    } else if (first->kills != 0 && (rest - first->deaths * death) % first->kills == 0 &&
               pointsFit(game, (rest - first->deaths * death) / first->kills, death)) {
        kill = (rest - first->deaths * death) / first->kills;
    }
}

void readPointValues(const Reader& r, std::size_t s7, GameResults& game) {
    const std::size_t mapLine = r.size() - 2;
    game.settings.map = r.line(mapLine).substr(kMapUsed.size());
    std::optional<std::int64_t> kill;
    std::optional<std::int64_t> death;
    for (std::size_t i = s7 + 2; i + 1 < mapLine; ++i) {
        const std::string& line = r.line(i);
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::optional<std::int64_t> value = pointValue(line.substr(equals + 1));
        if (!value) {
            continue;
        }
        if (line.find("Kill=") != std::string::npos) {
            kill = *value;
        } else if (line.find("Death=") != std::string::npos) {
            death = *value;
        } else if (equals > 0) {
            game.settings.typeValues.push_back({line.substr(0, equals), *value});
        }
    }
    settlePoints(game, kill, death);
}

// How many targets the fighter correction took back from each row: every
// target credited adds its location to the row, and a target taken back
// keeps its location but leaves the row's count.
std::vector<std::int64_t> takenBackPerRow(const GameResults& game) {
    std::vector<std::int64_t> takenBack;
    for (const results::PilotRow& row : game.pilots) {
        takenBack.push_back(static_cast<std::int64_t>(row.locations.size()) - row.targetsDestroyed);
    }
    return takenBack;
}

// Whether the destruction `line`, warned about as a fighter's, was taken
// back: a row whose name holds the destroyer, that lists the target's
// location and had a target taken back that no earlier warning claimed.
bool claimTakenBack(const GameResults& game, std::vector<std::int64_t>& takenBack,
                    const std::string& line) {
    const std::optional<TargetParts> parts = takeTargetLine(line);
    if (!parts) {
        return false;
    }
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        const results::PilotRow& row = game.pilots[i];
        if (takenBack[i] > 0 && containsFolded(padded(row.name, 16), parts->destroyer) &&
            std::find(row.locations.begin(), row.locations.end(), parts->locationKey) !=
                row.locations.end()) {
            --takenBack[i];
            return true;
        }
    }
    return false;
}

// Sections 1 to 3: what the corrections reported, with the lines quoted.
void readCorrections(const Reader& r, std::size_t s1, std::size_t s4, GameResults& game) {
    std::vector<std::int64_t> takenBack = takenBackPerRow(game);
    for (std::size_t i = s1; i < s4; ++i) {
        const std::string& line = r.line(i);
        results::Correction correction;
        if (line == "WARNING -- Possible multiple death bug") {
            correction.kind = results::CorrectionKind::MultiDeath;
            correction.applied = game.run.multiDeathCorrection;
            for (std::size_t j = i + 1; j < s4 && isLogLine(r.line(j)); ++j) {
                correction.evidence.push_back({0, r.line(j)});
            }
        } else if (line == "WARNING -- Fighter destroyed target" ||
                   line == "WARNING -- Unknown type destroyed target") {
            const bool fighter = line == "WARNING -- Fighter destroyed target";
            correction.kind = results::CorrectionKind::FighterTarget;
            if (i + 1 < s4) {
                correction.evidence.push_back({0, r.line(i + 1)});
                correction.applied = fighter && claimTakenBack(game, takenBack, r.line(i + 1));
            }
            correction.note = results::fighterTargetNote(fighter, correction.applied);
        } else if (startsWith(line, "NOTICE -- ") &&
                   (line.ends_with(" points deducted from Allied score") ||
                    line.ends_with(" points deducted from Hun score"))) {
            std::size_t at = 10;
            const std::optional<std::int64_t> points = takeNumber(line, at);
            if (!points) {
                continue;
            }
            const Side side = line.ends_with("Allied score") ? Side::Allied : Side::Hun;
            correction.kind = results::CorrectionKind::OverMax;
            correction.applied = true;
            // The exit line that ended the stretch stands above its warning.
            if (i >= 2 && isLogLine(r.line(i - 2))) {
                correction.evidence.push_back({0, r.line(i - 2)});
            }
            correction.moves.push_back(
                {"", side, results::MoveField::OverMaxPenalty, *points, -*points});
        } else {
            continue;
        }
        game.corrections.push_back(std::move(correction));
    }
}

}  // namespace

std::vector<FoundReport> splitReports(std::string_view bytes) {
    const std::vector<std::string> lines = splitLines(bytes);
    std::vector<FoundReport> reports;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == kTitle) {
            FoundReport report;
            report.number = static_cast<int>(reports.size()) + 1;
            report.firstLine = i + 1;
            reports.push_back(std::move(report));
        }
        if (!reports.empty()) {
            reports.back().lines.push_back(lines[i]);
        }
    }
    for (FoundReport& report : reports) {
        // The empty lines that open the next report's header belong to it.
        while (!report.lines.empty() && report.lines.back().empty()) {
            report.lines.pop_back();
        }
        report.state = stateOf(report.lines);
        ReportDigest digest;
        for (const std::string& line : report.lines) {
            digest.line(line);
        }
        report.key = digest.key();
        report.sha256 = digest.sha256();
    }
    return reports;
}

GameResults readReport(const FoundReport& report) {
    const Reader r(report);
    if (r.size() < 3) {
        r.fail(0, "the report ends under its title");
    }
    GameResults game;
    readHeader(r, game);
    const std::size_t s1 = r.find(kSection1, 3);
    const std::size_t s2 = r.find(kSection2, s1 + 1);
    const std::size_t s3 = r.find(kSection3, s2 + 1);
    const std::size_t s4 = r.find(kSection4, s3 + 1);
    const std::size_t s5 = r.find(kSection5, s4 + 1);
    const std::size_t s6 = r.find(kSection6, s5 + 1);
    const std::size_t zorl = r.find(kZorl, s6 + 1);
    const std::size_t s7 = r.find(kSection7, zorl + 1);
    if (zorl + 3 >= s7) {
        r.fail(zorl, "the ZORL block lacks its two totals");
    }
    readOptions(r, s4, s5, s6, game);
    readScores(r, s6, zorl, game);
    readFinals(r, zorl, game);
    readPointValues(r, s7, game);
    readCorrections(r, s1, s4, game);

    for (std::size_t i = s1; i < s6 && game.gameDate.empty(); ++i) {
        if (isLogLine(r.line(i))) {
            game.gameDate = r.line(i).substr(0, 8);
        }
    }
    std::uint64_t bytes = 0;
    for (const std::string& line : report.lines) {
        bytes += line.size() + 2;  // and its CR LF
    }
    game.inputs.push_back({"vorskal.log", bytes, report.lines.size(), report.sha256});
    return game;
}

}  // namespace vorskal::league
