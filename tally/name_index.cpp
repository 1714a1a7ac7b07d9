#include "tally/name_index.h"

#include "base/text.h"

namespace vorskal {

bool NameIndex::contains(std::string_view name, std::string_view text, bool fold) {
    return fold ? containsFolded(name, text) : containsExact(name, text);
}

NameIndex::Key NameIndex::Key::of(std::string_view text, bool fold) {
    Key key;
    key.length = static_cast<std::uint8_t>(text.size() < kNameWidth ? text.size() : kNameWidth);
    for (std::size_t i = 0; i < key.length; ++i) {
        key.bytes[i] = text[i];
    }
    key.fold = fold;
    return key;
}

std::size_t NameIndex::KeyHash::operator()(const Key& key) const {
    return hashBytes(std::string_view(key.bytes.data(), key.length),
                     key.length ^ (key.fold ? 0x100u : 0u));
}

}  // namespace vorskal
