#pragma once
// The names of the logs: the numbered logs the server writes and the merged
// log made of them. The line's shape (logs/log_line.h) and a line read where
// it lies (logs/line_text.h) both name their files by these.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/merged_log_name.h"

namespace vorskal {

// The name of numbered log `n`: "ux7server" n ".log", no leading zeros.
std::string numberedLogName(std::uint64_t n);
// The digits of a numbered log's name as they stand ("ux7server12.log" gives
// "12", "ux7server012.log" "012"); none when the name is not "ux7server",
// one digit or more, ".log", letter case kept.
std::optional<std::string_view> numberedLogDigits(std::string_view name);

}  // namespace vorskal
