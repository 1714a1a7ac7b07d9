// The floor of every output's cost: the SHA-256 of a file with the library
// the tally's fingerprint uses, read the way a program reads a file. Prints
// the digest (as `sha256sum` does), so a run can be checked.
//
//   vorskal-hash-floor FILE
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "results/sha256.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vorskal-hash-floor FILE\n";
        return 64;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "vorskal-hash-floor: cannot open " << argv[1] << "\n";
        return 2;
    }
    vorskal::results::Sha256 digest;
    std::vector<char> window(1 << 20);
    while (in) {
        in.read(window.data(), static_cast<std::streamsize>(window.size()));
        digest.update({window.data(), static_cast<std::size_t>(in.gcount())});
    }
    if (in.bad()) {
        std::cerr << "vorskal-hash-floor: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::cout << digest.hexDigest() << "  " << argv[1] << "\n";
    return 0;
}
