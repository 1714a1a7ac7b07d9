#include "logs/window_reader.h"

#include "tally/failure.h"

namespace vorskal {
namespace {

constexpr std::size_t kWindow = 256 << 10;

}  // namespace

WindowReader::WindowReader(const MappedFile& file, std::string name)
    : file_(file), name_(std::move(name)), size_(file.bytes().size()) {}

std::string_view WindowReader::at(std::uint64_t offset, std::size_t length) {
    if (offset >= start_ && offset - start_ <= filled_ && length <= filled_ - (offset - start_)) {
        return {buffer_.get() + (offset - start_), length};
    }
    if (offset > size_ || length > size_ - offset) {
        throw TallyFailure(name_ + ": the file ended while it was read");
    }
    if (length > capacity_ || buffer_ == nullptr) {
        capacity_ = length > kWindow ? length : kWindow;
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
    const std::size_t want =
        size_ - offset < capacity_ ? static_cast<std::size_t>(size_ - offset) : capacity_;
    start_ = offset;
    filled_ = file_.readAt(offset, buffer_.get(), want);
    if (filled_ < length) {
        filled_ = 0;
        throw TallyFailure(name_ + ": the file ended while it was read");
    }
    return {buffer_.get(), length};
}

}  // namespace vorskal
