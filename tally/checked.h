#pragma once
// Checked arithmetic for the tally's numbers. Every count, point value, score
// and total of the tally is a Count: a 32-bit signed integer whose every
// addition, subtraction and multiplication is checked. A result outside the
// 32-bit range throws a TallyFailure that says what overflowed.
#include <cstdint>
#include <string>

#include "tally/failure.h"

namespace vorskal {

using Count = std::int32_t;

inline Count checkedAdd(Count a, Count b, const std::string& what) {
    Count r;
    if (__builtin_add_overflow(a, b, &r)) {
        throw TallyFailure(what + " leaves the 32-bit range");
    }
    return r;
}

inline Count checkedSub(Count a, Count b, const std::string& what) {
    Count r;
    if (__builtin_sub_overflow(a, b, &r)) {
        throw TallyFailure(what + " leaves the 32-bit range");
    }
    return r;
}

inline Count checkedMul(Count a, Count b, const std::string& what) {
    Count r;
    if (__builtin_mul_overflow(a, b, &r)) {
        throw TallyFailure(what + " leaves the 32-bit range");
    }
    return r;
}

inline std::int64_t checkedSub64(std::int64_t a, std::int64_t b, const std::string& what) {
    std::int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) {
        throw TallyFailure(what + " leaves the 64-bit range");
    }
    return r;
}

inline std::int64_t checkedAdd64(std::int64_t a, std::int64_t b, const std::string& what) {
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) {
        throw TallyFailure(what + " leaves the 64-bit range");
    }
    return r;
}

}  // namespace vorskal
