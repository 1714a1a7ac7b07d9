#pragma once
// The platform seam of a tally run: a file service and a clock. The run uses nothing of the
// operating system but these, so tests can put a file system in memory, a fixed clock or a failing
// disk in their place.
//
// File names are plain names without a directory; a service resolves them in
// the one directory it serves (the game's directory).
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorskal {

// A file opened for reading from its first byte.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes; returns 0 only at the end of the file.
    // Throws TallyFailure when the file cannot be read.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// A whole file's bytes, mapped into memory where the system allows it.
class MappedFile {
  public:
    virtual ~MappedFile() = default;
    // All the bytes, in memory. A service that reads the file through the
    // system (it could not be mapped) reads it whole on the first call:
    // prefer size() and readAt for a file of any length.
    virtual std::string_view bytes() const = 0;
    virtual std::uint64_t size() const { return bytes().size(); }
    // Copies up to `size` bytes from `offset` into `buffer` and returns how
    // many: fewer only at the end of the file. The same bytes as bytes()
    // holds, but a service may read them through the system, which is much
    // cheaper than touching a mapping's pages for the first time. Throws
    // TallyFailure naming the file when it cannot be read.
    virtual std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t size) const {
        const std::string_view all = bytes();
        if (offset >= all.size()) {
            return 0;
        }
        const std::string_view part = all.substr(offset, size);
        part.copy(buffer, part.size());
        return part.size();
    }
    // The `size` bytes at `offset` in place, read in so that reading them
    // cannot fault however the file changes meanwhile (a file cut short then
    // faults only in the narrow time between this call and the read); null
    // when the service cannot promise that, or the file has become shorter:
    // the caller then uses readAt, which says so.
    virtual const char* resident(std::uint64_t /*offset*/, std::size_t /*size*/) const {
        return nullptr;
    }
    // Lets the system drop bytes that resident() gave from this process's
    // memory once they have been used (they stay in the file).
    virtual void release(std::uint64_t /*offset*/, std::size_t /*size*/) const {}
};

// A file opened for writing. Writes may be buffered by the caller; every
// write error throws TallyFailure at once.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    virtual void write(std::string_view bytes) = 0;
    // Makes every byte written so far durable in the file system (the real
    // files: fsync).
    virtual void flush() = 0;
    // Finishes the file. For a file made by createOrReplace this is the
    // commit: the new content takes the old file's place in one step.
    virtual void close() = 0;
};

class FileService {
  public:
    virtual ~FileService() = default;
    // True when `name` is there and is not a directory.
    virtual bool exists(const std::string& name) = 0;
    // Throws TallyFailure naming the file when it cannot be opened.
    virtual std::unique_ptr<InputFile> openForReading(const std::string& name) = 0;
    // The whole file at once. Throws TallyFailure naming the file when it
    // cannot be opened or read.
    virtual std::unique_ptr<MappedFile> map(const std::string& name) = 0;
    // A new, empty file that replaces `name` when it is closed. The
    // destructor does not commit, to avoid half-written files: a file
    // dropped without close() leaves the old `name` as it was.
    virtual std::unique_ptr<OutputFile> createOrReplace(const std::string& name) = 0;
    // Opens `name` for appending, creating it when it does not exist; what
    // the file holds is kept.
    virtual std::unique_ptr<OutputFile> openForAppend(const std::string& name) = 0;
    // The names of the files in the directory, in no particular order (for
    // checks of the setup; a failure to list gives no names).
    virtual std::vector<std::string> names() = 0;
};

// A file service that passes every call to another: the base of those that
// change one or two of them (a report held back or digested, writes swallowed).
class PassingFiles : public FileService {
  public:
    explicit PassingFiles(FileService& files) : files_(files) {}

    bool exists(const std::string& name) override { return files_.exists(name); }
    std::unique_ptr<InputFile> openForReading(const std::string& name) override {
        return files_.openForReading(name);
    }
    std::unique_ptr<MappedFile> map(const std::string& name) override { return files_.map(name); }
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override {
        return files_.createOrReplace(name);
    }
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override {
        return files_.openForAppend(name);
    }
    std::vector<std::string> names() override { return files_.names(); }

  protected:
    FileService& files_;
};

// The current time of day and date, in the user's formats (long time, short
// date), and the moment itself (what the league file records a game at).
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::string timeOfDay() = 0;
    virtual std::string date() = 0;
    virtual std::time_t now() = 0;
};

}  // namespace vorskal
