#include "app/cli/live_run.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <ostream>

#include "app/live_logs.h"
#include "base/log_text.h"
#include "base/system_files.h"
#include "html/game_page.h"
#include "html/page_rows.h"

namespace vorskal {
namespace {

std::tm localTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}

std::string clockText(std::time_t moment) {
    const std::tm local = localTime(moment);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

// One refresh: the folder as it was at `look`, tallied, and the outputs
// replaced.
void refresh(const LiveAsked& asked, FileService& files, const LogLook& look, Clock& clock,
             std::ostream& out, std::ostream& err) {
    const std::time_t now = clock.now();
    Session session({asked.json, asked.csv, false, false, asked.showAddresses}, asked.directory,
                    now);
    std::optional<html::PageRows> pageRows;
    if (!asked.htmlFile.empty()) {
        pageRows.emplace(session.results());
    }
    TallyState state;
    applyOptions(state, asked.options);
    RunConfig config;
    config.results = &session.results();
    const Outcome outcome = tallyAsLooked(files, look, state, clock, config);
    const std::string asOf = clockText(now);
    if (outcome.kind != OutcomeKind::Completed) {
        err << "vorskal-tally: live, as of " << asOf << ": " << logText(outcome.message) << "\n";
        return;
    }
    try {
        session.writeOutputs(out);
        if (pageRows) {
            const html::LiveNote note{asked.everySeconds, asOf};
            html::writeGamePage(session.results(), pageRows->lists(), asked.htmlFile, &note);
        }
    } catch (const std::exception& failure) {
        err << "vorskal-tally: " << logText(failure.what()) << "\n";
        return;
    }
    const results::GameResults& game = session.results();
    out << "live, as of " << asOf << ": Allied " << game.allied.final << ", Hun " << game.hun.final
        << "\n"
        << std::flush;
}

}  // namespace

std::optional<int> minuteOfDay(const std::string& text) {
    if (text.size() != 5 || text[2] != ':') {
        return std::nullopt;
    }
    for (const std::size_t at : {0u, 1u, 3u, 4u}) {
        if (text[at] < '0' || text[at] > '9') {
            return std::nullopt;
        }
    }
    const int hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
    if (hours > 23 || minutes > 59) {
        return std::nullopt;
    }
    return hours * 60 + minutes;
}

int secondsUntil(const std::tm& local, int minute) {
    constexpr int kDay = 24 * 60 * 60;
    const int now = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
    return ((minute * 60 - now) % kDay + kDay) % kDay;
}

LiveEnding followGame(const LiveAsked& asked, Clock& clock, FollowPace& pace, std::ostream& out,
                      std::ostream& err) {
    SystemFileService files(asked.directory);
    std::optional<std::time_t> until;
    if (asked.untilMinute) {
        const std::time_t now = clock.now();
        until = now + secondsUntil(localTime(now), *asked.untilMinute);
    }
    LogLook seen = lookAtLogs(files);
    std::time_t grew = clock.now();
    if (seen.empty()) {
        out << "waiting for ux7server0.log in " << logText(asked.directory) << "\n" << std::flush;
    } else {
        refresh(asked, files, seen, clock, out, err);
    }
    for (;;) {
        int wait = asked.everySeconds;
        if (until) {
            const std::time_t left = *until - clock.now();
            if (left <= 0) {
                return {LiveEnd::Until, "it is " + clockText(*until) + " (--until)"};
            }
            wait = static_cast<int>(std::min<std::time_t>(wait, left));
        }
        if (pace.wait(wait)) {
            return {LiveEnd::Asked, "asked to stop"};
        }
        const std::time_t now = clock.now();
        LogLook look;
        try {
            look = lookAtLogs(files);
        } catch (const std::exception& failure) {
            // A log taken away between two calls: the next look tells.
            err << "vorskal-tally: " << logText(failure.what()) << "\n";
            continue;
        }
        if (const std::string restart = restartBetween(seen, look); !restart.empty()) {
            return {LiveEnd::Restarted, restart};
        }
        if (grewBetween(seen, look, false)) {
            grew = now;
        }
        if (grewBetween(seen, look, true)) {
            refresh(asked, files, look, clock, out, err);
        }
        seen = std::move(look);
        if (asked.idleMinutes > 0 && now - grew >= std::time_t{asked.idleMinutes} * 60) {
            return {LiveEnd::Idle,
                    "no log grew for " + std::to_string(asked.idleMinutes) + " minutes (--idle)"};
        }
    }
}

}  // namespace vorskal
