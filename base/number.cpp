#include "base/number.h"

#include <charconv>
#include <limits>

#include "base/failure.h"

namespace vorskal {
namespace {

// Only the space character; a tab or any other character makes the text no number.
bool isBlank(char c) {
    return c == ' ';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool readNumber(std::string_view text, std::int64_t& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kClamp = std::int64_t{1} << 62;
    std::int64_t whole = 0;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        // Past the clamp the exact value no longer matters: it is out of range.
        whole = whole < kClamp / 10 ? whole * 10 + (text[i] - '0') : kClamp;
        ++i;
        ++digits;
    }
    bool fraction = false;  // a nonzero digit after the point
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            fraction = fraction || text[i] != '0';
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return false;
    }
    value = negative ? -whole - (fraction ? 1 : 0) : whole;
    return true;
}

Count readCount(std::string_view text, std::string_view file, std::uint64_t line) {
    std::int64_t value = 0;
    if (!readNumber(text, value)) {
        throw TallyFailure(where(file, line) + quoted(text) + " is not a number");
    }
    if (value < std::numeric_limits<Count>::min() || value > std::numeric_limits<Count>::max()) {
        throw TallyFailure(where(file, line) + quoted(text) + " leaves the 32-bit range");
    }
    return static_cast<Count>(value);
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

}  // namespace vorskal
