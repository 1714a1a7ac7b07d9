#include "base/text.h"

#include <cstring>

namespace vorskal {

std::size_t findExact(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    if (needle.size() > haystack.size()) {
        return npos;
    }
    if (haystack.size() > 64) {
#if defined(_WIN32)
        return haystack.find(needle);  // the C library there has no memmem
#else
        const void* hit = memmem(haystack.data(), haystack.size(), needle.data(), needle.size());
        return hit == nullptr
                   ? npos
                   : static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
#endif
    }
    // Short texts (names, windows of a line): a plain scan beats memmem's setup.
    const char first = needle[0];
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (haystack[i] == first &&
            std::memcmp(haystack.data() + i + 1, needle.data() + 1, needle.size() - 1) == 0) {
            return i;
        }
    }
    return npos;
}

std::size_t findFolded(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    if (needle.size() > haystack.size()) {
        return npos;
    }
    const char first = foldCase(needle[0]);
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (foldCase(haystack[i]) != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < needle.size() && foldCase(haystack[i + k]) == foldCase(needle[k])) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return npos;
}

std::string padded(std::string_view text, std::size_t n) {
    std::string out(firstChars(text, n));
    out.resize(n, ' ');
    return out;
}

}  // namespace vorskal
