#include "results/address_mask.h"

#include <cstddef>
#include <optional>

namespace vorskal::results {
namespace {

constexpr std::string_view kMask = "\xE2\x80\xA6";  // "…"
constexpr std::size_t kWordSize = 3;                // "UDP", "TCP"

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether the colon at `colon` ends a protocol word.
bool afterProtocolWord(std::string_view text, std::size_t colon) {
    if (colon < kWordSize) {
        return false;
    }
    std::string word;
    for (std::size_t i = colon - kWordSize; i < colon; ++i) {
        word += upper(text[i]);
    }
    return word == "UDP" || word == "TCP";
}

// The end of a number of 1 to `most` digits at `at` that is at most `limit`.
std::optional<std::size_t> numberAt(std::string_view text, std::size_t at, std::size_t most,
                                    long limit) {
    std::size_t end = at;
    long value = 0;
    while (end < text.size() && isDigit(text[end]) && end - at < most) {
        value = value * 10 + (text[end] - '0');
        ++end;
    }
    if (end == at || value > limit || (end < text.size() && isDigit(text[end]))) {
        return std::nullopt;
    }
    return end;
}

// The end of an IPv4 address at `at`.
std::optional<std::size_t> ipv4At(std::string_view text, std::size_t at) {
    std::size_t end = at;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (end >= text.size() || text[end] != '.') {
                return std::nullopt;
            }
            ++end;
        }
        const std::optional<std::size_t> number = numberAt(text, end, 3, 255);
        if (!number) {
            return std::nullopt;
        }
        end = *number;
    }
    // "1.2.3.4.5" is no address.
    if (end + 1 < text.size() && text[end] == '.' && isDigit(text[end + 1])) {
        return std::nullopt;
    }
    return end;
}

// Whether `text` is an IPv6 address: groups of 1 to 4 hex digits, eight of
// them, or fewer with one "::"; the last may be an IPv4 address.
bool isIpv6(std::string_view text) {
    const std::size_t gap = text.find("::");
    if (gap != std::string_view::npos && text.find("::", gap + 1) != std::string_view::npos) {
        return false;
    }
    int groups = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ':') {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && text[end] != ':') {
            ++end;
        }
        const std::string_view group = text.substr(at, end - at);
        if (end == text.size() && group.find('.') != std::string_view::npos) {
            if (ipv4At(group, 0) != group.size()) {
                return false;
            }
            groups += 2;
        } else {
            if (group.size() > 4) {
                return false;
            }
            for (const char c : group) {
                if (!isHex(c)) {
                    return false;
                }
            }
            ++groups;
        }
        at = end;
    }
    const bool edgesRight = (text.empty() || text.front() != ':' || text.starts_with("::")) &&
                            (text.empty() || text.back() != ':' || text.ends_with("::"));
    return edgesRight && (gap == std::string_view::npos ? groups == 8 : groups < 8);
}

// The end of an IPv6 address at `at`, in brackets or bare.
std::optional<std::size_t> ipv6At(std::string_view text, std::size_t at) {
    const bool bracket = at < text.size() && text[at] == '[';
    const std::size_t start = bracket ? at + 1 : at;
    std::size_t end = start;
    while (end < text.size() && (isHex(text[end]) || text[end] == ':' || text[end] == '.')) {
        ++end;
    }
    if (end == start) {
        return std::nullopt;
    }
    if (bracket) {
        if (end >= text.size() || text[end] != ']' || !isIpv6(text.substr(start, end - start))) {
            return std::nullopt;
        }
        return end + 1;
    }
    // Bare: the whole run, or all but a last group that is the port (the
    // caller takes that).
    if (isIpv6(text.substr(start, end - start))) {
        return end;
    }
    const std::size_t last = text.rfind(':', end - 1);
    if (last != std::string_view::npos && last > start &&
        isIpv6(text.substr(start, last - start))) {
        return last;
    }
    return std::nullopt;
}

// The end of the address (and port) at `at`, if one is there.
std::optional<std::size_t> addressAt(std::string_view text, std::size_t at) {
    std::optional<std::size_t> end = ipv4At(text, at);
    if (!end) {
        end = ipv6At(text, at);
    }
    if (end && *end < text.size() && text[*end] == ':') {
        if (const std::optional<std::size_t> port = numberAt(text, *end + 1, 5, 65535)) {
            end = port;
        }
    }
    return end;
}

}  // namespace

bool maskAddressesIn(std::string& text) {
    bool changed = false;
    std::size_t colon = text.find(':');
    while (colon != std::string::npos) {
        if (afterProtocolWord(text, colon)) {
            if (const std::optional<std::size_t> end = addressAt(text, colon + 1)) {
                text.replace(colon + 1, *end - colon - 1, kMask);
                changed = true;
                colon += kMask.size();
            }
        }
        colon = text.find(':', colon + 1);
    }
    return changed;
}

std::string maskAddresses(std::string_view text) {
    std::string masked(text);
    maskAddressesIn(masked);
    return masked;
}

}  // namespace vorskal::results
