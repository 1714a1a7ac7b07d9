#include "results/json_read.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vorskal::results {

Correction correctionFromJson(std::string_view text) {
    try {
        const nlohmann::json json = nlohmann::json::parse(text);
        Correction correction;
        const std::optional<CorrectionKind> kind = kindNamed(json.at("kind").get<std::string>());
        if (!kind) {
            throw std::runtime_error("a correction kept in the temporary file has an unknown kind");
        }
        correction.kind = *kind;
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
                 sideNamed(move.at("team").get<std::string>()),
                 fieldNamed(move.at("field").get<std::string>()).value_or(MoveField::Kills),
                 move.at("by").get<std::int64_t>(), move.at("points").get<std::int64_t>()});
        }
        return correction;
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("a correction kept in the temporary file does not read back: " +
                                 std::string(error.what()));
    }
}

}  // namespace vorskal::results
