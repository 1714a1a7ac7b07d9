#include "base/system_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>

#include "base/failure.h"
#include "base/leftovers.h"

namespace vorskal {
namespace {

std::uint64_t pageSize() {
    static const auto size = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

std::string failureText(const std::string& name, std::string_view action, int error) {
    return name + ": cannot " + std::string(action) + ": " + std::strerror(error);
}

FileAt::Kind kindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileAt::Kind::Regular;
    }
    if (S_ISDIR(mode)) {
        return FileAt::Kind::Directory;
    }
    if (S_ISFIFO(mode)) {
        return FileAt::Kind::Fifo;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return FileAt::Kind::Device;
    }
    return S_ISSOCK(mode) ? FileAt::Kind::Socket : FileAt::Kind::Other;
}

[[noreturn]] void refuseKind(const std::string& name, std::string_view action, mode_t mode) {
    throw TallyFailure(name + ": cannot " + std::string(action) + ": " + kindText(kindOf(mode)) +
                       ", not a regular file");
}

// Opens the regular file at `path` (`name` in messages). O_NONBLOCK: a FIFO
// or a device opens at once instead of waiting for a writer, and is then
// refused by what fstat says; a regular file ignores the flag, which is
// cleared all the same.
int openRegular(const std::string& path, const std::string& name, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat info {};
    if (fd < 0) {
        const int error = errno;
        // A FIFO without a reader refuses a writer (ENXIO), a directory any
        // writer (EISDIR): say what it is.
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            refuseKind(name, "open", info.st_mode);
        }
        throw TallyFailure(failureText(name, "open", error));
    }
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw TallyFailure(failureText(name, "open", error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        refuseKind(name, "open", info.st_mode);
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1) {
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    }
    return fd;
}

// `name` in `directory`.
std::string path(const std::string& directory, const std::string& name) {
    return directory.empty() || directory.back() == '/' ? directory + name : directory + "/" + name;
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

// A regular file mapped for reading. One that cannot be mapped (the
// process may not have the address space) is read through the system, so
// that the tally needs no address space for the logs' size; one that is not
// a regular file is read into memory.
class PosixMapped : public MappedFile {
  public:
    PosixMapped(int fd, std::string name) : fd_(fd), name_(std::move(name)) {
        struct stat info {};
        if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
            size_ = static_cast<std::size_t>(info.st_size);
            readThrough_ = true;
            if (size_ > 0) {
                void* at = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd_, 0);
                if (at != MAP_FAILED) {
                    data_ = static_cast<const char*>(at);
                    ::madvise(at, size_, MADV_SEQUENTIAL);
                }
            }
            return;
        }
        try {
            readAll();
        } catch (...) {
            ::close(fd_);
            throw;
        }
    }
    ~PosixMapped() override {
        if (data_ != nullptr) {
            ::munmap(const_cast<char*>(data_), size_);
        }
        ::close(fd_);
    }
    std::string_view bytes() const override {
        if (data_ != nullptr) {
            return {data_, size_};
        }
        if (readThrough_) {
            readAll();
            readThrough_ = false;
        }
        return owned_;
    }
    std::uint64_t size() const override { return readThrough_ ? size_ : bytes().size(); }
    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const override {
        if (data_ == nullptr && !readThrough_) {
            return MappedFile::readAt(offset, buffer, size);
        }
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got =
                ::pread(fd_, buffer + done, size - done, static_cast<off_t>(offset + done));
            if (got == 0) {
                break;
            }
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw TallyFailure(failureText(name_, "read", errno));
            }
            done += static_cast<std::size_t>(got);
        }
        return done;
    }
    // Pages read in at once (MADV_POPULATE_READ): a page past the file's end
    // fails the call instead of stopping the process when it is touched. A
    // system without it gives no bytes in place: pread serves.
    const char* resident(std::uint64_t offset, std::size_t size) const override {
#if defined(MADV_POPULATE_READ)
        if (data_ == nullptr || offset > size_ || size > size_ - offset) {
            return nullptr;
        }
        const std::uint64_t first = offset & ~(pageSize() - 1);
        char* at = const_cast<char*>(data_) + first;
        const auto length = static_cast<std::size_t>(offset + size - first);
        return ::madvise(at, length, MADV_POPULATE_READ) == 0 ? data_ + offset : nullptr;
#else
        (void)offset;
        (void)size;
        return nullptr;
#endif
    }
    // The whole pages within the bytes leave this process's memory.
    void release(std::uint64_t offset, std::size_t size) const override {
        if (data_ == nullptr) {
            return;
        }
        const std::uint64_t page = pageSize();
        const std::uint64_t first = (offset + page - 1) & ~(page - 1);
        const std::uint64_t end = (offset + size) & ~(page - 1);
        if (end > first) {
            ::madvise(const_cast<char*>(data_) + first, static_cast<std::size_t>(end - first),
                      MADV_DONTNEED);
        }
    }

  private:
    void readAll() const {
        PosixInput in(::dup(fd_), name_);
        char buffer[1 << 16];
        owned_.clear();
        for (std::size_t got; (got = in.read(buffer, sizeof buffer)) > 0;) {
            owned_.append(buffer, got);
        }
    }

    int fd_;
    std::string name_;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    mutable bool readThrough_ = false;  // not mapped: read with pread, size_ from fstat
    mutable std::string owned_;
};

