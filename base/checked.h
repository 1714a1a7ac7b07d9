#pragma once
// Checked arithmetic for the tally's numbers. Every count, point value, score
// and total of the tally is a Count: a 32-bit signed integer whose every
// addition, subtraction and multiplication is checked. A result outside the
// range throws a TallyFailure that says what overflowed.
//
// `what` names the value for the message: a text, or a function that makes
// the text, called only when the check fails (the passes check millions of
// sums and should not build a message for each).
#include <cstdint>
#include <string>
#include <type_traits>

#include "base/failure.h"

namespace vorskal {

using Count = std::int32_t;

namespace detail {
template <typename What>
[[noreturn]] void overflow(const What& what, const char* range) {
    std::string text;
    if constexpr (std::is_invocable_v<const What&>) {
        text = what();
    } else {
        text = what;
    }
    throw TallyFailure(text + " leaves the " + range + " range");
}
}  // namespace detail

template <typename What>
Count checkedAdd(Count a, Count b, const What& what) {
    Count r;
    if (__builtin_add_overflow(a, b, &r)) {
        detail::overflow(what, "32-bit");
    }
    return r;
}

template <typename What>
Count checkedSub(Count a, Count b, const What& what) {
    Count r;
    if (__builtin_sub_overflow(a, b, &r)) {
        detail::overflow(what, "32-bit");
    }
    return r;
}

template <typename What>
Count checkedMul(Count a, Count b, const What& what) {
    Count r;
    if (__builtin_mul_overflow(a, b, &r)) {
        detail::overflow(what, "32-bit");
    }
    return r;
}

template <typename What>
std::int64_t checkedSub64(std::int64_t a, std::int64_t b, const What& what) {
    std::int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) {
        detail::overflow(what, "64-bit");
    }
    return r;
}

template <typename What>
std::int64_t checkedAdd64(std::int64_t a, std::int64_t b, const What& what) {
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) {
        detail::overflow(what, "64-bit");
    }
    return r;
}

}  // namespace vorskal
