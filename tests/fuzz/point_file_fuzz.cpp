// libFuzzer entry: an arbitrary vorskal.ini through the whole tally.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorskal::fuzz::tallyPointFileBytes({reinterpret_cast<const char*>(data), size});
    return 0;
}
