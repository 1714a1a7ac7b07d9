#pragma once
// A small pseudo-random generator (splitmix64) whose output is the same on
// every platform and library, so a seed always gives the same game.
#include <cstdint>
#include <span>

namespace vorskal::gen {

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A number in 0 .. n - 1 (n > 0).
    std::uint64_t below(std::uint64_t n) { return next() % n; }

    // A number in lo .. hi, both included.
    int between(int lo, int hi) {
        return lo + static_cast<int>(below(static_cast<std::uint64_t>(hi - lo + 1)));
    }

    // True with a chance of perMille in 1000.
    bool chance(int perMille) { return below(1000) < static_cast<std::uint64_t>(perMille); }

    template <typename T>
    const T& pick(std::span<const T> items) {
        return items[below(items.size())];
    }

    // A fresh generator for a separate stream of choices.
    Rng split() { return Rng(next()); }

  private:
    std::uint64_t state_;
};

}  // namespace vorskal::gen
