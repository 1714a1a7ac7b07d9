#pragma once
// The key and the SHA-256 of the report a run writes (results/report_key.h),
// taken from its bytes on their way to "vorskal.log" (or to the held
// report): the results of the game carry them, so that the game is known by
// them wherever its results go.
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"
#include "results/report_key.h"

namespace vorskal {

// A file service that passes everything to `files` and digests what is
// written to "vorskal.log".
class FingerprintedReport : public PassingFiles {
  public:
    explicit FingerprintedReport(FileService& files) : PassingFiles(files) {}

    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;

    // Both end the digest: call once, after the report is closed.
    std::string key() { return digest_.key(); }
    std::string sha256() { return digest_.sha256(); }

  private:
    results::ReportDigest digest_;
};

}  // namespace vorskal
