#pragma once
// A file service that reads through another and writes nothing: files it
// is asked to create or append to swallow their bytes. A check of a game's
// setup runs the whole tally on it and leaves the directory as it was.
#include "base/platform.h"

namespace vorskal {

class NoWrites : public FileService {
  public:
    explicit NoWrites(FileService& files) : files_(files) {}

    bool exists(const std::string& name) override { return files_.exists(name); }
    // A file this service was asked to write cannot be read back: it was never written.
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<MappedFile> map(const std::string& name) override { return files_.map(name); }
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;
    std::vector<std::string> names() override { return files_.names(); }

  private:
    FileService& files_;
    std::vector<std::string> written_;
};

}  // namespace vorskal
