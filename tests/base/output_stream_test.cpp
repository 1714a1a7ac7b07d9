// The stream behind every output file hands the file exactly the bytes
// written to it, in order, whatever the sizes of the pieces against its
// 64 KiB buffer: a piece that fills it to the last byte, single characters
// into a full buffer, a piece larger than the room left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/output_stream.h"
#include "tests/support/memory_files.h"

namespace vorskal {
namespace {

constexpr std::size_t kBuffer = std::size_t{1} << 16;

struct Piece {
    std::size_t size;
    bool byCharacter;  // put() one character at a time, else one write()
};

TEST(OutputStream, BytesArriveWholeAndInOrderAcrossTheBuffer) {
    const std::vector<std::vector<Piece>> cases = {
        {{kBuffer, false}, {3, true}},
        {{kBuffer - 1, false}, {2, true}, {5, false}},
        {{10, false}, {kBuffer, false}, {1, true}},
        {{2 * kBuffer + 7, false}, {kBuffer + 1, true}},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        testing::MemoryFiles files;
        std::string expected;
        OutputStream out(files.createOrReplace("out"));
        for (const Piece& piece : cases[c]) {
            std::string bytes;
            for (std::size_t i = 0; i < piece.size; ++i) {
                bytes += static_cast<char>('a' + (expected.size() + i) % 26);
            }
            if (piece.byCharacter) {
                for (const char ch : bytes) {
                    out.put(ch);
                }
            } else {
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            }
            expected += bytes;
        }
        out.close();
        EXPECT_TRUE(files.files["out"] == expected) << "case " << c;
    }
}

}  // namespace
}  // namespace vorskal
