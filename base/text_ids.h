#pragma once
// Ids for short texts (at most N bytes): the same text always gets the same
// id, and ids count from 0 in the order the texts are first met. A game names
// few pilots in very many lines; with ids, what is worked out for a name is
// worked out once.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"

namespace vorskal {

template <std::size_t N>
class TextIds {
  public:
    // The id of `text` (its first N bytes), new when the text is.
    std::uint32_t idOf(std::string_view text) {
        text = text.substr(0, N);
        if (2 * (texts_.size() + 1) > slots_.size()) {
            grow();
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = hash(text) & mask;; slot = (slot + 1) & mask) {
            const std::uint32_t held = slots_[slot];
            if (held == 0) {
                texts_.emplace_back();
                texts_.back().store(text);
                slots_[slot] = static_cast<std::uint32_t>(texts_.size());
                return slots_[slot] - 1;
            }
            const ShortText<N>& known = texts_[held - 1];
            if (known.length == text.size() &&
                std::memcmp(known.chars.data(), text.data(), text.size()) == 0) {
                return held - 1;
            }
        }
    }
    std::string_view text(std::uint32_t id) const { return texts_[id].view(); }
    std::size_t size() const { return texts_.size(); }

  private:
    static std::size_t hash(std::string_view text) {
        std::uint64_t h = 0x9e3779b97f4a7c15ull ^ text.size();
        std::size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            h = (h ^ word) * 0xff51afd7ed558ccdull;
            h ^= h >> 32;
        }
        std::uint64_t rest = 0;
        std::memcpy(&rest, text.data() + i, text.size() - i);
        h = (h ^ rest) * 0xc4ceb9fe1a85ec53ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
    void grow() {
        std::vector<std::uint32_t> slots(slots_.empty() ? 64 : 2 * slots_.size(), 0);
        const std::size_t mask = slots.size() - 1;
        for (std::uint32_t id = 0; id < texts_.size(); ++id) {
            std::size_t slot = hash(texts_[id].view()) & mask;
            while (slots[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            slots[slot] = id + 1;
        }
        slots_.swap(slots);
    }

    std::vector<ShortText<N>> texts_;
    std::vector<std::uint32_t> slots_;  // id + 1 of the text hashed there; 0 free
};

}  // namespace vorskal
