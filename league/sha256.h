#pragma once
// SHA-256 of bytes, as lower-case hex (the results layer's digest, the one the
// merged log is known by).
#include <string>
#include <string_view>

namespace vorskal::league {

std::string sha256Hex(std::string_view bytes);

}  // namespace vorskal::league
