#pragma once
// A count and its noun for a message: "1 game", "2 games", "0 games". The
// nouns the programs count take an "s" in the plural.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal {

inline std::string counted(std::int64_t n, std::string_view noun) {
    return std::to_string(n) + " " + std::string(noun) + (n == 1 ? "" : "s");
}

}  // namespace vorskal
