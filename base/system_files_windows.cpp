#include "base/system_files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "base/failure.h"
#include "base/leftovers.h"
#include "base/windows_text.h"

namespace vorskal {
namespace {

std::string failureText(const std::string& name, std::string_view action, DWORD error) {
    return name + ": cannot " + std::string(action) + ": " + errorReason(error);
}

// The most one ReadFile or WriteFile call is given.
constexpr std::size_t kChunk = 1u << 30;

// Other programs may go on reading, writing, renaming or deleting a file
// while a tally has it open, as on Linux; the game server may still hold
// its logs.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void refuseKind(const std::string& name, std::string_view action, FileAt::Kind kind) {
    throw TallyFailure(name + ": cannot " + std::string(action) + ": " + kindText(kind) +
                       ", not a regular file");
}

FileAt::Kind kindOfHandle(HANDLE handle) {
    switch (GetFileType(handle)) {
        case FILE_TYPE_DISK:
            return FileAt::Kind::Regular;
        case FILE_TYPE_CHAR:
            return FileAt::Kind::Device;
        case FILE_TYPE_PIPE:
            return FileAt::Kind::Fifo;
        default:
            return FileAt::Kind::Other;
    }
}

// Opens the regular file at `path` (`name` in messages), with CreateFileW's
// `access` and `disposition`. A device ("NUL", "CON") or a pipe is refused by
// its file type, a directory (which CreateFileW refuses as "access denied")
// by its attributes.
HANDLE openRegular(const std::wstring& path, const std::string& name, DWORD access,
                   DWORD disposition, DWORD flags) {
    const HANDLE handle =
        CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            refuseKind(name, "open", FileAt::Kind::Directory);
        }
        throw TallyFailure(failureText(name, "open", error));
    }
    const FileAt::Kind kind = kindOfHandle(handle);
    if (kind != FileAt::Kind::Regular) {
        CloseHandle(handle);
        refuseKind(name, "open", kind);
    }
    return handle;
}

HANDLE openExisting(const std::wstring& path, const std::string& name) {
    return openRegular(path, name, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
}

// Reads up to `size` bytes at the handle's position, or at `offset` when
// one is given; 0 only at the end of the file.
std::size_t readSome(HANDLE handle, const std::string& name, char* buffer, std::size_t size,
                     const std::uint64_t* offset = nullptr) {
    OVERLAPPED at{};
    if (offset != nullptr) {
        at.Offset = static_cast<DWORD>(*offset);
        at.OffsetHigh = static_cast<DWORD>(*offset >> 32);
    }
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(size, kChunk));
    if (!ReadFile(handle, buffer, want, &got, offset != nullptr ? &at : nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF) {
            return 0;
        }
        throw TallyFailure(failureText(name, "read", error));
    }
    return got;
}

class WindowsInput : public InputFile {
  public:
    WindowsInput(HANDLE handle, std::string name) : handle_(handle), name_(std::move(name)) {}
    ~WindowsInput() override { CloseHandle(handle_); }

    std::size_t read(char* buffer, std::size_t size) override {
        return readSome(handle_, name_, buffer, size);
    }

  private:
    HANDLE handle_;
    std::string name_;
};

// A regular file mapped for reading. One that cannot be mapped (the process
// may not have the address space) is read through the system, so that the
// tally needs no address space for the logs' size; one that is not a disk
// file is read into memory.
class WindowsMapped : public MappedFile {
  public:
    WindowsMapped(HANDLE handle, std::string name) : handle_(handle), name_(std::move(name)) {
        LARGE_INTEGER size{};
        if (GetFileType(handle_) == FILE_TYPE_DISK && GetFileSizeEx(handle_, &size)) {
            size_ = static_cast<std::size_t>(size.QuadPart);
            readThrough_ = true;
            const HANDLE mapping =
                size_ > 0 ? CreateFileMappingW(handle_, nullptr, PAGE_READONLY, 0, 0, nullptr)
                          : nullptr;
            if (mapping != nullptr) {
                const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
                CloseHandle(mapping);  // the view keeps the mapping alive
                data_ = static_cast<const char*>(view);
            }
            return;
        }
        try {
            readAll();
        } catch (...) {
            CloseHandle(handle_);
            throw;
        }
    }
    ~WindowsMapped() override {
        if (data_ != nullptr) {
            UnmapViewOfFile(data_);
        }
        CloseHandle(handle_);
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
            const std::uint64_t at = offset + done;
            const std::size_t got = readSome(handle_, name_, buffer + done, size - done, &at);
            if (got == 0) {
                break;
            }
            done += got;
        }
        return done;
    }

  private:
    void readAll() const {
        char buffer[1 << 16];
        owned_.clear();
        for (std::uint64_t at = 0;;) {
            const std::size_t got = readSome(handle_, name_, buffer, sizeof buffer, &at);
            if (got == 0) {
                return;
            }
            owned_.append(buffer, got);
            at += got;
        }
    }

    HANDLE handle_;
    std::string name_;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    mutable bool readThrough_ = false;  // not mapped: read at offsets, size_ from the system
    mutable std::string owned_;
};

