#pragma once
// SHA-256 (FIPS 180-4) of a stream of bytes, fed in pieces of any size:
// libgcrypt's, which picks the fastest code the processor runs (the SHA
// instructions, AVX2, SSSE3 or plain code).
#include <string>
#include <string_view>

struct gcry_md_handle;  // libgcrypt's, kept out of this header

namespace vorskal::results {

class Sha256 {
  public:
    Sha256();  // throws std::bad_alloc when libgcrypt has no memory for it
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(std::string_view bytes);
    // The digest as 64 lower-case hex digits. Ends the stream: call once.
    std::string hexDigest();
    // The digest of the bytes so far; the stream goes on.
    std::string hexDigestSoFar() const;

  private:
    gcry_md_handle* handle_ = nullptr;
};

// The digest of `bytes` at once, as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace vorskal::results
