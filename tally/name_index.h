#pragma once
// Answers "which names of this table contain that text?" for tables whose
// names never change and which only grow at the end (the pilot table, the
// arena roster). The answer for a text is kept and brought up to date with
// the records added since, so a log with many events and few pilots costs
// one scan per distinct text instead of one per line. The slots come in
// ascending order, exactly as a scan over the table would meet them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/fixed_text.h"

namespace vorskal {

class NameIndex {
  public:
    // Slots 1 .. count - 1 of the table whose name contains `text` (at most
    // 16 characters), letter case disregarded when `fold` is set.
    // `nameOf(slot)` gives a slot's 16-character name.
    template <typename NameOf>
    const std::vector<std::uint32_t>& containing(std::string_view text, bool fold,
                                                 std::size_t count, const NameOf& nameOf) {
        Entry& entry = entries_[Key::of(text, fold)];
        for (; entry.scanned < count; ++entry.scanned) {
            if (contains(nameOf(entry.scanned), text, fold)) {
                entry.matching.push_back(static_cast<std::uint32_t>(entry.scanned));
            }
        }
        return entry.matching;
    }

  private:
    static bool contains(std::string_view name, std::string_view text, bool fold);

    struct Key {
        std::array<char, kNameWidth> bytes{};
        std::uint8_t length = 0;
        bool fold = false;
        static Key of(std::string_view text, bool fold);
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        std::vector<std::uint32_t> matching;
        std::size_t scanned = 1;  // slots below this one are in `matching` when they match
    };
    std::unordered_map<Key, Entry, KeyHash> entries_;
};

}  // namespace vorskal
