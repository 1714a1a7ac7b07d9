#include "base/failure.h"

#include <cstdio>

namespace vorskal {

OutOfMemoryReading::OutOfMemoryReading(std::string_view file) noexcept
    : length_(file.size() < sizeof file_ ? file.size() : sizeof file_) {
    file.copy(file_, length_);
}

std::string where(std::string_view file, std::uint64_t line) {
    return std::string(file) + " line " + std::to_string(line) + ": ";
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kLimit = 80;
    std::string out = "\"";
    std::size_t shown = 0;
    for (char c : text) {
        if (shown == kLimit) {
            out += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", byte);
            out += buf;
        } else {
            out += c;
        }
        ++shown;
    }
    out += "\"";
    return out;
}

}  // namespace vorskal
