#pragma once
// The real file service: plain files in one directory, read and written
// with POSIX calls. createOrReplace writes an unnamed file in the directory
// (O_TMPFILE) that gets a name only on close() and at once replaces the
// target, so a killed run leaves neither a half-written file where a good
// one stood nor a file of its own. Where the file system has no unnamed
// files, it writes under a temporary name ".NAME.new-PID-N" instead; every
// createOrReplace removes such files of processes that no longer exist.
#include <string>

#include "base/platform.h"

namespace vorskal {

class PosixFileService : public FileService {
  public:
    explicit PosixFileService(std::string directory);

    bool exists(const std::string& name) override;
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<MappedFile> map(const std::string& name) override;
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;
    std::vector<std::string> names() override;

    const std::string& directory() const { return directory_; }

  private:
    std::string path(const std::string& name) const;
    std::string directory_;
};

// Holds an exclusive lock on a directory for as long as it lives, so two
// tallies in one game directory (two windows, or a script and a window) run
// one after the other and their reports never interleave. The lock is the
// kernel's: it goes with the process, however that ends. Creates no file.
class DirectoryLock {
  public:
    // Waits until the lock is free. Throws TallyFailure when the directory
    // cannot be opened.
    explicit DirectoryLock(const std::string& directory);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

  private:
    int fd_ = -1;
};

// The clock of the system, formatted by the user's locale: the long time
// (hours, minutes, seconds) and the short date.
class SystemClock : public Clock {
  public:
    std::string timeOfDay() override;
    std::string date() override;
};

}  // namespace vorskal
