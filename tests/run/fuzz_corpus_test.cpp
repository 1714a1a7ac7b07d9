// Every input in the fuzzers' corpus, replayed, one test each: it must
// tally without a crash, both readings of the merged log must agree (the
// harness stops the process when they do not), and the run either completes
// or stops with a message that names the file at fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/harness.h"

namespace vorskal {
namespace {

namespace fs = std::filesystem;

// The inputs' paths, as text so that test names and messages show them.
std::vector<std::string> corpus() {
    std::vector<std::string> inputs;
    for (const char* kind : {"logs", "ini"}) {
        for (const auto& entry :
             fs::directory_iterator(fs::path(VORSKAL_SOURCE_DIR) / "tests/fuzz/corpus" / kind)) {
            inputs.push_back(entry.path().string());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzCorpus, TalliesOrNamesTheFileAtFault) {
    std::ifstream in(GetParam(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(bytes.empty());
    const bool logs = fs::path(GetParam()).parent_path().filename() == "logs";
    const Outcome outcome = logs ? fuzz::tallyLogBytes(bytes) : fuzz::tallyPointFileBytes(bytes);
    if (outcome.kind == OutcomeKind::Completed) {
        EXPECT_EQ(outcome.message, "Tally Complete");
    } else {
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message.find(logs ? "ux7server" : "vorskal.ini"), std::string::npos)
            << outcome.message;
    }
}

// "logs/mixed-ends" -> "logs_mixed_ends"
std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    const fs::path path = info.param;
    std::string name = path.parent_path().filename().string() + "_" + path.filename().string();
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) == 0; }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Input, FuzzCorpus, ::testing::ValuesIn(corpus()), testName);

}  // namespace
}  // namespace vorskal
