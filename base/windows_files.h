#pragma once
// The real file service on Windows: plain files in one directory, read and
// written with the wide-character Win32 calls, so a directory named in any
// script works. Names and the directory are UTF-8 text.
//
// createOrReplace writes beside the target under a temporary name and moves
// it into place on close() in one step (MoveFileExW, replacing and writing
// through), so an interrupted run never leaves a half-written file where a
// good one stood. Until then the temporary file is marked to be deleted
// with its handle, so a run killed midway leaves no file of its own. Failures are worded as on
// Linux: "NAME: cannot ACTION: REASON", with the Linux reason for the common errors.
#include <string>
#include <vector>

#include "base/platform.h"

namespace vorskal {

class WindowsFileService : public FileService {
  public:
    explicit WindowsFileService(std::string directory);

    bool exists(const std::string& name) override;
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<MappedFile> map(const std::string& name) override;
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;
    std::vector<std::string> names() override;

    const std::string& directory() const { return directory_; }

  private:
    std::wstring path(const std::string& name) const;
    std::string directory_;
};

// Holds an exclusive lock on a game directory for as long as it lives, so
// two tallies in one directory run one after the other and their reports
// never interleave. The lock is LockFileEx on a handle of the directory's
// "ux7server0.log", over a byte range far past any real end, so that
// reading and writing the log are never hindered; the system releases it
// with the handle, however the process ends. Creates no file: where there
// is no "ux7server0.log" a run writes nothing, and nothing is locked.
class DirectoryLock {
  public:
    // Waits until the lock is free. Throws TallyFailure when the directory
    // cannot be opened or locked.
    explicit DirectoryLock(const std::string& directory);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

  private:
    void* handle_ = nullptr;  // the HANDLE holding the lock, or none
};

// The clock of the system, formatted by the user's settings (the long time
// and the short date), in the system's code page like the report's text.
class SystemClock : public Clock {
  public:
    std::string timeOfDay() override;
    std::string date() override;
};

}  // namespace vorskal
