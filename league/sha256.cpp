#include "league/sha256.h"

#include "results/sha256.h"

namespace vorskal::league {

std::string sha256Hex(std::string_view bytes) {
    results::Sha256 digest;
    digest.update(bytes);
    return digest.hexDigest();
}

}  // namespace vorskal::league
