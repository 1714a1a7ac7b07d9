#pragma once
// The long lists of a large game kept out of memory: a RowSink that writes
// each row as a compact record of its fields to a scratch file
// (openScratchFile: in TMPDIR, else /tmp; gone when the object goes), and
// reads them back in order for the writers, field for field as they were
// made (no text to parse: the JSON and CSV writers and the recorder read the
// same rows). A failure of the file (a full disk) is kept and said when the
// rows are read back, naming the folder and the reason.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "results/game_results.h"

namespace vorskal::results {

class SpilledRows : public RowSink {
  public:
    SpilledRows();
    ~SpilledRows() override;
    SpilledRows(const SpilledRows&) = delete;
    SpilledRows& operator=(const SpilledRows&) = delete;

    void correction(const Correction& row) override;
    void target(const TargetRow& row) override;
    void arenaEvent(const ArenaEvent& row) override;
    void kill(const KillRow& row) override;

    // Calls `each` with every row, in order (one row object, refilled for
    // each). Throws TallyFailure naming the folder and the reason when the
    // file failed.
    void forEachCorrection(const std::function<void(const Correction&)>& each) const;
    void forEachTarget(const std::function<void(const TargetRow&)>& each) const;
    void forEachArenaEvent(const std::function<void(const ArenaEvent&)>& each) const;
    void forEachKill(const std::function<void(const KillRow&)>& each) const;

  private:
    struct List {
        std::FILE* file = nullptr;
        std::string failure;  // empty while the file works
    };
    std::string folder_;
    void add(List& list);
    // Reads every record of `list`, handing each to `each` as its bytes.
    void forEach(const List& list, const std::function<void(std::string_view)>& each) const;
    std::string failure(std::string_view action) const;
    List corrections_;
    List targets_;
    List arena_;
    List kills_;
    std::string record_;  // the record being made, reused
};

}  // namespace vorskal::results
