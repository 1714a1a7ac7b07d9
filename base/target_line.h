#pragma once
// A destruction line taken apart, by the one rule that the merge uses on the
// log's lines (logs/log_line.h) and the import of old reports on the lines
// a report quotes (league/import/report_reader.h). Written for a line in
// memory (base/line_view.h) and for any line that answers the same
// questions (logs/line_text.h: a line read where it lies).
#include <optional>
#include <string_view>

#include "base/fixed_text.h"
#include "base/line_view.h"
#include "base/searcher.h"

namespace vorskal {

inline constexpr std::string_view kDestroyedBy = " destroyed by ";
inline const Searcher kDestroyedByPhrase{kDestroyedBy, true};

// The location key from the text before " destroyed by " (its last three
// characters, with "#" put in front when they hold none) and the destroyer
// (the text after it less its last character, first 16 kept). Nothing when
// the line has no " destroyed by " or nothing after it.
struct TargetParts {
    ShortText<4> locationKey;
    ShortText<kNameWidth> destroyer;
};

template <typename Text>
std::optional<TargetParts> takeTargetLine(const Text& line) {
    const std::size_t n = textSize(line);
    const std::size_t at = findPhrase(line, kDestroyedByPhrase, 0, n);
    const std::size_t tail =
        at == std::string_view::npos ? std::string_view::npos : at + kDestroyedBy.size();
    if (tail == std::string_view::npos || tail >= n) {
        return std::nullopt;  // no " destroyed by ", or nothing after it
    }
    TargetParts parts;
    parts.destroyer = bytesAt<kNameWidth>(line, tail, n - tail - 1);
    const std::size_t last = at < 3 ? at : 3;
    const ShortText<3> key = bytesAt<3>(line, at - last, last);
    const bool numbered = key.view().find('#') != std::string_view::npos;
    parts.locationKey.chars[0] = '#';
    key.view().copy(parts.locationKey.chars.data() + (numbered ? 0 : 1), key.length);
    parts.locationKey.length = key.length + (numbered ? 0 : 1);
    return parts;
}

}  // namespace vorskal
