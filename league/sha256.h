#pragma once
// SHA-256 of bytes, as lower-case hex (OpenSSL's libcrypto does the work).
#include <string>
#include <string_view>

namespace vorskal::league {

std::string sha256Hex(std::string_view bytes);

}  // namespace vorskal::league
