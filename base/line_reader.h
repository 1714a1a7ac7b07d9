#pragma once
// Sequential line input over a file: a line ends at CR LF, at a lone CR or
// at a lone LF, and the last line counts even without an end. Lines come
// without their ends; no byte is changed.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace vorskal {

class LineReader {
  public:
    explicit LineReader(std::unique_ptr<InputFile> file, std::size_t chunkSize = 1 << 20);

    // The next line, valid until the next call; false at the end of the file.
    bool next(std::string_view& line);

  private:
    bool fill();  // reads more bytes; false at the end of the file

    std::unique_ptr<InputFile> file_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // first unread byte
    std::size_t end_ = 0;    // one past the last byte read
    std::size_t chunk_;
    bool eof_ = false;
    bool skipLineFeed_ = false;  // the last line ended in a CR: a LF right after belongs to it
};

}  // namespace vorskal