// Marks a file, or no longer, to be deleted when its last handle closes.
bool deleteOnClose(HANDLE handle, bool on) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = on ? TRUE : FALSE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

class WindowsOutput : public OutputFile {
  public:
    // `temporary` non-empty: the file is written under that path, marked to
    // be deleted when its handle closes (so a killed run leaves nothing),
    // and moved to `path` on close().
    WindowsOutput(HANDLE handle, std::string name, std::wstring path, std::wstring temporary)
        : handle_(handle),
          name_(std::move(name)),
          path_(std::move(path)),
          temporary_(std::move(temporary)) {}

    ~WindowsOutput() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);  // a temporary file goes with its handle
        }
    }

    void write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(std::min(bytes.size(), kChunk));
            if (!WriteFile(handle_, bytes.data(), want, &put, nullptr)) {
                throw TallyFailure(failureText(name_, "write", GetLastError()));
            }
            bytes.remove_prefix(put);
        }
    }

    // Makes every byte written so far durable.
    void flush() override {
        if (!FlushFileBuffers(handle_)) {
            const DWORD error = GetLastError();
            if (error != ERROR_INVALID_HANDLE && error != ERROR_INVALID_FUNCTION) {
                throw TallyFailure(failureText(name_, "write", error));  // not a pipe or device
            }
        }
    }

    void close() override {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return;
        }
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!temporary_.empty() && !deleteOnClose(handle, false)) {
            const DWORD error = GetLastError();
            CloseHandle(handle);
            fail("write", error);
        }
        if (!CloseHandle(handle)) {
            fail("write", GetLastError());
        }
        if (!temporary_.empty() && !replace()) {
            fail("replace", GetLastError());
        }
    }

  private:
    // Moves the temporary file over the target in one step. A program that
    // has the old file open without letting it be replaced (a virus scanner
    // looking at it, say) usually lets go within moments: a few tries.
    bool replace() const {
        for (int attempt = 0;; ++attempt) {
            if (MoveFileExW(temporary_.c_str(), path_.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            const DWORD error = GetLastError();
            const DWORD target = GetFileAttributesW(path_.c_str());
            const bool folder =
                target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (attempt == 20 || folder ||
                (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
                SetLastError(error);
                return false;
            }
            Sleep(50);
        }
    }

    [[noreturn]] void fail(std::string_view action, DWORD error) const {
        if (!temporary_.empty()) {
            DeleteFileW(temporary_.c_str());
        }
        throw TallyFailure(failureText(name_, action, error));
    }

    HANDLE handle_;
    std::string name_;
    std::wstring path_;
    std::wstring temporary_;
};

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// `name` in `directory`.
std::wstring path(const std::string& directory, const std::string& name) {
    if (directory.empty() || isSeparator(directory.back())) {
        return widen(directory + name);
    }
    return widen(directory) + L'\\' + widen(name);
}

std::atomic<unsigned> temporarySerial{0};

// A new file that replaces `name` in `directory` when it is closed: the one
// atomic way every output takes its place. `shown` names it in messages.
std::unique_ptr<OutputFile> replaceIn(const std::string& directory, const std::string& name,
                                      const std::string& shown) {
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // CREATE_NEW: whatever is planted at the name is never opened.
        const std::wstring temporary =
            path(directory, "." + name + ".new-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(temporarySerial++));
        const HANDLE handle =
            CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            if (!deleteOnClose(handle, true)) {
                error = GetLastError();
                CloseHandle(handle);
                DeleteFileW(temporary.c_str());
                break;
            }
            return std::make_unique<WindowsOutput>(handle, shown, path(directory, name), temporary);
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    throw TallyFailure(failureText(shown, "create", error));
}

}  // namespace

SystemFileService::SystemFileService(std::string directory) : directory_(std::move(directory)) {
    if (directory_.empty()) {
        directory_ = ".";
    }
}

std::vector<std::string> SystemFileService::names() {
    std::vector<std::string> found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((widen(directory_) + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    do {
        found.push_back(narrow(entry.cFileName, CP_UTF8));
    } while (FindNextFileW(search, &entry) != 0);
    FindClose(search);
    return found;
}

bool SystemFileService::exists(const std::string& name) {
    const DWORD attributes = GetFileAttributesW(path(directory_, name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::unique_ptr<InputFile> SystemFileService::openForReading(const std::string& name) {
    return std::make_unique<WindowsInput>(openExisting(path(directory_, name), name), name);
}

std::unique_ptr<MappedFile> SystemFileService::map(const std::string& name) {
    return std::make_unique<WindowsMapped>(openExisting(path(directory_, name), name), name);
}

std::unique_ptr<OutputFile> SystemFileService::createOrReplace(const std::string& name) {
    return replaceIn(directory_, name, name);
}

std::unique_ptr<OutputFile> SystemFileService::openForAppend(const std::string& name) {
    // FILE_APPEND_DATA alone: every write goes to the end of the file.
    const HANDLE handle = openRegular(path(directory_, name), name, FILE_APPEND_DATA | SYNCHRONIZE,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    return std::make_unique<WindowsOutput>(handle, name, std::wstring(), std::wstring());
}

FileAt fileAt(const std::string& path) {
    FileAt at;
    const std::wstring wide = widen(path);
    // No access asked, only the handle: the file's type and its identity.
    const HANDLE handle = CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // Held by a program that lets no one in, say: its kind from its
        // attributes, its identity unknown.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            at.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileAt::Kind::Directory
                                                                   : FileAt::Kind::Regular;
        }
        return at;
    }
    at.kind = kindOfHandle(handle);
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(handle, &information)) {
        if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            at.kind = FileAt::Kind::Directory;
        }
        at.device = information.dwVolumeSerialNumber;
        at.file = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    }
    CloseHandle(handle);
    return at;
}

std::unique_ptr<InputFile> openInputFile(const std::string& path) {
    return std::make_unique<WindowsInput>(openExisting(widen(path), path), path);
}

std::unique_ptr<OutputFile> replaceFile(const std::string& path) {
    const FileAt::Kind kind = fileAt(path).kind;
    if (kind != FileAt::Kind::Missing && kind != FileAt::Kind::Regular) {
        refuseKind(path, "replace", kind);
    }
    const auto [directory, name] = splitPath(path);
    return replaceIn(directory, name, path);
}

std::unique_ptr<OutputFile> createNewFile(const std::string& path) {
    const HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw TallyFailure(failureText(path, "create", GetLastError()));
    }
    return std::make_unique<WindowsOutput>(handle, path, std::wstring(), std::wstring());
}

ScratchFile openScratchFile() {
    ScratchFile scratch;
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        throw TallyFailure("the temporary folder: cannot be found: " + errorReason(GetLastError()));
    }
    scratch.folder = narrow(std::wstring(folder, length));
    wchar_t name[MAX_PATH + 1];
    if (GetTempFileNameW(folder, L"vsk", 0, name) == 0) {
        throw TallyFailure(scratch.folder +
                           ": cannot make a temporary file: " + errorReason(GetLastError()));
    }
    // "T": kept in memory where it can be; "D": deleted when closed.
    scratch.file = _wfopen(name, L"w+bTD");
    if (scratch.file == nullptr) {
        const DWORD error = GetLastError();
        DeleteFileW(name);
        throw TallyFailure(scratch.folder +
                           ": cannot make a temporary file: " + errorReason(error));
    }
    return scratch;
}

DirectoryLock::DirectoryLock(const std::string& directory) {
    const std::string dir = directory.empty() ? "." : directory;
    const std::wstring wide = widen(dir);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw TallyFailure(failureText(dir, "open the game directory", GetLastError()));
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw TallyFailure(failureText(dir, "open the game directory", ERROR_DIRECTORY));
    }
    const std::wstring log = wide + L"\\ux7server0.log";
    const HANDLE handle =
        CreateFileW(log.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return;  // no first log: the run stops before it writes anything
    }
    // One byte at the top of the range of offsets, where no file reaches.
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFEu;
    at.OffsetHigh = 0x7FFFFFFFu;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        throw TallyFailure(failureText(dir, "lock the game directory", error));
    }
    held_ = reinterpret_cast<std::intptr_t>(handle);
}

