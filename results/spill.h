#pragma once
// The long lists of a large game kept out of memory: a RowSink that writes
// each row's JSON text as one line of a scratch file (openScratchFile: in
// TMPDIR, else /tmp; gone when the object goes), and reads them back in
// order for the writers. A failure of the file (a full disk) is kept and
// said when the rows are read back, naming the folder and the reason.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "results/game_results.h"

namespace vorskal::results {

class SpilledRows : public RowSink {
  public:
    // Which rows are kept: all three lists, or the corrections alone (the
    // recorder's; targets and arena events are then dropped).
    enum class Lists { All, CorrectionsOnly };
    explicit SpilledRows(Lists lists = Lists::All);
    ~SpilledRows() override;
    SpilledRows(const SpilledRows&) = delete;
    SpilledRows& operator=(const SpilledRows&) = delete;

    void correction(const Correction& row) override;
    void target(const TargetRow& row) override;
    void arenaEvent(const ArenaEvent& row) override;

    // Calls `each` with every row's JSON text, in order. Throws
    // TallyFailure naming the folder and the reason when the file failed.
    void forEachCorrection(const std::function<void(std::string_view)>& each) const;
    void forEachTarget(const std::function<void(std::string_view)>& each) const;
    void forEachArenaEvent(const std::function<void(std::string_view)>& each) const;

  private:
    struct List {
        std::FILE* file = nullptr;
        std::string failure;  // empty while the file works
    };
    std::string folder_;
    void add(List& list, const std::string& json) const;
    void forEach(const List& list, const std::function<void(std::string_view)>& each) const;
    std::string failure(std::string_view action) const;
    Lists lists_;
    List corrections_;
    List targets_;
    List arena_;
};

}  // namespace vorskal::results
