#include "league/store/league_file.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "base/failure.h"
#include "base/system_files.h"
#include "base/utf8_path.h"
#include "base/writable.h"
#include "league/store/schema.h"
#include "league/store/schema_check.h"
#include "league/store/season_days.h"
#include "results/address_mask.h"

namespace vorskal::league {

namespace {

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

enum class OnDisk { Missing, Empty, NotSqlite, Sqlite };

// Looks at the file's first bytes without opening it as a database. Only a
// regular file is looked into: a directory, a FIFO or a device is refused
// naming it.
OnDisk lookAt(const std::string& path) {
    if (fileAt(path).kind == FileAt::Kind::Missing) {
        return OnDisk::Missing;
    }
    char header[16] = {};
    std::size_t got = 0;
    try {
        const std::unique_ptr<InputFile> in = openInputFile(path);
        for (std::size_t more = 1; more > 0 && got < sizeof header; got += more) {
            more = in->read(header + got, sizeof header - got);
        }
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    }
    if (got == 0) {
        return OnDisk::Empty;
    }
    if (got < 16 || std::memcmp(header, "SQLite format 3", 16) != 0) {
        return OnDisk::NotSqlite;
    }
    return OnDisk::Sqlite;
}

std::string pragmaText(Connection& db, const char* sql) {
    Statement statement = db.prepare(sql);
    return statement.step() ? statement.text(0) : std::string();
}

// Whether the write-ahead log beside the file holds changes not yet in it.
bool walHoldsChanges(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(utf8Path(path + "-wal"), error);
    return !error && size > 0;
}

}  // namespace

LeagueFile::LeagueFile(const std::string& path, Access access)
    : LeagueFile(path, access, systemClock()) {}

LeagueFile::LeagueFile(const std::string& path, Access access, Clock& clock)
    : path_(path), clock_(&clock) {
    const OnDisk onDisk = lookAt(path);
    if (onDisk == OnDisk::Missing && access != Access::Write) {
        throw LeagueError(path + ": no such league file");
    }
    if (onDisk == OnDisk::NotSqlite) {
        throw LeagueError(path +
                          ": not a league file (it is not an SQLite database); left as it is");
    }
    if (onDisk == OnDisk::Empty && access != Access::Write) {
        throw LeagueError(path + ": an empty file, not a league file yet");
    }

    // A reader who may write the file and its folder opens it as a writer
    // would, though it changes nothing (query_only): the last to close a
    // file in WAL mode moves the log into it and removes "-wal" and "-shm",
    // which a read-only connection cannot, so that the file stands alone
    // after every command. Any other reader opens it immutable: a side file
    // it made would be its own, and would keep the file's owner from
    // writing it.
    const bool mayWrite = folderWritable(folderOf(utf8Path(path))) &&
                          (onDisk == OnDisk::Missing || fileWritable(utf8Path(path)));
    if (access == Access::Read && !mayWrite) {
        readImmutable();
    } else {
        connect(access == Access::Write ? Connection::Mode::Create : Connection::Mode::ReadWrite);
    }
    if (access != Access::Read && (db_->readOnly() || !mayWrite)) {
        throw LeagueError(path + ": cannot be written (this user may only read it, or its " +
                          "folder); left as it is");
    }

    // SQLite answers "busy" without waiting in a few places (changing the
    // journal mode, a reader meeting a checkpoint); the whole opening is
    // tried again then, until the same timeout.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (int attempt = 0;; ++attempt) {
        try {
            open(access);
            return;
        } catch (const SqliteError& error) {
            const bool busy = error.code() == SQLITE_BUSY || error.code() == SQLITE_LOCKED;
            if (!busy || std::chrono::steady_clock::now() >= deadline) {
                fail(error);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(5 * (attempt + 1), 50)));
        }
    }
}

void LeagueFile::readImmutable() {
    // Changes in the write-ahead log are not seen by an immutable reader: a
    // recorder is at work, or was stopped.
    if (walHoldsChanges(path_)) {
        throw LeagueError(path_ + ": cannot be read by a user who may not write it (or its " +
                          "folder) while " + path_ +
                          "-wal holds changes not yet in it (a recorder is at work or was " +
                          "stopped); let a recorder finish there first");
    }
    connect(Connection::Mode::Immutable);
}