// The name of a file that createOrReplace writes before it takes the place
// of `name`: ".name.new-PID-N", so that a later run can tell whose it was.
std::string temporaryName(const std::string& name, long pid, unsigned serial) {
    return "." + name + ".new-" + std::to_string(pid) + "-" + std::to_string(serial);
}

std::atomic<unsigned> temporarySerial{0};

// Removes the files that createOrReplace of `name` left in `directory` in
// runs whose process no longer exists (a run killed mid-write).
void removeLeftovers(const std::string& directory, const std::string& name) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string prefix = "." + name + ".new-";
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = leftoverOwner(entry->d_name, prefix);
        if (pid != 0 && processEnded(pid)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

class PosixOutput : public OutputFile {
  public:
    // How the file takes its place on close(): not at all (appending), by a
    // rename of the named `temporary` to `name` in `directory`, or, for an
    // unnamed file (`temporary` empty, `unnamed` set), by a link to a fresh
    // temporary name and a rename of that at once. `shown` names the file in
    // messages.
    PosixOutput(int fd, std::string shown, std::string directory = {}, std::string name = {},
                std::string temporary = {}, bool unnamed = false)
        : fd_(fd),
          name_(std::move(shown)),
          directory_(std::move(directory)),
          baseName_(std::move(name)),
          path_(path(directory_, baseName_)),
          temporary_(std::move(temporary)),
          unnamed_(unnamed) {}

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

    // Makes every byte written so far durable: fsync.
    void flush() override {
        while (::fsync(fd_) != 0) {
            if (errno == EINVAL || errno == EROFS) {
                return;  // a file that cannot be synced (a pipe, a device)
            }
            if (errno != EINTR) {
                throw TallyFailure(failureText(name_, "write", errno));
            }
        }
    }

    void close() override {
        if (fd_ < 0) {
            return;
        }
        if (unnamed_) {
            giveName();
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
    // Links the unnamed file to a fresh temporary name; close() renames it
    // into place right after.
    void giveName() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100; ++attempt) {
            // linkat never follows or replaces what is at the new name: a
            // name planted there (a link to a victim, say) is passed over.
            const std::string temporary =
                path(directory_, temporaryName(baseName_, processId(), temporarySerial++));
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                temporary_ = temporary;
                unnamed_ = false;
                return;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        throw TallyFailure(failureText(name_, "replace", error));
    }

    int fd_;
    std::string name_;
    std::string directory_;
    std::string baseName_;
    std::string path_;
    std::string temporary_;
    bool unnamed_;
};

// A new file that replaces `name` in `directory` when it is closed: the one
// atomic way every output takes its place. `shown` names it in messages.
std::unique_ptr<OutputFile> replaceIn(const std::string& directory, const std::string& name,
                                      const std::string& shown) {
    removeLeftovers(directory, name);
    // An unnamed file in the directory: a process killed before close()
    // leaves nothing behind.
    const int unnamed = ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unnamed >= 0) {
        return std::make_unique<PosixOutput>(unnamed, shown, directory, name, std::string(), true);
    }
    // Where the file system cannot: a named temporary file, removed by a
    // later run when this one is killed before close(). O_EXCL|O_NOFOLLOW:
    // whatever is planted at that name is never opened.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary =
            path(directory, temporaryName(name, processId(), temporarySerial++));
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return std::make_unique<PosixOutput>(fd, shown, directory, name, temporary);
        }
        if (errno != EEXIST) {
            throw TallyFailure(failureText(shown, "create", errno));
        }
    }
    throw TallyFailure(failureText(shown, "create", EEXIST));
}

}  // namespace

