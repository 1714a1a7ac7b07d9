#include "base/output_stream.h"

namespace vorskal {
namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

OutputStream::Buffer::Buffer(OutputFile& file) : file_(file), space_(kBufferSize, '\0') {
    setp(space_.data(), space_.data() + space_.size());
}

void OutputStream::Buffer::drain() {
    const std::ptrdiff_t used = pptr() - pbase();
    if (used > 0) {
        // Emptied first: after a failure the stream holds nothing to write again.
        setp(space_.data(), space_.data() + space_.size());
        file_.write(std::string_view(space_.data(), static_cast<std::size_t>(used)));
    }
}

OutputStream::Buffer::int_type OutputStream::Buffer::overflow(int_type c) {
    drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize OutputStream::Buffer::xsputn(const char* bytes, std::streamsize count) {
    if (count > epptr() - pptr()) {
        drain();
        if (static_cast<std::size_t>(count) >= space_.size()) {
            file_.write(std::string_view(bytes, static_cast<std::size_t>(count)));
            return count;
        }
    }
    traits_type::copy(pptr(), bytes, static_cast<std::size_t>(count));
    pbump(static_cast<int>(count));
    return count;
}

int OutputStream::Buffer::sync() {
    drain();
    return 0;
}

OutputStream::OutputStream(std::unique_ptr<OutputFile> file)
    : std::ostream(nullptr), file_(std::move(file)), buffer_(*file_) {
    rdbuf(&buffer_);
    // A failure of the file is rethrown by the stream operation that met it.
    exceptions(std::ios::badbit);
}

OutputStream::~OutputStream() = default;

void OutputStream::writeOut() {
    buffer_.drain();
}

void OutputStream::close() {
    buffer_.drain();
    file_->close();
}

}  // namespace vorskal
