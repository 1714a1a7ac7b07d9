#pragma once
// A std::ostream over an OutputFile, for the writers of the outputs (JSON,
// CSV, the game's page) that write to a stream: buffered, and a write error
// of the file comes out of the stream operation as the file's TallyFailure
// ("results.json: cannot write: No space left on device"), never as a
// quiet bad bit.
//
// close() writes what is buffered and closes the file: for a file of
// replaceFile() that is the commit. Several files that take their places
// together (a set) are each written out first, then closed. Dropped without close(), the file is
// not committed (the old one stays).
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "base/platform.h"

namespace vorskal {

class OutputStream : public std::ostream {
  public:
    explicit OutputStream(std::unique_ptr<OutputFile> file);
    ~OutputStream() override;

    // Hands what is buffered to the file: a write error surfaces here, not
    // at close().
    void writeOut();
    void close();

  private:
    class Buffer : public std::streambuf {
      public:
        explicit Buffer(OutputFile& file);
        void drain();  // hands the buffered bytes to the file

      protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* bytes, std::streamsize count) override;
        int sync() override;

      private:
        OutputFile& file_;
        std::string space_;
    };
    std::unique_ptr<OutputFile> file_;
    Buffer buffer_;
};

}  // namespace vorskal
