#include "app/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <ctime>
#include <mutex>

#include "tally/failure.h"

namespace vorskal {
namespace {

std::string failureText(const std::string& name, std::string_view action, int error) {
    return name + ": cannot " + std::string(action) + ": " + std::strerror(error);
}

class PosixInput : public InputFile {
public:
    PosixInput(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    ~PosixInput() override { ::close(fd_); }

    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                throw TallyFailure(failureText(name_, "read", errno));
            }
        }
    }

private:
    int fd_;
    std::string name_;
};

class PosixOutput : public OutputFile {
public:
    // `temporary` non-empty: the file is written under that path and renamed
    // to `path` on close().
    PosixOutput(int fd, std::string name, std::string path, std::string temporary)
        : fd_(fd), name_(std::move(name)), path_(std::move(path)), temporary_(std::move(temporary)) {}

    ~PosixOutput() override {
        if (fd_ >= 0) {
            ::close(fd_);
            if (!temporary_.empty()) {
                ::unlink(temporary_.c_str());
            }
        }
    }

    void write(std::string_view bytes) override {
        const char* at = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t put = ::write(fd_, at, left);
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw TallyFailure(failureText(name_, "write", errno));
            }
            at += put;
            left -= static_cast<std::size_t>(put);
        }
    }

    void flush() override {}

    void close() override {
        if (fd_ < 0) {
            return;
        }
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            const int error = errno;
            if (!temporary_.empty()) {
                ::unlink(temporary_.c_str());
            }
            throw TallyFailure(failureText(name_, "write", error));
        }
        if (!temporary_.empty() && ::rename(temporary_.c_str(), path_.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary_.c_str());
            throw TallyFailure(failureText(name_, "replace", error));
        }
    }

private:
    int fd_;
    std::string name_;
    std::string path_;
    std::string temporary_;
};

}  // namespace

PosixFileService::PosixFileService(std::string directory) : directory_(std::move(directory)) {
    if (directory_.empty()) {
        directory_ = ".";
    }
}

std::string PosixFileService::path(const std::string& name) const {
    return directory_ + "/" + name;
}

bool PosixFileService::exists(const std::string& name) {
    return ::access(path(name).c_str(), F_OK) == 0;
}

std::unique_ptr<InputFile> PosixFileService::openForReading(const std::string& name) {
    const int fd = ::open(path(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw TallyFailure(failureText(name, "open", errno));
    }
    return std::make_unique<PosixInput>(fd, name);
}

std::unique_ptr<OutputFile> PosixFileService::createOrReplace(const std::string& name) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = path("." + name + ".new-" + std::to_string(::getpid()) + "-" +
                                           std::to_string(serial++));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return std::make_unique<PosixOutput>(fd, name, path(name), temporary);
        }
        if (errno != EEXIST) {
            throw TallyFailure(failureText(name, "create", errno));
        }
    }
    throw TallyFailure(failureText(name, "create", EEXIST));
}

std::unique_ptr<OutputFile> PosixFileService::openForAppend(const std::string& name) {
    const int fd = ::open(path(name).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw TallyFailure(failureText(name, "open", errno));
    }
    return std::make_unique<PosixOutput>(fd, name, path(name), std::string());
}

DirectoryLock::DirectoryLock(const std::string& directory) {
    const std::string dir = directory.empty() ? "." : directory;
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        throw TallyFailure(failureText(dir, "open the game directory", errno));
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd_);
            fd_ = -1;
            throw TallyFailure(failureText(dir, "lock the game directory", error));
        }
    }
}

DirectoryLock::~DirectoryLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the last descriptor releases the lock
    }
}

namespace {

std::string formatNow(const char* format) {
    static std::once_flag localeSet;
    std::call_once(localeSet, [] { std::setlocale(LC_TIME, ""); });
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

}  // namespace

std::string SystemClock::timeOfDay() { return formatNow("%X"); }
std::string SystemClock::date() { return formatNow("%x"); }

}  // namespace vorskal
