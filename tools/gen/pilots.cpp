#include "gen/pilots.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace vorskal::gen {
namespace {

constexpr std::array kAllied = {
    Aircraft{"SOPWITH_CAMEL", 1}, Aircraft{"SPAD13", 1},    Aircraft{"SE5A", 1},
    Aircraft{"NIEUPORT_17", 20},  Aircraft{"AIRCO_DH4", 2},
};
constexpr std::array kHun = {
    Aircraft{"FOKKER_DVII", 1},
    Aircraft{"ALBATROS_DII", 20},
    Aircraft{"PFALZ_DIII", 1},
    Aircraft{"HALBERSTADT_CL2", 2},
};

constexpr std::array<std::string_view, 72> kWords = {
    "Biggles",  "Snoopy",  "Kestrel",   "Falcon",   "Raven",    "Hawk",     "Eagle",    "Osprey",
    "Merlin",   "Harrier", "Condor",    "Vulture",  "Buzzard",  "Swift",    "Heron",    "Magpie",
    "Jackdaw",  "Rook",    "Baron",     "Count",    "Duke",     "Lucky",    "Dusty",    "Ghost",
    "Storm",    "Thunder", "Blitz",     "Comet",    "Arrow",    "Lancer",   "Hussar",   "Uhlan",
    "Fritz",    "Tommy",   "Digger",    "Poilu",    "Yankee",   "Ritter",   "Maverick", "Gremlin",
    "Banshee",  "Wildcat", "Bulldog",   "Terrier",  "Badger",   "Otter",    "Weasel",   "Ferret",
    "Stoat",    "Viper",   "Cobra",     "Mamba",    "Scorpion", "Hornet",   "Wasp",     "Gadfly",
    "Kingfish", "Pelican", "Albion",    "Bavarian", "Saxon",    "Prussian", "Flanders", "Picardy",
    "Lorraine", "Vosges",  "Camembert", "Pretzel",  "Zeppelin", "Gotha",    "Taube",    "Brisfit",
};
constexpr std::array<std::string_view, 8> kRanks = {"Lt_",   "Capt_", "Maj_", "Sgt_",
                                                    "Oblt_", "Hptm_", "Lt ",  "Vzfw_"};
constexpr std::array<std::string_view, 8> kUnits = {"JG1",    "JG26", "No56", "No3",
                                                    "Jasta5", "94th", "Spa3", "Kasta2"};
constexpr std::array<std::string_view, 11> kFragments = {
    "FOKKE", "ALBAT", "PFALZ", "HALBE", "SOPWI", "NIEUP", "SPAD", "MORAN", "AIRCO", "SE5A", "UDP"};

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string candidate(Rng& rng) {
    const std::string_view word = rng.pick(std::span<const std::string_view>(kWords));
    std::string name;
    switch (rng.below(6)) {
        case 0:
        case 1:
            name = word;
            break;
        case 2:
            name = std::string(word) + std::to_string(rng.between(2, 99));
            break;
        case 3:
            name = std::string(rng.pick(std::span<const std::string_view>(kRanks))) +
                   std::string(word);
            break;
        case 4:
            name = std::string(rng.pick(std::span<const std::string_view>(kUnits))) + "_" +
                   std::string(word);
            break;
        default:
            name = std::string(word) + "_" +
                   std::string(rng.pick(std::span<const std::string_view>(kWords)));
            break;
    }
    return name;
}

bool acceptable(const std::string& name, const std::vector<std::string>& lowerNames) {
    if (name.size() < 3 || name.size() > 15) {
        return false;
    }
    std::string upper(name);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (std::string_view fragment : kFragments) {
        if (upper.find(fragment) != std::string::npos) {
            return false;
        }
    }
    const std::string lower = lowered(name);
    return std::none_of(lowerNames.begin(), lowerNames.end(), [&](const std::string& other) {
        return other.find(lower) != std::string::npos || lower.find(other) != std::string::npos ||
               other.substr(0, 11) == lower.substr(0, 11);
    });
}

}  // namespace

std::span<const Aircraft> aircraftOf(Side side) {
    if (side == Side::Allied) {
        return kAllied;
    }
    return kHun;
}

std::vector<std::string> makePilotNames(Rng& rng, int count) {
    std::vector<std::string> names;
    std::vector<std::string> lowerNames;
    for (int attempt = 0; static_cast<int>(names.size()) < count; ++attempt) {
        if (attempt > 1'000'000) {
            throw std::runtime_error("cannot make " + std::to_string(count) + " pilot names");
        }
        std::string name = candidate(rng);
        if (acceptable(name, lowerNames)) {
            lowerNames.push_back(lowered(name));
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace vorskal::gen
