#include "league/post/game_post.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

#include "league/store/game_store.h"

namespace vorskal::league {

namespace {

using nlohmann::ordered_json;

constexpr std::size_t kTopPilots = 3;

// The best scores of the game, highest first (ties in the report's order).
std::vector<results::PilotRow> topPilots(const StoredGame& game) {
    std::vector<results::PilotRow> rows = game.results.pilots;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.score > b.score; });
    rows.resize(std::min(rows.size(), kTopPilots));
    return rows;
}

std::size_t correctionsApplied(const StoredGame& game) {
    return static_cast<std::size_t>(
        std::count_if(game.results.corrections.begin(), game.results.corrections.end(),
                      [](const results::Correction& c) { return c.applied; }));
}

std::string pageAddress(const StoredGame& game, const std::string& siteAddress) {
    if (siteAddress.empty()) {
        return {};
    }
    const std::string base = siteAddress.back() == '/' ? siteAddress : siteAddress + "/";
    return base + "games/game-" + std::to_string(game.summary.id) + ".html";
}

std::string result(const StoredGame& game) {
    const std::int64_t allied = game.results.allied.final;
    const std::int64_t hun = game.results.hun.final;
    return allied > hun ? "Allied win" : hun > allied ? "Hun win" : "a draw";
}

}  // namespace

std::string postText(const StoredGame& game, const std::string& siteAddress) {
    const GameSummary& g = game.summary;
    std::string text = "Game " + std::to_string(g.id) + " (season " + g.season +
                       "): " + game.results.settings.map + ", " +
                       (g.playedOn.empty() ? "day unknown" : "played " + g.playedOn) + "\n";
    text += "Allied " + std::to_string(game.results.allied.final) + ", Hun " +
            std::to_string(game.results.hun.final) + " (" + result(game) + ")\n";
    const std::vector<results::PilotRow> top = topPilots(game);
    if (!top.empty()) {
        text += "Top pilots:";
        for (std::size_t i = 0; i < top.size(); ++i) {
            text += (i == 0 ? " " : ", ") + top[i].name + " (" +
                    std::string(results::sideName(top[i].team)) + ") " +
                    std::to_string(top[i].score);
        }
        text += "\n";
    }
    text += "Corrections applied: " + std::to_string(correctionsApplied(game)) + "\n";
    if (const std::string page = pageAddress(game, siteAddress); !page.empty()) {
        text += page + "\n";
    }
    return text;
}

std::string chatPostBody(const StoredGame& game, const std::string& siteAddress) {
    const std::string text = postText(game, siteAddress);
    return ordered_json{{"text", text}, {"content", text}}.dump(
        -1, ' ', false, ordered_json::error_handler_t::replace);
}

std::string plainPostBody(const StoredGame& game, const std::string& siteAddress) {
    const GameSummary& g = game.summary;
    ordered_json top = ordered_json::array();
    for (const results::PilotRow& row : topPilots(game)) {
        top.push_back({{"name", row.name},
                       {"team", std::string(results::sideName(row.team))},
                       {"score", row.score}});
    }
    const std::string page = pageAddress(game, siteAddress);
    return ordered_json{
        {"formatVersion", kPostFormatVersion},
        {"game", g.id},
        {"key", g.key},
        {"season", g.season},
        {"map", game.results.settings.map},
        {"playedOn", g.playedOn.empty() ? ordered_json() : ordered_json(g.playedOn)},
        {"gameDate", g.gameDate},
        {"allied", game.results.allied.final},
        {"hun", game.results.hun.final},
        {"topPilots", top},
        {"correctionsApplied", correctionsApplied(game)},
        {"page", page.empty() ? ordered_json() : ordered_json(page)}}
        .dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

}  // namespace vorskal::league
