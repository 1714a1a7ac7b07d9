#include "app/held_report.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "base/failure.h"
#include "base/report_stream.h"
#include "base/system_files.h"

namespace vorskal {

namespace {

const std::string kHeldName = "the temporary file holding the report";

class HeldOutput : public OutputFile {
  public:
    explicit HeldOutput(std::FILE* file) : file_(file) {}
    void write(std::string_view bytes) override {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            throw TallyFailure(kHeldName + ": cannot be written: " + std::strerror(errno));
        }
    }
    void flush() override {
        if (std::fflush(file_) != 0) {
            throw TallyFailure(kHeldName + ": cannot be written: " + std::strerror(errno));
        }
    }
    void close() override { flush(); }

  private:
    std::FILE* file_;
};

}  // namespace

HeldReport::HeldReport() : file_(openScratchFile().file) {}

HeldReport::~HeldReport() {
    std::fclose(file_);
}

std::unique_ptr<OutputFile> HeldReport::open() {
    opened_ = true;
    return std::make_unique<HeldOutput>(file_);
}

void HeldReport::read(const std::function<void(std::string_view)>& each) const {
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        throw TallyFailure(kHeldName + ": cannot be read: " + std::strerror(errno));
    }
    static constexpr std::size_t kPiece = 1 << 16;
    const auto buffer = std::make_unique<char[]>(kPiece);
    while (const std::size_t got = std::fread(buffer.get(), 1, kPiece, file_)) {
        each(std::string_view(buffer.get(), got));
    }
    const bool failed = std::ferror(file_) != 0;
    std::fseek(file_, 0, SEEK_END);
    if (failed) {
        throw TallyFailure(kHeldName + ": cannot be read");
    }
}

void HeldReport::appendTo(FileService& files) const {
    if (!opened_) {
        return;
    }
    const std::unique_ptr<OutputFile> report = files.openForAppend(std::string(kReportName));
    read([&](std::string_view piece) { report->write(piece); });
    report->flush();
    report->close();
}

std::unique_ptr<OutputFile> HoldingReport::openForAppend(const std::string& name) {
    return name == kReportName ? held_.open() : files_.openForAppend(name);
}

}  // namespace vorskal
