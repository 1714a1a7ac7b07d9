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
class FingerprintedReport : public FileService {
  public:
    explicit FingerprintedReport(FileService& files) : files_(files) {}

    bool exists(const std::string& name) override { return files_.exists(name); }
    std::unique_ptr<InputFile> openForReading(const std::string& name) override {
        return files_.openForReading(name);
    }
    std::unique_ptr<MappedFile> map(const std::string& name) override { return files_.map(name); }
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override {
        return files_.createOrReplace(name);
    }
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;
    std::vector<std::string> names() override { return files_.names(); }

    // Both end the digest: call once, after the report is closed.
    std::string key() { return digest_.key(); }
    std::string sha256() { return digest_.sha256(); }

  private:
    FileService& files_;
    results::ReportDigest digest_;
};

}  // namespace vorskal
