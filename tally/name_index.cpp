#include "tally/name_index.h"

#include "base/text.h"

namespace vorskal {

bool NameIndex::contains(std::string_view name, std::string_view text, bool fold) {
    return fold ? containsFolded(name, text) : containsExact(name, text);
}

NameIndex::Key NameIndex::Key::of(std::string_view text, bool fold) {
    Key key;
    key.length = static_cast<std::uint8_t>(text.size() < 16 ? text.size() : 16);
    for (std::size_t i = 0; i < key.length; ++i) {
        key.bytes[i] = text[i];
    }
    key.fold = fold;
    return key;
}

std::size_t NameIndex::KeyHash::operator()(const Key& key) const {
    std::uint64_t h = 1469598103934665603ull ^ key.length ^ (key.fold ? 0x100 : 0);
    for (std::size_t i = 0; i < key.length; ++i) {
        h = (h ^ static_cast<unsigned char>(key.bytes[i])) * 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}

}  // namespace vorskal
