#pragma once
// The real files and clock of the system the program is built for: one
// declaration, two implementations side by side, system_files_posix.cpp
// (Linux: POSIX calls) and system_files_windows.cpp (Windows: the
// wide-character Win32 calls, so a directory named in any script works).
// The build compiles the one of its system. Names and the directory are
// UTF-8 text; failures are worded alike on both: "NAME: cannot ACTION:
// REASON", with the Linux reason for the common errors on Windows too.
//
// createOrReplace never leaves a half-written file where a good one stood,
// nor a file of its own after a killed run:
// - POSIX: an unnamed file in the directory (O_TMPFILE) that gets a name
//   only on close() and at once replaces the target. Where the file system
//   has no unnamed files, a temporary name ".NAME.new-PID-N" instead; every
//   createOrReplace removes such files of processes that no longer exist.
// - Windows: a temporary name beside the target, marked to be deleted with
//   its handle, moved into place on close() in one step (MoveFileExW,
//   replacing and writing through).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/platform.h"

namespace vorskal {

class SystemFileService : public FileService {
  public:
    explicit SystemFileService(std::string directory);

    bool exists(const std::string& name) override;
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<MappedFile> map(const std::string& name) override;
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;
    std::vector<std::string> names() override;

    const std::string& directory() const { return directory_; }

  private:
    std::string directory_;
};

// Files named by a path of the user's (an output, a league file, a report
// file to import), in any directory. Only regular files are read or written:
// a file is opened without blocking and looked at before any byte moves, so a
// FIFO, a device, a directory or a socket is refused with a message naming
// it ("PATH: cannot open: a FIFO, not a regular file") instead of hanging
// the run or reading without end. The game directory's own files
// (SystemFileService) follow the same rule.

// What a path names, following symbolic links.
struct FileAt {
    enum class Kind { Missing, Regular, Directory, Fifo, Device, Socket, Other };
    Kind kind = Kind::Missing;  // Missing also when it cannot be looked at
    // The file's identity: device and inode (Windows: volume serial number
    // and file ID; both 0 when it cannot be read). Two paths with the same
    // identity name the same file, whatever their names and links.
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    bool sameFileAs(const FileAt& other) const {
        return kind != Kind::Missing && other.kind != Kind::Missing && file != 0 &&
               device == other.device && file == other.file;
    }
};
FileAt fileAt(const std::string& path);
// "a FIFO", "a device", "a directory", ... for a message.
inline std::string kindText(FileAt::Kind kind) {
    switch (kind) {
        case FileAt::Kind::Missing:
            return "missing";
        case FileAt::Kind::Regular:
            return "a regular file";
        case FileAt::Kind::Directory:
            return "a directory";
        case FileAt::Kind::Fifo:
            return "a FIFO";
        case FileAt::Kind::Device:
            return "a device";
        case FileAt::Kind::Socket:
            return "a socket";
        case FileAt::Kind::Other:
            break;
    }
    return "a special file";
}

// A path's directory and name: "a/b" gives "a" and "b", "b" gives "." and
// "b", "/b" gives "/" and "b" (on Windows "\\" separates too, and "C:b"
// gives "C:." and "b").
std::pair<std::string, std::string> splitPath(const std::string& path);

// Opens a regular file for reading. Throws TallyFailure naming `path`.
std::unique_ptr<InputFile> openInputFile(const std::string& path);
// A new file that replaces `path` on close(), as createOrReplace does in the
// file's directory: the one way every output is written. Throws TallyFailure
// naming `path` when it is there and not a regular file, or cannot be made.
std::unique_ptr<OutputFile> replaceFile(const std::string& path);
// A file made new at `path`, never over anything there, for a folder that
// takes its place whole once every file in it is written (a site being
// built): no temporary name, no look for another run's leftovers. Throws
// TallyFailure naming `path` when something is there or it cannot be made.
std::unique_ptr<OutputFile> createNewFile(const std::string& path);

// A scratch file for the run's own use, read and written, gone when it is
// closed or the process ends: in the folder that TMPDIR names (Windows: the
// user's temporary folder), else /tmp. Throws TallyFailure naming the
// folder and the reason when it cannot be made.
struct ScratchFile {
    std::FILE* file = nullptr;
    std::string folder;
};
ScratchFile openScratchFile();

// Holds an exclusive lock on a game directory for as long as it lives, so
// two tallies in one directory (two windows, or a script and a window) run
// one after the other and their reports never interleave. The lock goes
// with the process, however that ends, and creates no file.
// - POSIX: flock on the directory.
// - Windows: LockFileEx on a handle of the directory's "ux7server0.log",
//   over a byte range far past any real end, so that reading and writing the
//   log are never hindered. Where there is no "ux7server0.log" a run writes
//   nothing, and nothing is locked.
class DirectoryLock {
  public:
    // Waits until the lock is free. Throws TallyFailure when the directory
    // cannot be opened or locked.
    explicit DirectoryLock(const std::string& directory);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

  private:
    // The descriptor (POSIX) or the HANDLE (Windows) holding the lock; -1: none.
    std::intptr_t held_ = -1;
};

// The clock of the system, formatted by the user's settings: the long time
// (hours, minutes, seconds) and the short date (on Windows in the system's
// code page, like the report's text); the moment, as the C library has it.
class SystemClock : public Clock {
  public:
    std::string timeOfDay() override;
    std::string date() override;
    std::time_t now() override;
};

// `to`, a folder that exists, and `from` trade places in one step, so that no
// one ever sees neither at `to`: true when they did. False where the system
// or the file system cannot (Windows, and Linux file systems without
// RENAME_EXCHANGE): the caller then moves them one after the other.
bool exchangeFolders(const std::string& from, const std::string& to);

// Whether the folder `path` is where another file system is mounted (its
// device differs from its parent's), so that it cannot be renamed. False
// where the system does not tell (Windows), and for what is not a folder.
bool isMountPoint(const std::string& path);

}  // namespace vorskal