void LeagueFile::connect(Connection::Mode mode) {
    try {
        db_.reset();
        db_ = std::make_unique<Connection>(path_, mode);
    } catch (const SqliteError& error) {
        throw LeagueError(path_ + ": cannot open: " + error.what());
    }
    // Before the first statement: every step below waits for another
    // recorder's transaction instead of failing at once.
    db_->busyTimeout(kBusyTimeoutMs);
}

void LeagueFile::checkIdentity(Access access) {
    // One read transaction: another recorder's creation is seen whole or
    // not at all.
    Transaction reading(*db_, Transaction::Kind::Read);
    const std::int64_t applicationId = db_->scalar("PRAGMA application_id");
    const std::int64_t version = db_->scalar("PRAGMA user_version");
    const std::int64_t objects = db_->scalar("SELECT count(*) FROM sqlite_master");
    const bool blank = applicationId == 0 && version == 0 && objects == 0;
    if (applicationId != kApplicationId && !blank) {
        throw LeagueError(path_ +
                          ": not a league file (an SQLite database of another program); "
                          "left as it is");
    }
    if (version > kSchemaVersion) {
        throw LeagueError(path_ + ": written by a newer VORSKAL (schema version " +
                          std::to_string(version) + "; this program knows up to " +
                          std::to_string(kSchemaVersion) + "); left as it is");
    }
    if (!blank) {
        const std::string difference = schemaDifference(*db_, version);
        if (!difference.empty()) {
            throw LeagueError(path_ + ": not a league file as this program writes them (" +
                              difference + "); left as it is");
        }
    }
    const std::string check = pragmaText(*db_, "PRAGMA quick_check");
    if (check != "ok") {
        throw LeagueError(path_ + ": the league file is damaged (" + check + "); left as it is");
    }
    if (access == Access::Read && version < kSchemaVersion) {
        throw LeagueError(path_ + ": schema version " + std::to_string(version) +
                          " is older than this program's " + std::to_string(kSchemaVersion) +
                          "; any recording command brings it up to date");
    }
    reading.commit();
}

void LeagueFile::open(Access access) {
    // Reads only: nothing is written before the file has passed.
    checkIdentity(access);
    if (access == Access::Read) {
        db_->exec("PRAGMA query_only = ON");
        return;
    }
    if (pragmaText(*db_, "PRAGMA journal_mode = WAL") != "wal") {
        throw LeagueError(path_ + ": cannot switch the league file to WAL mode");
    }
    db_->exec("PRAGMA foreign_keys = ON");
    db_->addTextFunction(kMaskAddressesFunction, results::maskAddresses);
    // Creating or bringing the schema up to date is one write transaction;
    // the version is read again inside it, since another recorder may have
    // just done it.
    Transaction migration(*db_);
    const std::int64_t before = db_->scalar("PRAGMA user_version");
    for (std::int64_t v = before + 1; v <= kSchemaVersion; ++v) {
        db_->exec(migrationTo(v));
        db_->exec("PRAGMA user_version = " + std::to_string(v));
        db_->exec("PRAGMA application_id = " + std::to_string(kApplicationId));
    }
    // Files of schema 1 and 2 kept days another way; from schema 3 on, a
    // game's day stays as it was read.
    if (before > 0 && before < 3) {
        refreshAllDays(*db_);
    }
    migration.commit();
}

void LeagueFile::fail(const SqliteError& error) const {
    if (error.damaged()) {
        throw LeagueError(path_ + ": the league file is damaged (" + error.what() +
                          "); left as it is");
    }
    if (error.code() == SQLITE_INTERRUPT) {
        throw LeagueError(path_ + ": a query ran past " + std::to_string(Connection::kStepLimit) +
                          " steps, which no league file needs (a crafted file?); stopped");
    }
    if (error.code() == SQLITE_BUSY || error.code() == SQLITE_LOCKED) {
        throw LeagueError(path_ +
                          ": the league file is busy (another program holds it): " + error.what());
    }
    throw LeagueError(path_ + ": " + error.what());
}

}  // namespace vorskal::league
