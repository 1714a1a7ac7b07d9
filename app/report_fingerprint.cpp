#include "app/report_fingerprint.h"

#include "base/report_stream.h"

namespace vorskal {

namespace {

// Writes through to the report and digests the same bytes.
class DigestedFile : public OutputFile {
  public:
    DigestedFile(std::unique_ptr<OutputFile> file, results::ReportDigest& digest)
        : file_(std::move(file)), digest_(digest) {}

    void write(std::string_view bytes) override {
        file_->write(bytes);
        digest_.bytes(bytes);
    }
    void flush() override { file_->flush(); }
    void close() override { file_->close(); }

  private:
    std::unique_ptr<OutputFile> file_;
    results::ReportDigest& digest_;
};

}  // namespace

std::unique_ptr<OutputFile> FingerprintedReport::openForAppend(const std::string& name) {
    std::unique_ptr<OutputFile> file = files_.openForAppend(name);
    if (name != kReportName) {
        return file;
    }
    return std::make_unique<DigestedFile>(std::move(file), digest_);
}

}  // namespace vorskal
