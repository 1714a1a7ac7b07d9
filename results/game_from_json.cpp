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

TargetRow targetOf(const json& item) {
    return {item.at("line").get<std::uint64_t>(),
            item.at("text").get<std::string>(),
            item.at("key").get<std::string>(),
            textOrEmpty(item.at("targetType")),
            sideNamed(item.at("team").get<std::string>()),
            item.at("teamCode").get<std::int64_t>(),
            item.at("points").get<std::int64_t>(),
            item.at("redBoxed").get<bool>(),
            textOrEmpty(item.at("pilot")),
            textOrEmpty(item.at("reason"))};
}

ArenaEvent arenaEventOf(const json& item) {
    const json& seconds = item.at("seconds");
    const std::string event = item.at("event").get<std::string>();
    if (event != "entry" && event != "exit") {
        throw std::runtime_error("an arena event is \"" + event + "\", not \"entry\" or \"exit\"");
    }
    return {item.at("line").get<std::uint64_t>(),
            textOrEmpty(item.at("time")),
            seconds.is_null() ? 0 : seconds.get<std::int32_t>(),
            sideNamed(item.at("side").get<std::string>()),
            event == "entry",
            item.at("pilot").get<std::string>(),
            item.at("inGameAfter").get<std::int64_t>()};
}

OverMaxStretch stretchOf(const json& item) {
    return {sideNamed(item.at("side").get<std::string>()),
            item.at("pilotNumber").get<int>(),
            textOrEmpty(item.at("start")),
            textOrEmpty(item.at("end")),
            item.at("minutes").get<double>(),
            item.at("points").get<std::int64_t>()};
}

MinuteCount minuteOf(const json& item) {
    return {item.at("minute").get<std::int32_t>(),
            item.at("alliedKills").get<std::int64_t>(),
            item.at("hunKills").get<std::int64_t>(),
            item.at("alliedDeaths").get<std::int64_t>(),
            item.at("hunDeaths").get<std::int64_t>(),
            item.at("alliedKillsTakenBack").get<std::int64_t>(),
            item.at("hunKillsTakenBack").get<std::int64_t>(),
            item.at("alliedDeathsTakenBack").get<std::int64_t>(),
            item.at("hunDeathsTakenBack").get<std::int64_t>()};
}

// The rows of the two long lists (a large game has hundreds of thousands)
// become the model's rows as each is parsed and never stay in the parsed
// document: `targets[i]` and `arena.events[i]`.
class LongLists {
  public:
    bool parsed(int depth, json::parse_event_t event, json& value) {
        try {
            return take(depth, event, value);
        } catch (const json::exception& error) {
            throw std::runtime_error(error.what());  // a row, not the JSON, is wrong
        }
    }

    std::vector<TargetRow> targets;
    std::vector<ArenaEvent> events;

  private:
    bool take(int depth, json::parse_event_t event, json& value) {
        if (event == json::parse_event_t::key && depth == 1) {
            member_ = value.get<std::string>();
        } else if (event == json::parse_event_t::key && depth == 2 && member_ == "arena") {
            arenaMember_ = value.get<std::string>();
        } else if (event == json::parse_event_t::object_end && depth == 2 && member_ == "targets") {
            targets.push_back(targetOf(value));
            return false;
        } else if (event == json::parse_event_t::object_end && depth == 3 && member_ == "arena" &&
                   arenaMember_ == "events") {
            events.push_back(arenaEventOf(value));
            return false;
        }
        return true;
    }

    std::string member_;
    std::string arenaMember_;
};

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
    for (const json& stretch : doc.at("arena").at("overMax")) {
        game.overMax.push_back(stretchOf(stretch));
    }
    for (const json& minute : doc.at("timeline")) {
        game.timeline.push_back(minuteOf(minute));
    }
    return game;
}

}  // namespace

GameResults gameFromJson(std::string_view text) {
    json doc;
    LongLists lists;
    try {
        doc = json::parse(text, [&](int depth, json::parse_event_t event, json& value) {
            return lists.parsed(depth, event, value);
        });
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("is not JSON: " + std::string(error.what()));
    } catch (const std::runtime_error& error) {
        throw std::runtime_error("is not the results of a game: " + std::string(error.what()));
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
        game.targets = std::move(lists.targets);
        game.arena = std::move(lists.events);
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
