#include "app/deferred_files.h"

#include <algorithm>

#include "base/failure.h"

namespace vorskal {

struct DeferredFiles::Pending {
    std::string name;
    std::unique_ptr<OutputFile> file;
    bool closed = false;
};

namespace {

class DeferredOutput : public OutputFile {
  public:
    explicit DeferredOutput(std::shared_ptr<DeferredFiles::Pending> pending)
        : pending_(std::move(pending)) {}
    void write(std::string_view bytes) override { pending_->file->write(bytes); }
    void flush() override { pending_->file->flush(); }
    void close() override { pending_->closed = true; }

  private:
    std::shared_ptr<DeferredFiles::Pending> pending_;
};

}  // namespace

std::unique_ptr<InputFile> DeferredFiles::openForReading(const std::string& name) {
    const bool held = std::any_of(pending_.begin(), pending_.end(),
                                  [&](const auto& pending) { return pending->name == name; });
    if (held) {
        throw TallyFailure(name + ": not in place until the run is admitted, so it cannot be " +
                           "read back");
    }
    return files_.openForReading(name);
}

std::unique_ptr<OutputFile> DeferredFiles::createOrReplace(const std::string& name) {
    auto pending = std::make_shared<Pending>(Pending{name, files_.createOrReplace(name)});
    pending_.push_back(pending);
    return std::make_unique<DeferredOutput>(pending);
}

std::unique_ptr<OutputFile> DeferredFiles::openForAppend(const std::string& name) {
    throw TallyFailure(name + ": cannot be appended to before the run is admitted");
}

void DeferredFiles::commit() {
    for (const std::shared_ptr<Pending>& pending : pending_) {
        if (pending->closed) {
            pending->file->close();
        }
    }
    pending_.clear();
}

}  // namespace vorskal
