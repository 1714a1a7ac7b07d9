#pragma once
// A game directory on the real disk for tests of whole runs: a fresh
// temporary folder, files written into it byte for byte, the tally run in it
// with a fixed clock, and the report read back.
#include <string>
#include <vector>

#include "app/tally_run.h"
#include "base/platform.h"

namespace vorskal::testing {

class GameDir {
  public:
    GameDir();   // creates a fresh empty folder under the system's temp dir
    ~GameDir();  // removes it with everything in it
    GameDir(const GameDir&) = delete;
    GameDir& operator=(const GameDir&) = delete;

    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;  // "" when missing
    bool exists(const std::string& name) const;

    // Runs the tally here with the fixed clock (time "20:15:03", date "06/12/2026").
    Outcome tally(const TallyOptions& options = {}, const RunConfig& config = {}) const;

  private:
    std::string path_;
};

// Joins lines, each ended by CR LF.
std::string crlf(const std::vector<std::string>& lines);
// Splits a report (or any CR LF text) into its lines, without their ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace vorskal::testing
