#include "league/import/report_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "base/fixed_text.h"
#include "base/number.h"
#include "base/report_layout.h"
#include "base/target_line.h"
#include "base/text.h"
#include "league/store/game_day.h"
#include "results/report_key.h"

namespace vorskal::league {

namespace {

using results::GameResults;
using results::Side;

using namespace layout;

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

ReportState stateOf(const std::vector<std::string>& lines) {
    const std::size_t n = lines.size();
    if (n > 0 && startsWith(lines.back(), kErrorPrefix)) {
        return ReportState::Failed;
    }
    if (n >= 4 && lines[n - 1] == kSpacer && startsWith(lines[n - 2], kMapUsed) &&
        lines[n - 3] == kSpacer) {
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

// A whole number as the report writes it (an optional minus sign, digits),
// read by the tally's own number reader.
std::optional<std::int64_t> takeNumber(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    if (at < text.size() && text[at] == '-') {
        ++at;
    }
    const std::size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    std::int64_t value = 0;
    if (at == digits || at - digits > 18 || !readNumber(text.substr(start, at - start), value)) {
        at = start;
        return std::nullopt;
    }
    return value;
}

bool takeText(std::string_view text, std::size_t& at, std::string_view piece) {
    if (text.substr(at, piece.size()) != piece) {
        return false;
    }
    at += piece.size();
    return true;
}

// The numbers of a score row or totals line, each followed by its run of
// dots, as the score tables write them.
bool takeRowNumbers(std::string_view text, std::size_t& at, const std::string_view (&dots)[5],
                    std::int64_t (&numbers)[5]) {
    for (int i = 0; i < 5; ++i) {
        const std::optional<std::int64_t> number = takeNumber(text, at);
        if (!number || !takeText(text, at, dots[i])) {
            return false;
        }
        numbers[i] = *number;
    }
    return true;
}

std::optional<results::PilotRow> pilotRow(std::string_view text, Side side) {
    std::size_t at = kNameWidth;
    if (text.size() < kNameWidth || !takeText(text, at, kNameDots)) {
        return std::nullopt;
    }
    std::int64_t n[5];
    if (!takeRowNumbers(text, at, kRowDots, n)) {
        return std::nullopt;
    }
    results::PilotRow row;
    row.name = std::string(text.substr(0, kNameWidth));
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
    if (!startsWith(text, head) || !takeRowNumbers(text, at, kTotalsDots, n) || at != text.size()) {
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

// A point value as the tally reads it from the point-value file
// (base/number.h: blanks, a sign, digits, a fraction rounded down).
std::optional<std::int64_t> pointValue(std::string_view text) {
    std::int64_t value = 0;
    if (!readNumber(text, value)) {
        return std::nullopt;
    }
    return value;
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
    const std::size_t dashes = rev.find(kCreditSeparator);
    if (!startsWith(rev, kRevision) || dashes == std::string::npos) {
        r.fail(1, "no \"Rev \" line under the title");
    }
    game.toolName = "vorskal-tally";
    game.toolVersion = rev.substr(kRevision.size(), dashes - kRevision.size());
    const std::string& when = r.line(2);
    const std::size_t date = when.find(kDateLabel);
    if (!startsWith(when, kTimeLabel) || date == std::string::npos) {
        r.fail(2, "no \"Current time is \" line under the title");
    }
    if (const auto day = plainDay(when.substr(date + kDateLabel.size()))) {
        game.run.startedAt = *day + "T" + when.substr(kTimeLabel.size(), date - kTimeLabel.size());
    }
}

void readOptions(const Reader& r, std::size_t s4, std::size_t s5, std::size_t s6,
                 GameResults& game) {
    game.run.overMaxPilotCorrection = false;
    game.run.multiDeathCorrection = false;
    game.run.fighterTargetCorrection = false;
    for (std::size_t i = s4; i < s5; ++i) {
        const std::string& line = r.line(i);
        game.run.overMaxPilotCorrection |= line == kOverMaxNotice;
        game.run.multiDeathCorrection |= line == kMultiDeathNotice;
        game.run.fighterTargetCorrection |= line == kFighterNotice;
    }
    game.run.redBoxedOnly = false;
    for (std::size_t i = s5; i < s6; ++i) {
        game.run.redBoxedOnly |= r.line(i) == kRedBoxedOnlyNotice;
    }
}

void readScores(const Reader& r, std::size_t s6, std::size_t zorl, GameResults& game) {
    Side side = Side::Unknown;
    bool unknownNext = false;
    bool alliedTotals = false;
    bool hunTotals = false;
    for (std::size_t i = s6 + 2; i < zorl; ++i) {
        const std::string& line = r.line(i);
        if (line == kAlliedTable) {
            side = Side::Allied;
        } else if (line == kHunTable) {
            side = Side::Hun;
        } else if (line == kUnknownTeam) {
            unknownNext = true;
        } else if (startsWith(line, kAlliedTotalsLabel)) {
            const auto totals = totalsRow(line, kAlliedTotalsLabel);
            if (!totals) {
                r.fail(i, "the Allied totals line does not read as one");
            }
            game.allied = *totals;
            alliedTotals = true;
            side = Side::Unknown;
        } else if (startsWith(line, kHunTotalsLabel)) {
            const auto totals = totalsRow(line, kHunTotalsLabel);
            if (!totals) {
                r.fail(i, "the Hun totals line does not read as one");
            }
            game.hun = *totals;
            hunTotals = true;
            side = Side::Unknown;
        } else if (line != kSpacer && line != kTableHeading && line != kTableRule) {
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
    game.allied.final = final(zorl + 2, kAlliedFinalLabel);
    game.hun.final = final(zorl + 3, kHunFinalLabel);
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
        const std::optional<std::int64_t> value =
            pointValue(std::string_view(line).substr(equals + 1));
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
    const std::optional<TargetParts> parts = takeTargetLine(std::string_view(line));
    if (!parts) {
        return false;
    }
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        const results::PilotRow& row = game.pilots[i];
        if (takenBack[i] > 0 && containsFolded(padded(row.name, 16), parts->destroyer.view()) &&
            std::find(row.locations.begin(), row.locations.end(), parts->locationKey.view()) !=
                row.locations.end()) {
            --takenBack[i];
            return true;
        }
    }
    return false;
}

// Section 1's "NOTICE -- N points deducted from SIDE score": N and the side.
std::optional<std::pair<std::int64_t, Side>> deductionNotice(std::string_view line) {
    std::size_t at = kDeductionNotice.size();
    if (!startsWith(line, kDeductionNotice)) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> points = takeNumber(line, at);
    if (!points || !takeText(line, at, kDeductedFrom)) {
        return std::nullopt;
    }
    const std::string_view rest = line.substr(at);
    if (rest == std::string(kAllied) + std::string(kDeductionEnd)) {
        return std::pair{*points, Side::Allied};
    }
    if (rest == std::string(kHun) + std::string(kDeductionEnd)) {
        return std::pair{*points, Side::Hun};
    }
    return std::nullopt;
}

// Sections 1 to 3: what the corrections reported, with the lines quoted.
void readCorrections(const Reader& r, std::size_t s1, std::size_t s4, GameResults& game) {
    std::vector<std::int64_t> takenBack = takenBackPerRow(game);
    for (std::size_t i = s1; i < s4; ++i) {
        const std::string& line = r.line(i);
        results::Correction correction;
        if (line == kMultiDeathWarning) {
            correction.kind = results::CorrectionKind::MultiDeath;
            correction.applied = game.run.multiDeathCorrection;
            for (std::size_t j = i + 1; j < s4 && isLogLine(r.line(j)); ++j) {
                correction.evidence.push_back({0, r.line(j)});
            }
        } else if (line == kFighterWarning || line == kUnknownTypeWarning) {
            const bool fighter = line == kFighterWarning;
            correction.kind = results::CorrectionKind::FighterTarget;
            if (i + 1 < s4) {
                correction.evidence.push_back({0, r.line(i + 1)});
                correction.applied = fighter && claimTakenBack(game, takenBack, r.line(i + 1));
            }
            correction.note = results::fighterTargetNote(fighter, correction.applied);
        } else if (const std::optional<std::pair<std::int64_t, Side>> deduction =
                       deductionNotice(line)) {
            const auto [points, side] = *deduction;
            correction.kind = results::CorrectionKind::OverMax;
            correction.applied = true;
            // The exit line that ended the stretch stands above its warning.
            if (i >= 2 && isLogLine(r.line(i - 2))) {
                correction.evidence.push_back({0, r.line(i - 2)});
            }
            correction.moves.push_back(
                {"", side, results::MoveField::OverMaxPenalty, points, -points});
        } else {
            continue;
        }
        game.corrections.push_back(std::move(correction));
    }
}

}  // namespace

void ReportSplitter::line(std::string_view line) {
    ++lines_;
    if (line == kTitle) {
        finish();
        current_.emplace();
        current_->number = ++count_;
        current_->firstLine = lines_;
    }
    if (current_) {
        current_->lines.emplace_back(line);
    }
}

void ReportSplitter::end() {
    finish();
}

void ReportSplitter::finish() {
    if (!current_) {
        return;
    }
    FoundReport& report = *current_;
    // The empty lines that open the next report's header belong to it.
    while (!report.lines.empty() && report.lines.back().empty()) {
        report.lines.pop_back();
    }
    report.state = stateOf(report.lines);
    results::ReportDigest digest;
    for (const std::string& line : report.lines) {
        digest.line(line);
    }
    report.key = digest.key();
    report.sha256 = digest.sha256();
    each_(report);
    current_.reset();
}

std::vector<FoundReport> splitReports(std::string_view bytes) {
    std::vector<FoundReport> reports;
    ReportSplitter splitter([&reports](FoundReport& report) { reports.push_back(report); });
    const std::string_view end = bytes.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t next = bytes.find(end, at);
        if (next == std::string_view::npos) {
            splitter.line(bytes.substr(at));
            break;
        }
        splitter.line(bytes.substr(at, next - at));
        at = next + end.size();
    }
    splitter.end();
    return reports;
}

GameResults readReport(const FoundReport& report) {
    const Reader r(report);
    if (r.size() < 3) {
        r.fail(0, "the report ends under its title");
    }
    GameResults game;
    readHeader(r, game);
    const std::size_t s1 = r.find(kArenaSection.title, 3);
    const std::size_t s2 = r.find(kMultiDeathSection.title, s1 + 1);
    const std::size_t s3 = r.find(kFighterSection.title, s2 + 1);
    const std::size_t s4 = r.find(kCorrectionsSection.title, s3 + 1);
    const std::size_t s5 = r.find(kNonRedBoxedSection.title, s4 + 1);
    const std::size_t s6 = r.find(kScoresSection.title, s5 + 1);
    const std::size_t zorl = r.find(kZorlSection.title, s6 + 1);
    const std::size_t s7 = r.find(kPointValuesSection.title, zorl + 1);
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
