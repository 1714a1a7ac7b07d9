#include "tests/support/game_dir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "tests/support/memory_files.h"

namespace vorskal::testing {

GameDir::GameDir() {
    // A name no other folder has: create_directory fails on one that exists.
    static std::random_device seed;
    static std::mt19937_64 names(seed());
    const auto temp = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = temp / ("vorskal-test-" + std::to_string(names()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

GameDir::~GameDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void GameDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string GameDir::read(const std::string& name) const {
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool GameDir::exists(const std::string& name) const {
    return std::filesystem::exists(path_ + "/" + name);
}

void GameDir::writeAll(const std::map<std::string, std::string>& files) const {
    for (const auto& [name, bytes] : files) {
        write(name, bytes);
    }
}

void GameDir::writeOneKill(const std::string& log, const std::string& killLine) const {
    write(log,
          crlf({"12/06/26 20:15:03 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          "
                "SOPWITH_CAMEL"}));
    write("vorskal.ini", crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", "", killLine,
                               "Death=-5", "Bridge=15", "Depot=10", "Factory=20", "Hangar=5",
                               "Tank=5", "Truck=2", "Train=8"}));
}

Outcome GameDir::tally(const TallyOptions& options, const RunConfig& config) const {
    FixedClock clock;
    return tallyDirectory(path_, options, clock, config);
}

std::map<std::string, std::string> sampleGame() {
    return entriesOf(std::string(VORSKAL_SOURCE_DIR) + "/examples/sample-game");
}

std::map<std::string, std::string> entriesOf(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        const fs::file_status status = entry.symlink_status();
        if (fs::is_symlink(status)) {
            entries[name] = "link to " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_regular_file(status)) {
            std::ifstream in(entry.path(), std::ios::binary);
            entries[name] = std::string(std::istreambuf_iterator<char>(in), {});
        } else {
            entries[name] = fs::is_directory(status) ? "directory" : "special file";
        }
    }
    return entries;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace vorskal::testing
