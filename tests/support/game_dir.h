#pragma once
// A game directory on the real disk for tests of whole runs: a fresh
// temporary folder, files written into it byte for byte, the tally run in it
// with a fixed clock, and the report read back.
#include <map>
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
    void writeAll(const std::map<std::string, std::string>& files) const;
    // One kill in `log`: the Allied Snoopy (SOPWITH) shoots down the Hun
    // Baron_Red (FOKKER); vorskal.ini has `killLine` and Death=-5, so with
    // Kill=10 the final totals are Allied 10, Hun -5.
    void writeOneKill(const std::string& log, const std::string& killLine) const;

    // Runs the tally here with the fixed clock (time "20:15:03", date "06/12/2026").
    Outcome tally(const TallyOptions& options = {}, const RunConfig& config = {}) const;

  private:
    std::string path_;
};

// The files of examples/sample-game by name, with their bytes.
std::map<std::string, std::string> sampleGame();
// Every entry under `folder`, one level down too: its bytes, the target of a
// symbolic link, or its kind.
std::map<std::string, std::string> entriesOf(const std::string& folder);

// Joins lines, each ended by CR LF.
std::string crlf(const std::vector<std::string>& lines);
// Splits a report (or any CR LF text) into its lines, without their ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace vorskal::testing
