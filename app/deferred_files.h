#pragma once
// A file service whose replaced files take their place only when the caller
// says so. A run that may still be refused once it is over (--strict: the
// findings of the very run decide) writes its merged log on it: the file is
// written in full, and commit() puts it in place; a service dropped without
// commit() leaves every file as it was.
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"

namespace vorskal {

class DeferredFiles : public PassingFiles {
  public:
    explicit DeferredFiles(FileService& files) : PassingFiles(files) {}

    // A file replaced here is not in place yet, so it cannot be read back.
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    // Only the report is appended to, and it is held apart (HoldingReport):
    // anything else would be written at once, so it is refused.
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;

    // Puts every file closed so far in its place, in the order closed.
    void commit();

    struct Pending;

  private:
    std::vector<std::shared_ptr<Pending>> pending_;
};

}  // namespace vorskal
