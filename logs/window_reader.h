#pragma once
// Reads parts of a mapped file through a window that is filled from the
// system on demand, for a caller that goes forward through the file and
// reads many small parts of it: filling a window costs far less than the
// first touches of a mapping's pages.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/platform.h"

namespace vorskal {

class WindowReader {
  public:
    // `name` names the file in messages.
    WindowReader(const MappedFile& file, std::string name);

    // The bytes [offset, offset + length), valid until the next call. Throws
    // TallyFailure naming the file when it does not hold them all.
    std::string_view at(std::uint64_t offset, std::size_t length);

  private:
    const MappedFile& file_;
    std::string name_;
    std::uint64_t size_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
};

}  // namespace vorskal
