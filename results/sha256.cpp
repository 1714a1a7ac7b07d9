#include "results/sha256.h"

#include <gcrypt.h>

#include <new>

namespace vorskal::results {
namespace {

// libgcrypt wants its version checked before first use; done once, by
// whichever thread hashes first. Hashing needs no secure memory.
void initialise() {
    static const bool ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)ready;
}

std::string hexOf(const unsigned char* digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (int i = 0; i < 32; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xf];
    }
    return hex;
}

}  // namespace

Sha256::Sha256() {
    initialise();
    if (gcry_md_open(&handle_, GCRY_MD_SHA256, 0) != 0) {
        throw std::bad_alloc();
    }
}

Sha256::~Sha256() {
    gcry_md_close(handle_);
}

void Sha256::update(std::string_view bytes) {
    gcry_md_write(handle_, bytes.data(), bytes.size());
}

std::string Sha256::hexDigest() {
    return hexOf(gcry_md_read(handle_, GCRY_MD_SHA256));
}

std::string Sha256::hexDigestSoFar() const {
    gcry_md_hd_t copy = nullptr;
    if (gcry_md_copy(&copy, handle_) != 0) {
        throw std::bad_alloc();
    }
    std::string hex = hexOf(gcry_md_read(copy, GCRY_MD_SHA256));
    gcry_md_close(copy);
    return hex;
}

std::string sha256Hex(std::string_view bytes) {
    initialise();
    unsigned char digest[32];
    gcry_md_hash_buffer(GCRY_MD_SHA256, digest, bytes.data(), bytes.size());
    return hexOf(digest);
}

}  // namespace vorskal::results
