// Every input in the fuzzers' corpus, replayed: whatever the fuzzers once
// found or were seeded with must still tally without a crash, and the two
// readings of the merged log must still agree (the harness stops the
// process when they do not).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/harness.h"

namespace vorskal {
namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzCorpus, EveryInputStillTalliesAndBothReadingsAgree) {
    const std::filesystem::path corpus =
        std::filesystem::path(VORSKAL_SOURCE_DIR) / "tests/fuzz/corpus";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus / "logs")) {
        fuzz::tallyLogBytes(contents(entry.path()));
        ++replayed;
    }
    for (const auto& entry : std::filesystem::directory_iterator(corpus / "ini")) {
        fuzz::tallyPointFileBytes(contents(entry.path()));
        ++replayed;
    }
    EXPECT_GE(replayed, 5);
}

}  // namespace
}  // namespace vorskal