DirectoryLock::~DirectoryLock() {
    if (held_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(held_));  // closing the handle releases the lock
    }
}

namespace {

// The system's code page, as the report's text is written.
std::string inCodePage(const wchar_t* text, int length) {
    return length > 1 ? narrow(std::wstring(text, static_cast<std::size_t>(length - 1)), CP_ACP)
                      : std::string();
}

}  // namespace

std::string SystemClock::timeOfDay() {
    wchar_t buffer[128];
    const int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, buffer, 128);
    return inCodePage(buffer, length);
}

std::string SystemClock::date() {
    wchar_t buffer[128];
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr,
                                       buffer, 128, nullptr);
    return inCodePage(buffer, length);
}

std::time_t SystemClock::now() {
    return std::time(nullptr);
}

// No exchange of two folders in one step: the caller moves them one after
// the other.
bool exchangeFolders(const std::string&, const std::string&) {
    return false;
}

bool isMountPoint(const std::string&) {
    return false;
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
    std::size_t cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) {
        --cut;
    }
    if (cut == 0) {
        if (path.size() >= 2 && path[1] == ':') {
            return {path.substr(0, 2) + ".", path.substr(2)};
        }
        return {".", path};
    }
    const bool root = cut == 1 || (cut == 3 && path[1] == ':');
    return {path.substr(0, root ? cut : cut - 1), path.substr(cut)};
}

long processId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool processEnded(long pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no process of that id
    }
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) != 0 && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

}  // namespace vorskal