SystemFileService::SystemFileService(std::string directory) : directory_(std::move(directory)) {
    if (directory_.empty()) {
        directory_ = ".";
    }
}

std::vector<std::string> SystemFileService::names() {
    std::vector<std::string> found;
    DIR* dir = ::opendir(directory_.c_str());
    if (dir == nullptr) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        found.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return found;
}

bool SystemFileService::exists(const std::string& name) {
    struct stat info {};
    return ::stat(path(directory_, name).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::unique_ptr<InputFile> SystemFileService::openForReading(const std::string& name) {
    return std::make_unique<PosixInput>(openRegular(path(directory_, name), name, O_RDONLY), name);
}

std::unique_ptr<MappedFile> SystemFileService::map(const std::string& name) {
    return std::make_unique<PosixMapped>(openRegular(path(directory_, name), name, O_RDONLY), name);
}

std::unique_ptr<OutputFile> SystemFileService::createOrReplace(const std::string& name) {
    return replaceIn(directory_, name, name);
}

std::unique_ptr<OutputFile> SystemFileService::openForAppend(const std::string& name) {
    return std::make_unique<PosixOutput>(
        openRegular(path(directory_, name), name, O_WRONLY | O_APPEND | O_CREAT), name);
}

FileAt fileAt(const std::string& path) {
    struct stat info {};
    FileAt at;
    if (::stat(path.c_str(), &info) == 0) {
        at.kind = kindOf(info.st_mode);
        at.device = static_cast<std::uint64_t>(info.st_dev);
        at.file = static_cast<std::uint64_t>(info.st_ino);
    }
    return at;
}

std::unique_ptr<InputFile> openInputFile(const std::string& path) {
    return std::make_unique<PosixInput>(openRegular(path, path, O_RDONLY), path);
}

std::unique_ptr<OutputFile> replaceFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        refuseKind(path, "replace", info.st_mode);
    }
    const auto [directory, name] = splitPath(path);
    return replaceIn(directory, name, path);
}

std::unique_ptr<OutputFile> createNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw TallyFailure(failureText(path, "create", errno));
    }
    return std::make_unique<PosixOutput>(fd, path);
}

ScratchFile openScratchFile() {
    ScratchFile scratch;
    const char* tmpdir = std::getenv("TMPDIR");
    scratch.folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
    // Unnamed where the file system allows it; else a fresh name, removed at once.
    int fd = ::open(scratch.folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string name = path(scratch.folder, "vorskal-XXXXXX");
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) {
            ::unlink(name.c_str());
        }
    }
    if (fd < 0) {
        throw TallyFailure(failureText(scratch.folder, "make a temporary file", errno));
    }
    scratch.file = ::fdopen(fd, "w+b");
    if (scratch.file == nullptr) {
        const int error = errno;
        ::close(fd);
        throw TallyFailure(failureText(scratch.folder, "make a temporary file", error));
    }
    return scratch;
}

DirectoryLock::DirectoryLock(const std::string& directory) {
    const std::string dir = directory.empty() ? "." : directory;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw TallyFailure(failureText(dir, "open the game directory", errno));
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            throw TallyFailure(failureText(dir, "lock the game directory", error));
        }
    }
    held_ = fd;
}

DirectoryLock::~DirectoryLock() {
    if (held_ >= 0) {
        ::close(static_cast<int>(held_));  // closing the last descriptor releases the lock
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

std::string SystemClock::timeOfDay() {
    return formatNow("%X");
}
std::string SystemClock::date() {
    return formatNow("%x");
}
std::time_t SystemClock::now() {
    return std::time(nullptr);
}

bool exchangeFolders(const std::string& from, const std::string& to) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0;
#else
    (void)from;
    (void)to;
    return false;
#endif
}

bool isMountPoint(const std::string& path) {
    struct stat self {};
    struct stat parent {};
    if (::stat(path.c_str(), &self) != 0 || !S_ISDIR(self.st_mode) ||
        ::stat((path + "/..").c_str(), &parent) != 0) {
        return false;
    }
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

long processId() {
    return static_cast<long>(::getpid());
}

bool processEnded(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace vorskal
