#pragma once
// A file service that reads through another and writes nothing: files it
// is asked to create or append to swallow their bytes. A check of a game's
// setup runs the whole tally on it and leaves the directory as it was.
#include "base/platform.h"

namespace vorskal {

class NoWrites : public PassingFiles {
  public:
    explicit NoWrites(FileService& files) : PassingFiles(files) {}

    // A file this service was asked to write cannot be read back: it was never written.
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;

  private:
    std::vector<std::string> written_;
};

}  // namespace vorskal
