#pragma once
// What a report is known by. Its key is the SHA-256 of its body: its lines
// from the title "UX7SERVER Log Tally (VORSKAL.LOG)" to its last line, each
// ended by CR LF, without the header's time line ("Current time is ...").
// Two tallies of the same logs with the same options and point values have
// one key whenever they ran, and a game recorded by the tally is known again
// when its report file is imported. The SHA-256 of the whole report, time
// line included, is taken beside it: games recorded before the key existed
// are known by that.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/report_layout.h"
#include "results/sha256.h"

namespace vorskal::results {

class ReportDigest {
  public:
    // The report's lines in order, without their ends. Lines before its
    // title and empty lines at its end are left out.
    void line(std::string_view text);
    // The same from the report's bytes as a run writes them (lines ended by
    // CR LF), in pieces of any size.
    void bytes(std::string_view piece);

    // Lower-case hex. Both end the digest: call each once, after the last line.
    std::string key();
    std::string sha256();

  private:
    void take(std::string_view text);

    Sha256 key_;
    Sha256 whole_;
    bool titleSeen_ = false;
    std::uint64_t lineInReport_ = 0;
    std::uint64_t emptyPending_ = 0;
    std::string partial_;  // bytes(): a line not yet ended
};

}  // namespace vorskal::results
