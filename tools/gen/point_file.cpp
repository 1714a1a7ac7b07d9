#include "gen/point_file.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vorskal::gen {
namespace {

constexpr std::array<std::string_view, 7> kMaps = {"Verdun", "Somme",  "Ypres",   "Cambrai",
                                                   "Arras",  "Amiens", "Messines"};
// No type name holds another, a map name, "Kill" or "Death".
constexpr std::array<std::string_view, 12> kTypes = {
    "Depot",     "Bridge",    "Factory",  "Airfield",   "Hangar",    "Railyard",
    "Ammo Dump", "Fuel Tank", "Barracks", "Radio Mast", "Artillery", "Balloon"};

// `count` distinct numbers of lo to hi, none of them in `taken`.
std::vector<int> drawNumbers(Rng& rng, int lo, int hi, int count, const std::vector<int>& taken) {
    std::vector<int> pool;
    for (int n = lo; n <= hi; ++n) {
        if (std::find(taken.begin(), taken.end(), n) == taken.end()) {
            pool.push_back(n);
        }
    }
    std::vector<int> numbers;
    for (int i = 0; i < count && !pool.empty(); ++i) {
        const auto at = static_cast<std::ptrdiff_t>(rng.below(pool.size()));
        numbers.push_back(pool[static_cast<std::size_t>(at)]);
        pool.erase(pool.begin() + at);
    }
    return numbers;
}

// The flown map has targets of one, two and three digits, each length
// shared by both teams, and number 20 among them (the tally looks it up
// before the first pass). Other maps' blocks are smaller.
MapBlock makeBlock(Rng& rng, std::string_view name, bool flown) {
    MapBlock block{std::string(name), {}};
    struct Range {
        int lo, hi, fewest, most;
    };
    const std::array<Range, 3> ranges =
        flown ? std::array<Range, 3>{{{1, 9, 4, 8}, {10, 99, 20, 40}, {100, 399, 8, 20}}}
              : std::array<Range, 3>{{{1, 9, 1, 4}, {10, 99, 5, 15}, {100, 399, 2, 6}}};
    for (const Range& range : ranges) {
        std::vector<int> numbers;
        if (flown && range.lo == 10) {
            numbers.push_back(20);
        }
        const std::vector<int> drawn =
            drawNumbers(rng, range.lo, range.hi, rng.between(range.fewest, range.most), numbers);
        numbers.insert(numbers.end(), drawn.begin(), drawn.end());
        const std::uint64_t firstTeam = rng.below(2);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const int team = (i + firstTeam) % 2 == 0 ? 1 : 2;
            block.targets.push_back(
                Target{numbers[i], std::string(rng.pick(std::span<const std::string_view>(kTypes))),
                       team});
        }
    }
    std::sort(block.targets.begin(), block.targets.end(),
              [](const Target& a, const Target& b) { return a.number < b.number; });
    return block;
}

}  // namespace

const MapBlock& PointFile::flownMap() const {
    for (const MapBlock& block : blocks) {
        if (block.name == mapName) {
            return block;
        }
    }
    return blocks.front();
}

PointFile makePointFile(Rng& rng) {
    PointFile file;
    std::vector<std::string_view> maps(kMaps.begin(), kMaps.end());
    const int blockCount = rng.between(1, 3);
    const int flownAt = rng.between(0, blockCount - 1);
    for (int i = 0; i < blockCount; ++i) {
        const auto at = static_cast<std::ptrdiff_t>(rng.below(maps.size()));
        const std::string_view name = maps[static_cast<std::size_t>(at)];
        maps.erase(maps.begin() + at);
        file.blocks.push_back(makeBlock(rng, name, i == flownAt));
        if (i == flownAt) {
            file.mapName = std::string(name);
        }
    }
    file.killPoints = rng.between(5, 15);
    file.deathPoints = -rng.between(1, 8);
    for (std::string_view type : kTypes) {
        file.typeValues.emplace_back(std::string(type), rng.between(2, 30));
    }
    return file;
}

std::string PointFile::text() const {
    std::string out;
    auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    line("; ZORL league point values");
    line("Map=" + mapName);
    for (const MapBlock& block : blocks) {
        line(block.name);
        for (const Target& target : block.targets) {
            line(std::to_string(target.number) + "-" + target.type + "," +
                 std::to_string(target.team));
        }
        line("");
    }
    line("Kill=" + std::to_string(killPoints));
    line("Death=" + std::to_string(deathPoints));
    for (const auto& [type, value] : typeValues) {
        line(type + "=" + std::to_string(value));
    }
    return out;
}

}  // namespace vorskal::gen
