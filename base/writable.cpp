#include "base/writable.h"

#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace vorskal {

bool folderWritable(const std::filesystem::path& folder) {
    static std::random_device seed;
    const std::filesystem::path probe =
        folder / (".vorskal-probe-" + std::to_string(seed()) + "-" + std::to_string(seed()));
    bool made = false;
    {
        std::ofstream file(probe, std::ios::binary);
        made = static_cast<bool>(file);
    }
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return made;
}

bool fileWritable(const std::filesystem::path& file) {
    const std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    return static_cast<bool>(stream);
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

}  // namespace vorskal
