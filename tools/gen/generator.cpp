#include "gen/generator.h"

#include <cctype>
#include <fstream>
#include <stdexcept>

#include "gen/log_writer.h"
#include "gen/simulation.h"
#include "gen/world.h"

namespace vorskal::gen {
namespace {

// The world and the course of the game draw from separate streams, so the
// point-value file does not depend on the size of the game.
World worldOf(std::uint64_t seed) {
    Rng worldRng(seed ^ 0x5EEDF11E5ULL);
    return makeWorld(worldRng);
}

}  // namespace

std::optional<std::uint64_t> parseSize(std::string_view text) {
    std::uint64_t value = 0;
    std::size_t at = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
        if (value > (UINT64_MAX - 9) / 10) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
        ++at;
    }
    if (at == 0) {
        return std::nullopt;
    }
    std::string unit;
    for (char c : text.substr(at)) {
        unit += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    std::uint64_t scale = 1;
    if (!unit.empty() && (unit[0] == 'K' || unit[0] == 'M' || unit[0] == 'G')) {
        scale = unit[0] == 'K' ? 1ULL << 10 : unit[0] == 'M' ? 1ULL << 20 : 1ULL << 30;
        unit.erase(0, 1);
        if (unit == "IB") {
            unit = "B";
        }
    }
    if (!unit.empty() && unit != "B") {
        return std::nullopt;
    }
    if (value > UINT64_MAX / scale) {
        return std::nullopt;
    }
    return value * scale;
}

GameSummary writeServerLogs(const GameOptions& options, PieceSink& sink) {
    World world = worldOf(options.seed);
    world.dayFirst = options.dayFirst;
    LogWriter writer(sink, options.bytes, options.pieces);
    Simulation game(world, Rng(options.seed), writer);
    return game.run(options.bytes);
}

std::string pointFileText(std::uint64_t seed) {
    return worldOf(seed).points.text();
}

GameSummary writeGameDirectory(const GameOptions& options, const std::filesystem::path& directory) {
    const std::filesystem::path iniPath = directory / "vorskal.ini";
    std::ofstream ini(iniPath, std::ios::binary | std::ios::trunc);
    ini << pointFileText(options.seed);
    ini.close();
    if (!ini) {
        throw std::runtime_error("cannot write " + iniPath.string());
    }
    DirectorySink sink(directory);
    return writeServerLogs(options, sink);
}

}  // namespace vorskal::gen
