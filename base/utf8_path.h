#pragma once
// A file system path from a name in UTF-8, the text the programs take their
// arguments in on every system (on Windows from the wide command line). A
// std::string alone would be read in the ANSI code page on Windows, which
// cannot hold every name; on Linux the bytes are the name as they are.
#include <filesystem>
#include <string>

namespace vorskal {

inline std::filesystem::path utf8Path(const std::string& name) {
#if defined(_WIN32)
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
    return std::filesystem::path(name);
#endif
}

// The path's name in UTF-8, as the functions of base/system_files.h take it.
inline std::string utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace vorskal
