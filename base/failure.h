#pragma once
// The one error type of a tally run. Every fault that stops a run (a value
// that is not a number, an overflow, a file that cannot be read or written)
// throws a TallyFailure whose message names the file, the line and the
// offending text wherever there is one. The run catches it once, at the end
// of its steps (runSteps, app/tally_run.cpp), and turns it into an outcome.
// Below it a failure is only held, never dropped: the merge's writer's (on
// its own thread) until the merge next hands it a piece or waits for it, a
// lookup's until the line that needs it; and the results' checks skip a
// file whose failure the run itself reports.
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vorskal {

class TallyFailure : public std::runtime_error {
  public:
    explicit TallyFailure(const std::string& message) : std::runtime_error(message) {}
};

// Running out of memory while a file is read: a std::bad_alloc that names the
// file. It is made without taking memory (the name is kept in place, cut
// short when very long).
class OutOfMemoryReading : public std::bad_alloc {
  public:
    explicit OutOfMemoryReading(std::string_view file) noexcept;
    std::string_view file() const noexcept { return {file_, length_}; }

  private:
    char file_[120];
    std::size_t length_ = 0;
};

// Runs `read`; running out of memory in it is an OutOfMemoryReading of `file`
// (one that names another file already is passed on as it is).
template <typename Read>
decltype(auto) namingFileWhenOutOfMemory(std::string_view file, Read&& read) {
    try {
        return read();
    } catch (const OutOfMemoryReading&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryReading(file);
    }
}

// "ux7server.log line 12: " — the prefix every message about a line starts with.
std::string where(std::string_view file, std::uint64_t line);

// Quotes a text for a message, cut to a readable length, with control bytes
// shown as \xNN so that a message stays one printable line.
std::string quoted(std::string_view text);

}  // namespace vorskal
