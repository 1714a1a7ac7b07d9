#pragma once
// Opening a league file. Every way of opening checks first that the file is
// a league file this program can use, and refuses it untouched otherwise:
// a file that is not an SQLite database or not a league file, a damaged one,
// or one written with a newer schema. Only Access::Change and Write may
// change the file, and only after those checks and after making sure that
// the file and its folder can be written: Write creates a missing (or empty)
// file; both bring an older schema up to date in one transaction, and
// switch the file to WAL mode with a busy timeout so that several recorders
// can work at once. Access::Read works where the folder cannot be written.
#include <memory>
#include <stdexcept>
#include <string>

#include "base/platform.h"
#include "league/store/sqlite.h"

namespace vorskal::league {

// A league file cannot be used; the message names the file and says why.
class LeagueError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// How long a writer waits for another writer's transaction.
inline constexpr int kBusyTimeoutMs = 30000;

class LeagueFile {
  public:
    // Read: an existing file, opened read-only. Change: an existing file,
    // to write to. Write: the same, but a missing or empty file is made.
    enum class Access { Read, Change, Write };

    // Throws LeagueError when the file cannot be used. `clock` tells the
    // moment a game is recorded or removed at (without it: the system's);
    // it outlives the LeagueFile.
    LeagueFile(const std::string& path, Access access);
    LeagueFile(const std::string& path, Access access, Clock& clock);

    Connection& db() { return *db_; }
    const std::string& path() const { return path_; }
    Clock& clock() { return *clock_; }

    // Turns an SQLite error met while using the file into a LeagueError
    // naming the file ("is damaged" for corruption, "is busy", ...).
    [[noreturn]] void fail(const SqliteError& error) const;

  private:
    void connect(Connection::Mode mode);
    void readImmutable();
    void open(Access access);
    void checkIdentity(Access access);

    std::string path_;
    Clock* clock_;
    std::unique_ptr<Connection> db_;
};

}  // namespace vorskal::league
