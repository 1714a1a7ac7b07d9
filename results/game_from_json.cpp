#include "results/json_text.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vorskal::results {

namespace {

using nlohmann::json;

std::string textOrEmpty(const json& value) {
    return value.is_null() ? std::string() : value.get<std::string>();
}

TeamTotals totalsOf(const json& item) {
    return {item.at("kills").get<std::int64_t>(),
            item.at("deaths").get<std::int64_t>(),
            item.at("targetsDestroyed").get<std::int64_t>(),
            item.at("targetPoints").get<std::int64_t>(),
            item.at("score").get<std::int64_t>(),
            item.at("overMaxPenalty").get<std::int64_t>(),
            item.at("final").get<std::int64_t>()};
}

PilotRow pilotOf(const json& item) {
    PilotRow row;
    row.name = item.at("name").get<std::string>();
    const std::string team = item.at("team").get<std::string>();
    if (team != "Allied" && team != "Hun" && team != "unknown") {
        throw std::runtime_error("a pilot's team is \"" + team +
                                 "\", not \"Allied\", \"Hun\" or \"unknown\"");
    }
    row.team = sideNamed(team);
    row.teamCode = item.at("teamCode").get<std::int64_t>();
    row.kills = item.at("kills").get<std::int64_t>();
    row.deaths = item.at("deaths").get<std::int64_t>();
    row.targetsDestroyed = item.at("targetsDestroyed").get<std::int64_t>();
    row.targetPoints = item.at("targetPoints").get<std::int64_t>();
    row.locations = item.at("locations").get<std::vector<std::string>>();
    row.score = item.at("score").get<std::int64_t>();
    return row;
}

// The long lists a consumer of the whole game does not keep are dropped
// while parsing, so that they never take memory.
bool keptMember(int depth, json::parse_event_t event, json& parsed) {
    return !(event == json::parse_event_t::key && depth == 1 &&
             (parsed == "targets" || parsed == "arena" || parsed == "timeline"));
}

GameResults gameOf(const json& doc) {
    GameResults game;
    const json& tool = doc.at("tool");
    game.toolName = tool.at("name").get<std::string>();
    game.toolVersion = tool.at("version").get<std::string>();

    const json& run = doc.at("run");
    game.run.startedAt = run.at("startedAt").get<std::string>();
    game.run.directory = run.at("directory").get<std::string>();
    const json& options = run.at("options");
    game.run.overMaxPilotCorrection = options.at("overMaxPilotCorrection").get<bool>();
    game.run.multiDeathCorrection = options.at("multiDeathCorrection").get<bool>();
    game.run.fighterTargetCorrection = options.at("fighterTargetCorrection").get<bool>();
    game.run.redBoxedOnly = options.at("redBoxedOnly").get<bool>();

    const json& facts = doc.at("game");
    game.gameDate = textOrEmpty(facts.at("date"));
    game.firstTime = textOrEmpty(facts.at("firstTime"));
    game.lastTime = textOrEmpty(facts.at("lastTime"));

    const json& report = doc.at("report");
    game.report = {textOrEmpty(report.at("key")), textOrEmpty(report.at("sha256"))};

    for (const json& input : doc.at("inputs")) {
        game.inputs.push_back(
            {input.at("name").get<std::string>(), input.at("bytes").get<std::uint64_t>(),
             input.at("lines").get<std::uint64_t>(), textOrEmpty(input.at("sha256"))});
    }

    const json& settings = doc.at("settings");
    game.settings.map = settings.at("map").get<std::string>();
    game.settings.killPoints = settings.at("killPoints").get<std::int64_t>();
    game.settings.deathPoints = settings.at("deathPoints").get<std::int64_t>();
    for (const json& type : settings.at("typeValues")) {
        game.settings.typeValues.push_back(
            {type.at("type").get<std::string>(), type.at("points").get<std::int64_t>()});
    }

    for (const json& pilot : doc.at("pilots")) {
        game.pilots.push_back(pilotOf(pilot));
    }
    game.allied = totalsOf(doc.at("teams").at("Allied"));
    game.hun = totalsOf(doc.at("teams").at("Hun"));
    for (const json& correction : doc.at("corrections")) {
        game.corrections.push_back(correctionFromJson(correction.dump()));  // the one reader
    }
    for (const json& warning : doc.at("warnings")) {
        const json& line = warning.at("line");
        game.warnings.push_back(
            {warning.at("code").get<std::string>(), textOrEmpty(warning.at("file")),
             line.is_null() ? 0 : line.get<std::uint64_t>(),
             warning.at("message").get<std::string>(), textOrEmpty(warning.at("subject")),
             warning.at("accepted").get<bool>()});
    }
    return game;
}

}  // namespace

GameResults gameFromJson(std::string_view text) {
    json doc;
    try {
        doc = json::parse(text, keptMember);
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("is not JSON: " + std::string(error.what()));
    }
    if (!doc.is_object() || !doc.contains("formatVersion") ||
        !doc["formatVersion"].is_number_integer()) {
        throw std::runtime_error("is not the results of a game (no formatVersion)");
    }
    const std::int64_t version = doc["formatVersion"].get<std::int64_t>();
    if (version > kFormatVersion) {
        throw std::runtime_error("has results format version " + std::to_string(version) +
                                 ", newer than this program's " + std::to_string(kFormatVersion) +
                                 "; use a newer vorskal-league");
    }
    if (version < kFormatVersion) {
        throw std::runtime_error("has results format version " + std::to_string(version) +
                                 ", which carries no key of the game; import the game's report "
                                 "file (vorskal.log) instead");
    }
    try {
        GameResults game = gameOf(doc);
        if (game.report.key.size() != 64 ||
            game.report.key.find_first_not_of("0123456789abcdef") != std::string::npos) {
            throw std::runtime_error("report.key is not 64 lower-case hex digits");
        }
        return game;
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("is not the results of a game: " + std::string(error.what()));
    } catch (const std::invalid_argument& error) {
        throw std::runtime_error("is not the results of a game: " + std::string(error.what()));
    }
}

}  // namespace vorskal::results
