#pragma once
// The report of a run held back from "vorskal.log": the run writes it into a
// temporary file (not memory: a report grows with the game), and its caller
// decides afterwards whether to append it. The recorder needs that: a
// game's key is taken from its report, and a game recorded already must not
// add its report to "vorskal.log" again.
#include <cstdio>
#include <functional>
#include <memory>
#include <string_view>

#include "base/platform.h"

namespace vorskal {

class HeldReport {
  public:
    // A scratch file (base/system_files.h: in TMPDIR, else /tmp, gone with
    // the object). Throws TallyFailure when none can be made.
    HeldReport();
    ~HeldReport();
    HeldReport(const HeldReport&) = delete;
    HeldReport& operator=(const HeldReport&) = delete;

    // What the run writes its report to, in place of "vorskal.log".
    std::unique_ptr<OutputFile> open();
    // Whether the run opened the report at all (a run that stopped before
    // its report has nothing to append, and "vorskal.log" is not made).
    bool opened() const { return opened_; }

    // Calls `each` with the held bytes in order, in pieces.
    void read(const std::function<void(std::string_view)>& each) const;
    // Appends the held bytes to "vorskal.log" of `files` and makes them
    // durable. Throws TallyFailure naming the file when it cannot.
    void appendTo(FileService& files) const;

  private:
    std::FILE* file_ = nullptr;
    bool opened_ = false;
};

// A file service that hands the run `held` for "vorskal.log" and passes
// everything else to `files`.
class HoldingReport : public PassingFiles {
  public:
    HoldingReport(FileService& files, HeldReport& held) : PassingFiles(files), held_(held) {}

    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;

  private:
    HeldReport& held_;
};

}  // namespace vorskal
