#include "results/json_text.h"

#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "base/failure.h"

namespace vorskal::results {

namespace {

using nlohmann::json;

// The first format that carries the report's key, and the first that lists the kills.
constexpr std::int64_t kFirstKeyedVersion = 3;
constexpr std::int64_t kFirstKillsVersion = 4;

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

Side sideOf(const json& item, const char* name) {
    const std::string side = item.at(name).get<std::string>();
    if (side != "Allied" && side != "Hun" && side != "unknown") {
        throw std::runtime_error("a kill's " + std::string(name) + " is \"" + side +
                                 "\", not \"Allied\", \"Hun\" or \"unknown\"");
    }
    return sideNamed(side);
}

KillRow killOf(const json& item) {
    KillRow row;
    row.line = item.at("line").get<std::uint64_t>();
    row.time = textOrEmpty(item.at("time"));
    row.victim = item.at("victim").get<std::string>();
    row.victimAircraft = item.at("victimAircraft").get<std::string>();
    row.victimSide = sideOf(item, "victimSide");
    const json& killer = item.at("killer");
    if (!killer.is_null()) {
        row.killer = killer.get<std::string>();
    }
    row.killerAircraft = item.at("killerAircraft").get<std::string>();
    row.killerSide = sideOf(item, "killerSide");
    row.selfKill = item.at("selfKill").get<bool>();
    const json& takenBackBy = item.at("takenBackBy");
    if (!takenBackBy.is_null()) {
        row.takenBackBy = takenBackBy.get<std::int64_t>();
    }
    return row;
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

// Every list's rows become the model's rows as each is parsed and never stay
// in the parsed document (a large game has hundreds of thousands of
// `targets` and `arena.events`), and what the document holds besides is
// bounded: so a crafted file takes memory in proportion to its size. The
// members of the two depths a list lies at.
class Rows {
  public:
    bool parsed(int depth, json::parse_event_t event, json& value) {
        try {
            return take(depth, event, value);
        } catch (const json::exception& error) {
            throw std::runtime_error(error.what());  // a row, not the JSON, is wrong
        }
    }

    std::vector<FileFacts> inputs;
    std::vector<TypeValue> typeValues;
    std::vector<PilotRow> pilots;
    std::vector<Correction> corrections;
    std::vector<TargetRow> targets;
    std::vector<ArenaEvent> events;
    std::vector<KillRow> kills;
    std::vector<OverMaxStretch> overMax;
    std::vector<MinuteCount> timeline;
    std::vector<Warning> warnings;

  private:
    using Event = json::parse_event_t;

    // The list whose row a value at `depth` is in: "pilots", "arena.events",
    // ...; "" outside every list.
    std::string listAt(int depth) const {
        static const std::set<std::string> kTop = {"inputs", "pilots",   "corrections", "targets",
                                                   "kills",  "timeline", "warnings"};
        static const std::set<std::string> kInner = {"arena.events", "arena.overMax",
                                                     "settings.typeValues"};
        if (depth == 2 && path_.size() > 1 && kTop.count(path_[1]) != 0) {
            return path_[1];
        }
        if (depth == 3 && path_.size() > 2 && kInner.count(path_[1] + "." + path_[2]) != 0) {
            return path_[1] + "." + path_[2];
        }
        return "";
    }

    // The member a value at `depth` is, for a message: "pilots.name".
    std::string fieldAt(int depth) const {
        std::string field;
        for (std::size_t at = 1; at < path_.size() && at <= static_cast<std::size_t>(depth); ++at) {
            if (!path_[at].empty()) {
                field += (field.empty() ? "" : ".") + path_[at];
            }
        }
        return field;
    }

    bool take(int depth, Event event, json& value) {
        if (event == Event::object_start || event == Event::array_start) {
            if (depth >= static_cast<int>(kMaxJsonDepth)) {
                throw std::runtime_error(vorskal::quoted(fieldAt(depth)) +
                                         " is nested deeper than the " +
                                         std::to_string(kMaxJsonDepth) + " levels of a game");
            }
            if (event == Event::object_start && !listAt(depth).empty()) {
                rowStart_ = held_;
            }
            return true;
        }
        if (event == Event::key || (event == Event::value && value.is_string())) {
            const std::string& text = value.get_ref<const std::string&>();
            if (text.size() > kMaxJsonTextBytes) {
                throw std::runtime_error("a text of " + vorskal::quoted(fieldAt(depth)) +
                                         " is longer than " + std::to_string(kMaxJsonTextBytes) +
                                         " bytes, the most a text may hold");
            }
        }
        if (event == Event::key) {
            path_.resize(static_cast<std::size_t>(depth) + 1);
            path_.back() = value.get<std::string>();
        }
        if (++held_ > kMaxJsonHeldValues) {
            throw std::runtime_error("it holds more than " + std::to_string(kMaxJsonHeldValues) +
                                     " values besides its lists' rows (at " +
                                     vorskal::quoted(fieldAt(depth)) + ")");
        }
        if (event != Event::object_end) {
            return true;
        }
        const std::string list = listAt(depth);
        if (list.empty()) {
            return true;
        }
        if (list == "inputs") {
            inputs.push_back(
                {value.at("name").get<std::string>(), value.at("bytes").get<std::uint64_t>(),
                 value.at("lines").get<std::uint64_t>(), textOrEmpty(value.at("sha256"))});
        } else if (list == "settings.typeValues") {
            typeValues.push_back(
                {value.at("type").get<std::string>(), value.at("points").get<std::int64_t>()});
        } else if (list == "pilots") {
            pilots.push_back(pilotOf(value));
        } else if (list == "corrections") {
            corrections.push_back(correctionFromJson(value.dump()));  // the one reader
        } else if (list == "targets") {
            targets.push_back(targetOf(value));
        } else if (list == "arena.events") {
            events.push_back(arenaEventOf(value));
        } else if (list == "kills") {
            kills.push_back(killOf(value));
        } else if (list == "arena.overMax") {
            overMax.push_back(stretchOf(value));
        } else if (list == "timeline") {
            timeline.push_back(minuteOf(value));
        } else {
            const json& line = value.at("line");
            warnings.push_back({value.at("code").get<std::string>(), textOrEmpty(value.at("file")),
                                line.is_null() ? 0 : line.get<std::uint64_t>(),
                                value.at("message").get<std::string>(),
                                textOrEmpty(value.at("subject")),
                                value.at("accepted").get<bool>()});
        }
        held_ = rowStart_;  // the row's values go with it
        return false;
    }

    std::vector<std::string> path_{""};
    std::size_t held_ = 0;
    std::size_t rowStart_ = 0;
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

    doc.at("inputs");  // the lists' rows are Rows'

    const json& settings = doc.at("settings");
    game.settings.map = settings.at("map").get<std::string>();
    game.settings.killPoints = settings.at("killPoints").get<std::int64_t>();
    game.settings.deathPoints = settings.at("deathPoints").get<std::int64_t>();
    settings.at("typeValues");
    doc.at("pilots");
    game.allied = totalsOf(doc.at("teams").at("Allied"));
    game.hun = totalsOf(doc.at("teams").at("Hun"));
    for (const char* list : {"corrections", "warnings", "timeline"}) {
        doc.at(list);
    }
    doc.at("arena").at("overMax");
    return game;
}

}  // namespace

GameResults gameFromJson(std::string_view text) {
    if (text.size() > kMaxResultsJsonBytes) {
        throw std::runtime_error("is larger than " + std::to_string(kMaxResultsJsonBytes >> 20) +
                                 " MiB, the most a game's results may be");
    }
    json doc;
    Rows lists;
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
    if (version < kFirstKeyedVersion) {
        throw std::runtime_error("has results format version " + std::to_string(version) +
                                 ", which carries no key of the game; import the game's report "
                                 "file (vorskal.log) instead");
    }
    try {
        GameResults game = gameOf(doc);
        game.inputs = std::move(lists.inputs);
        game.settings.typeValues = std::move(lists.typeValues);
        game.pilots = std::move(lists.pilots);
        game.corrections = std::move(lists.corrections);
        game.targets = std::move(lists.targets);
        game.arena = std::move(lists.events);
        if (version >= kFirstKillsVersion) {
            doc.at("kills");
            game.kills = std::move(lists.kills);
            game.killsListed = true;
        }
        game.overMax = std::move(lists.overMax);
        game.timeline = std::move(lists.timeline);
        game.warnings = std::move(lists.warnings);
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
