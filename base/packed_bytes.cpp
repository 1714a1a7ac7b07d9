#include "base/packed_bytes.h"

#include <cstring>

namespace vorskal {
namespace {

constexpr std::size_t kFirstBlock = 64 << 10;
constexpr std::size_t kLargestBlock = 4 << 20;

}  // namespace

void PackedBytes::beginRecord(std::size_t largest) {
    if (blocks_.empty() || largest > blocks_.back().size - blocks_.back().used) {
        const std::size_t last = blocks_.empty() ? 0 : blocks_.back().size;
        std::size_t size = last == 0              ? kFirstBlock
                           : last < kLargestBlock ? last * 2
                                                  : kLargestBlock;
        size = largest > size ? largest : size;
        blocks_.push_back(Block{std::make_unique_for_overwrite<unsigned char[]>(size), 0, size});
    }
    at_ = blocks_.back().bytes.get() + blocks_.back().used;
}

void PackedBytes::putBytes(std::string_view bytes) {
    if (!bytes.empty()) {
        std::memcpy(at_, bytes.data(), bytes.size());
        at_ += bytes.size();
    }
}

void PackedBytes::endRecord() {
    blocks_.back().used = static_cast<std::size_t>(at_ - blocks_.back().bytes.get());
}

void PackedBytes::Reader::enter(std::size_t block) {
    block_ = block;
    if (block < packed_.blocks_.size()) {
        at_ = packed_.blocks_[block].bytes.get();
        end_ = at_ + packed_.blocks_[block].used;
    } else {
        at_ = end_ = nullptr;
    }
}

}  // namespace vorskal
