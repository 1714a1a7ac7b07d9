#include "app/no_writes.h"

#include <algorithm>

#include "base/failure.h"

namespace vorskal {
namespace {

class Swallow : public OutputFile {
  public:
    void write(std::string_view) override {}
    void flush() override {}
    void close() override {}
};

}  // namespace

std::unique_ptr<InputFile> NoWrites::openForReading(const std::string& name) {
    if (std::find(written_.begin(), written_.end(), name) != written_.end()) {
        throw TallyFailure(name + ": not written in a check, so it cannot be read back");
    }
    return files_.openForReading(name);
}

std::unique_ptr<OutputFile> NoWrites::createOrReplace(const std::string& name) {
    written_.push_back(name);
    return std::make_unique<Swallow>();
}

std::unique_ptr<OutputFile> NoWrites::openForAppend(const std::string& name) {
    written_.push_back(name);
    return std::make_unique<Swallow>();
}

}  // namespace vorskal
