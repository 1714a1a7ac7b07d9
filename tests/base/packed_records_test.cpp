// The packing that the records of a game use: numbers and texts come back as
// they were put, across the blocks the packing grows into; short texts get
// ids in the order first met, the same text the same id however many came
// between.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/packed_bytes.h"
#include "base/text_ids.h"

namespace vorskal {
namespace {

TEST(PackedBytes, RecordsComeBackAsPut) {
    constexpr std::uint64_t kEdges[] = {
        0, 1, 127, 128, 16383, 16384, 0xffffffffull, std::numeric_limits<std::uint64_t>::max()};
    constexpr std::int64_t kSigned[] = {0,
                                        -1,
                                        1,
                                        -64,
                                        64,
                                        std::numeric_limits<std::int64_t>::min(),
                                        std::numeric_limits<std::int64_t>::max()};
    // Records of growing texts, far more than the first block holds (64 KiB),
    // and one text larger than any block before it.
    PackedBytes packed;
    std::vector<std::string> texts;
    for (int r = 0; r < 3000; ++r) {
        texts.push_back(
            std::string(static_cast<std::size_t>(r % 300), static_cast<char>('a' + r % 26)));
    }
    texts.push_back(std::string(200000, 'z'));
    for (std::size_t r = 0; r < texts.size(); ++r) {
        packed.beginRecord(2 * PackedBytes::kLongestCount + 1 + PackedBytes::kLongestCount +
                           texts[r].size());
        packed.putCount(kEdges[r % std::size(kEdges)]);
        packed.putSigned(kSigned[r % std::size(kSigned)]);
        packed.putByte(static_cast<unsigned char>(r));
        packed.putCount(texts[r].size());
        packed.putBytes(texts[r]);
        packed.endRecord();
    }
    PackedBytes::Reader reader = packed.reader();
    std::size_t r = 0;
    for (; reader.more(); ++r) {
        ASSERT_LT(r, texts.size());
        EXPECT_EQ(reader.count(), kEdges[r % std::size(kEdges)]) << "record " << r;
        EXPECT_EQ(reader.getSigned(), kSigned[r % std::size(kSigned)]) << "record " << r;
        EXPECT_EQ(reader.byte(), static_cast<unsigned char>(r)) << "record " << r;
        const auto length = static_cast<std::size_t>(reader.count());
        EXPECT_EQ(reader.bytes(length), texts[r]) << "record " << r;
    }
    EXPECT_EQ(r, texts.size());
    EXPECT_FALSE(PackedBytes().reader().more());
}

TEST(TextIds, SameTextSameIdInTheOrderFirstMet) {
    TextIds<16> ids;
    // 1,000 names (the table grows many times), each asked for three times.
    for (int round = 0; round < 3; ++round) {
        for (std::uint32_t n = 0; n < 1000; ++n) {
            const std::string name = "pilot_" + std::to_string(n);
            EXPECT_EQ(ids.idOf(name), n) << name;
        }
    }
    EXPECT_EQ(ids.size(), 1000u);
    EXPECT_EQ(ids.text(7), "pilot_7");
    // Texts differ by their length too; a longer text is known by its first 16.
    EXPECT_EQ(ids.idOf(""), 1000u);
    EXPECT_EQ(ids.idOf("pilot_7 "), 1001u);
    EXPECT_EQ(ids.idOf("0123456789abcdefXYZ"), 1002u);
    EXPECT_EQ(ids.idOf("0123456789abcdef"), 1002u);
    EXPECT_EQ(ids.text(1002), "0123456789abcdef");
}

}  // namespace
}  // namespace vorskal
