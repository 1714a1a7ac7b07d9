#pragma once
// Records packed one after the other in blocks of bytes: numbers take 7 bits
// a byte (small numbers one byte), texts their length. The blocks grow with
// what is put in them, from small to a few megabytes, and never move, so a
// text read back stays valid while the packing lives. A record never spans
// two blocks.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vorskal {

class PackedBytes {
  public:
    // Starts a record of at most `largest` bytes.
    void beginRecord(std::size_t largest);
    void putCount(std::uint64_t value) {
        while (value >= 0x80) {
            *at_++ = static_cast<unsigned char>(value | 0x80);
            value >>= 7;
        }
        *at_++ = static_cast<unsigned char>(value);
    }
    void putSigned(std::int64_t value) {
        const auto bits = static_cast<std::uint64_t>(value);
        putCount((bits << 1) ^ (value < 0 ? ~std::uint64_t{0} : 0));
    }
    void putByte(unsigned char byte) { *at_++ = byte; }
    void putBytes(std::string_view bytes);
    // Finishes the record begun last.
    void endRecord();

    // The most bytes a number takes.
    static constexpr std::size_t kLongestCount = 10;

    // Reads the records back in order.
    class Reader {
      public:
        explicit Reader(const PackedBytes& packed) : packed_(packed) { enter(0); }
        // Whether another record follows (then it is read next).
        bool more() {
            while (at_ == end_) {
                if (block_ >= packed_.blocks_.size()) {
                    return false;
                }
                enter(block_ + 1);
            }
            return true;
        }
        std::uint64_t count() {
            std::uint64_t value = 0;
            for (int shift = 0;; shift += 7) {
                const unsigned char byte = *at_++;
                value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
                if ((byte & 0x80) == 0) {
                    return value;
                }
            }
        }
        std::int64_t getSigned() {
            const std::uint64_t bits = count();
            return static_cast<std::int64_t>((bits >> 1) ^ (~(bits & 1) + 1));
        }
        unsigned char byte() { return *at_++; }
        std::string_view bytes(std::size_t length) {
            const std::string_view text(reinterpret_cast<const char*>(at_), length);
            at_ += length;
            return text;
        }

      private:
        void enter(std::size_t block);
        const PackedBytes& packed_;
        std::size_t block_ = 0;
        const unsigned char* at_ = nullptr;
        const unsigned char* end_ = nullptr;
    };
    Reader reader() const { return Reader(*this); }

  private:
    struct Block {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t used = 0;
        std::size_t size = 0;
    };
    std::vector<Block> blocks_;
    unsigned char* at_ = nullptr;  // where the record being put goes on
};

}  // namespace vorskal
