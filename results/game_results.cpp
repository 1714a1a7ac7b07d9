#include "results/game_results.h"

#include <array>
#include <utility>

namespace vorskal::results {
namespace {

constexpr std::array kSides = {std::pair{Side::Allied, std::string_view("Allied")},
                               std::pair{Side::Hun, std::string_view("Hun")},
                               std::pair{Side::Unknown, std::string_view("unknown")}};
constexpr std::array kKinds = {
    std::pair{CorrectionKind::MultiDeath, std::string_view("multi-death")},
    std::pair{CorrectionKind::FighterTarget, std::string_view("fighter-target")},
    std::pair{CorrectionKind::OverMax, std::string_view("over-max")}};
constexpr std::array kFields = {
    std::pair{MoveField::Kills, std::string_view("kills")},
    std::pair{MoveField::Deaths, std::string_view("deaths")},
    std::pair{MoveField::TargetsDestroyed, std::string_view("targetsDestroyed")},
    std::pair{MoveField::TargetPoints, std::string_view("targetPoints")},
    std::pair{MoveField::OverMaxPenalty, std::string_view("overMaxPenalty")}};

template <typename Names, typename Value>
std::string_view nameOf(const Names& names, Value value) {
    for (const auto& [each, name] : names) {
        if (each == value) {
            return name;
        }
    }
    return {};
}

template <typename Names>
auto valueNamed(const Names& names, std::string_view name)
    -> std::optional<typename Names::value_type::first_type> {
    for (const auto& [each, text] : names) {
        if (text == name) {
            return each;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string_view sideName(Side side) {
    return nameOf(kSides, side);
}

std::string_view kindName(CorrectionKind kind) {
    return nameOf(kKinds, kind);
}

std::string_view fieldName(MoveField field) {
    return nameOf(kFields, field);
}

Side sideNamed(std::string_view name) {
    return valueNamed(kSides, name).value_or(Side::Unknown);
}

std::optional<CorrectionKind> kindNamed(std::string_view name) {
    return valueNamed(kKinds, name);
}

std::optional<MoveField> fieldNamed(std::string_view name) {
    return valueNamed(kFields, name);
}

}  // namespace vorskal::results
