#include "tests/support/memory_files.h"

#include <algorithm>
#include <cstring>

#include "base/failure.h"

namespace vorskal::testing {
namespace {

class MemoryInput : public InputFile {
  public:
    explicit MemoryInput(std::string content) : content_(std::move(content)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, content_.size() - at_);
        std::memcpy(buffer, content_.data() + at_, n);
        at_ += n;
        return n;
    }

  private:
    std::string content_;
    std::size_t at_ = 0;
};

class MemoryMapped : public MappedFile {
  public:
    MemoryMapped(std::string content, std::size_t readable)
        : content_(std::move(content)), readable_(readable) {}
    std::string_view bytes() const override { return content_; }
    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        if (offset >= readable_) {
            return 0;
        }
        const std::size_t n = std::min<std::uint64_t>(size, readable_ - offset);
        return MappedFile::readAt(offset, buffer, n);
    }
    // In place, as a mapping gives them; a file cut short gives no more.
    const char* resident(std::uint64_t offset, std::size_t size) const override {
        return offset <= readable_ && size <= readable_ - offset ? content_.data() + offset
                                                                 : nullptr;
    }

  private:
    std::string content_;
    std::size_t readable_;
};

class MemoryOutput : public OutputFile {
  public:
    MemoryOutput(MemoryFiles& fs, std::string name, bool replace)
        : fs_(fs), name_(std::move(name)), replace_(replace) {
        if (!replace_) {
            fs_.files[name_];  // created when missing, kept when present
        }
    }
    void write(std::string_view bytes) override {
        const auto limit = fs_.writeLimit.find(name_);
        const std::size_t size = replace_ ? pending_.size() : fs_.files[name_].size();
        if (limit != fs_.writeLimit.end() && size + bytes.size() > limit->second) {
            throw TallyFailure(name_ + ": write failed: No space left on device");
        }
        if (replace_) {
            pending_.append(bytes);
        } else {
            fs_.files[name_].append(bytes);
        }
    }
    void flush() override {}
    void close() override {
        if (replace_ && !closed_) {
            fs_.files[name_] = pending_;
        }
        closed_ = true;
    }

  private:
    MemoryFiles& fs_;
    std::string name_;
    bool replace_;
    bool closed_ = false;
    std::string pending_;
};

// The bytes of a file there to be read.
const std::string& readable(const MemoryFiles& fs, const std::string& name) {
    const auto it = fs.files.find(name);
    if (it == fs.files.end()) {
        throw TallyFailure(name + ": cannot open: No such file or directory");
    }
    if (fs.unreadable.count(name) != 0) {
        throw TallyFailure(name + ": cannot open: Permission denied");
    }
    return it->second;
}

}  // namespace

bool MemoryFiles::exists(const std::string& name) {
    return files.count(name) != 0;
}

std::unique_ptr<InputFile> MemoryFiles::openForReading(const std::string& name) {
    return std::make_unique<MemoryInput>(readable(*this, name));
}

std::unique_ptr<MappedFile> MemoryFiles::map(const std::string& name) {
    const std::string& bytes = readable(*this, name);
    const auto cut = cutShortTo.find(name);
    return std::make_unique<MemoryMapped>(bytes,
                                          cut != cutShortTo.end() ? cut->second : bytes.size());
}

std::unique_ptr<OutputFile> MemoryFiles::createOrReplace(const std::string& name) {
    if (uncreatable.count(name) != 0) {
        throw TallyFailure(name + ": cannot create: Permission denied");
    }
    return std::make_unique<MemoryOutput>(*this, name, true);
}

std::unique_ptr<OutputFile> MemoryFiles::openForAppend(const std::string& name) {
    if (uncreatable.count(name) != 0) {
        throw TallyFailure(name + ": cannot open: Permission denied");
    }
    return std::make_unique<MemoryOutput>(*this, name, false);
}

}  // namespace vorskal::testing
