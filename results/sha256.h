#pragma once
// SHA-256 (FIPS 180-4) of a stream of bytes, fed in pieces of any size.
// Uses the processor's SHA instructions where it has them (x86-64 with the
// SHA extensions, found at run time), portable code otherwise; both give
// the same digest. Defining VORSKAL_PORTABLE_SHA256 builds the portable
// code alone.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal::results {

class Sha256 {
  public:
    Sha256();
    void update(std::string_view bytes);
    // The same bytes into two digests (faster than one after the other).
    static void updateBoth(Sha256& a, Sha256& b, std::string_view bytes);
    // The digest as 64 lower-case hex digits. Ends the stream: call once.
    std::string hexDigest();

  private:
    void blocks(const unsigned char* data, std::size_t count);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace vorskal::results
