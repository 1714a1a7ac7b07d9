#include "results/json_read.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vorskal::results {

Side sideNamed(std::string_view name) {
    return name == "Allied" ? Side::Allied : name == "Hun" ? Side::Hun : Side::Unknown;
}

Correction correctionFromJson(std::string_view text) {
    try {
        const nlohmann::json json = nlohmann::json::parse(text);
        Correction correction;
        correction.kind = json.at("kind").get<std::string>();
        correction.applied = json.at("applied").get<bool>();
        correction.note = json.at("note").get<std::string>();
        for (const nlohmann::json& line : json.at("evidence")) {
            correction.evidence.push_back(
                {line.at("line").get<std::uint64_t>(), line.at("text").get<std::string>()});
        }
        for (const nlohmann::json& move : json.at("moves")) {
            const nlohmann::json& pilot = move.at("pilot");
            correction.moves.push_back(
                {pilot.is_null() ? "" : pilot.get<std::string>(),
                 sideNamed(move.at("team").get<std::string>()), move.at("field").get<std::string>(),
                 move.at("by").get<std::int64_t>(), move.at("points").get<std::int64_t>()});
        }
        return correction;
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("a correction kept in the temporary file does not read back: " +
                                 std::string(error.what()));
    }
}

}  // namespace vorskal::results
