#pragma once
// The merged log's name: the logs make it, the target lookup names its lines
// in a failure, and neither builds on the other.
#include <string_view>

namespace vorskal {

inline constexpr std::string_view kMergedLogName = "ux7server.log";

}  // namespace vorskal
