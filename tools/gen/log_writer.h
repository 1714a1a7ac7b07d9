#pragma once
// Writes the lines of a generated server log, each with the clock's time
// stamp and ended by CR LF, and splits them into the numbered pieces at
// line boundaries: piece i ends with the first line that brings the total
// to i + 1 parts in `pieces` of the planned size. So the lines do not
// depend on the number of pieces, only their split does.
#include <cstdint>
#include <string>
#include <string_view>

#include "gen/game_clock.h"
#include "gen/piece_sink.h"

namespace vorskal::gen {

class LogWriter {
  public:
    LogWriter(PieceSink& sink, std::uint64_t plannedBytes, int pieces);
    ~LogWriter() = default;
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void line(const GameClock& clock, std::string_view event);
    void finish();  // writes what is buffered and closes the last piece

    std::uint64_t bytes() const { return bytes_; }
    std::uint64_t lines() const { return lines_; }

  private:
    void flush();

    PieceSink& sink_;
    std::uint64_t plannedBytes_;
    int pieces_;
    int piece_ = 0;
    std::uint64_t bytes_ = 0;
    std::uint64_t lines_ = 0;
    std::string buffer_;
};

}  // namespace vorskal::gen
