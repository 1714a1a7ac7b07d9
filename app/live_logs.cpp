#include "app/live_logs.h"

#include <algorithm>

#include "app/no_writes.h"
#include "logs/log_names.h"

namespace vorskal {
namespace {

// The bytes a restarted server would write anew at a log's start: enough to
// tell its first line (date, time, version) from another's.
constexpr std::size_t kHeadBytes = 256;

// A log's first `limit` bytes, read where the service maps them.
class FirstBytes : public MappedFile {
  public:
    FirstBytes(std::unique_ptr<MappedFile> file, std::uint64_t limit)
        : file_(std::move(file)), limit_(limit) {}

    std::string_view bytes() const override { return file_->bytes().substr(0, limit_); }
    std::uint64_t size() const override { return std::min(file_->size(), limit_); }
    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        if (offset >= limit_) {
            return 0;
        }
        return file_->readAt(
            offset, buffer,
            static_cast<std::size_t>(std::min<std::uint64_t>(size, limit_ - offset)));
    }
    const char* resident(std::uint64_t offset, std::size_t size) const override {
        return offset + size <= limit_ ? file_->resident(offset, size) : nullptr;
    }
    void release(std::uint64_t offset, std::size_t size) const override {
        file_->release(offset, size);
    }

  private:
    std::unique_ptr<MappedFile> file_;
    std::uint64_t limit_;
};

class FirstBytesRead : public InputFile {
  public:
    FirstBytesRead(std::unique_ptr<InputFile> file, std::uint64_t limit)
        : file_(std::move(file)), left_(limit) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const auto got =
            file_->read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(size, left_)));
        left_ -= got;
        return got;
    }

  private:
    std::unique_ptr<InputFile> file_;
    std::uint64_t left_;
};

}  // namespace

std::uint64_t completeLength(const MappedFile& file, std::uint64_t size) {
    char block[1 << 16];
    std::uint64_t end = size;
    if (end > 0 && file.readAt(end - 1, block, 1) == 1 && block[0] == '\r') {
        --end;  // maybe the first half of a CR LF
    }
    while (end > 0) {
        const std::uint64_t from = end > sizeof block ? end - sizeof block : 0;
        const auto wanted = static_cast<std::size_t>(end - from);
        const std::size_t got = file.readAt(from, block, wanted);
        for (std::size_t i = std::min(got, wanted); i > 0; --i) {
            if (block[i - 1] == '\n' || block[i - 1] == '\r') {
                return from + i;
            }
        }
        end = from;
    }
    return 0;
}

LogLook lookAtLogs(FileService& files) {
    LogLook look;
    for (std::uint64_t n = 0;; ++n) {
        std::string name = numberedLogName(n);
        if (!files.exists(name)) {
            return look;
        }
        const std::unique_ptr<MappedFile> file = files.map(name);
        const std::uint64_t size = file->size();
        std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeadBytes)), '\0');
        head.resize(file->readAt(0, head.data(), head.size()));
        look.push_back({std::move(name), size, completeLength(*file, size), std::move(head)});
    }
}

std::string restartBetween(const LogLook& before, const LogLook& now) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        const LogExtent& was = before[i];
        if (i >= now.size()) {
            return was.name + " is gone";
        }
        const LogExtent& is = now[i];
        if (is.bytes < was.bytes) {
            return was.name + " is shorter than before (" + std::to_string(is.bytes) +
                   " bytes, was " + std::to_string(was.bytes) + ")";
        }
        if (!is.head.starts_with(was.head)) {
            return was.name + " begins with other lines than before";
        }
    }
    return {};
}

bool grewBetween(const LogLook& before, const LogLook& now, bool complete) {
    if (now.size() != before.size()) {
        return true;
    }
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (complete ? now[i].complete != before[i].complete : now[i].bytes != before[i].bytes) {
            return true;
        }
    }
    return false;
}

const LogExtent* LogsAsLooked::extentOf(const std::string& name) const {
    const auto found = std::find_if(look_.begin(), look_.end(),
                                    [&](const LogExtent& log) { return log.name == name; });
    return found == look_.end() ? nullptr : &*found;
}

bool LogsAsLooked::hidden(const std::string& name) const {
    const std::optional<std::string_view> digits = numberedLogDigits(name);
    if (!digits || digits->size() > 18 || extentOf(name) != nullptr) {
        return false;
    }
    const std::uint64_t n = std::stoull(std::string(*digits));
    // A name with leading zeros is no log the merge reads: it is seen as it is.
    return numberedLogName(n) == name && n >= look_.size();
}

bool LogsAsLooked::exists(const std::string& name) {
    return !hidden(name) && files_.exists(name);
}

std::unique_ptr<InputFile> LogsAsLooked::openForReading(const std::string& name) {
    if (const LogExtent* log = extentOf(name)) {
        return std::make_unique<FirstBytesRead>(files_.openForReading(name), log->complete);
    }
    return files_.openForReading(name);
}

std::unique_ptr<MappedFile> LogsAsLooked::map(const std::string& name) {
    if (const LogExtent* log = extentOf(name)) {
        return std::make_unique<FirstBytes>(files_.map(name), log->complete);
    }
    return files_.map(name);
}

std::vector<std::string> LogsAsLooked::names() {
    std::vector<std::string> all = files_.names();
    std::erase_if(all, [&](const std::string& name) { return hidden(name); });
    return all;
}

Outcome tallyAsLooked(FileService& files, const LogLook& look, TallyState& state, Clock& clock,
                      RunConfig config) {
    try {
        LogsAsLooked asLooked(files, look);
        NoWrites quiet(asLooked);
        config.writeNothing = true;
        config.rereadMergedLog = false;  // the merged log is not written to be read back
        return runTally(state, quiet, clock, config);
    } catch (const std::exception& failure) {
        return {OutcomeKind::Failed, failure.what()};
    }
}

}  // namespace vorskal
