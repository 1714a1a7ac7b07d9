#pragma once
// A thin RAII wrapper over SQLite's C interface: a connection, a prepared
// statement and a transaction that rolls back unless committed. Every error
// throws SqliteError carrying SQLite's own result code and message, so the
// caller can tell a busy or damaged file from a plain mistake.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vorskal::league {

class SqliteError : public std::runtime_error {
  public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }  // the primary result code (SQLITE_CORRUPT, ...)
    bool damaged() const;               // the file is not a database, or is corrupt

  private:
    int code_;
};

class Statement;

class Connection {
  public:
    // Immutable: read-only, and the file is taken not to change while open
    // (no locks, no side files), for a reader who may not write the file
    // or its folder.
    enum class Mode { Immutable, ReadWrite, Create };
    // Opens `path`; Immutable and ReadWrite need the file to
    // exist, Create makes it when missing. Opening reads nothing from the
    // file yet.
    Connection(const std::string& path, Mode mode);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one or more statements that return no rows.
    void exec(std::string_view sql);
    Statement prepare(std::string_view sql);
    // The first column of the first row of `sql`, as an integer.
    std::int64_t scalar(std::string_view sql);
    std::int64_t lastInsertId() const;
    int changes() const;
    void busyTimeout(int milliseconds);
    // Makes `function` callable from this connection's SQL as name(text):
    // NULL stays NULL. It must give the same text for the same text.
    using TextFunction = std::string (*)(std::string_view);
    void addTextFunction(const char* name, TextFunction function);
    // Whether the file was opened read-only (also when asked to write to a
    // file the system does not let this user write).
    bool readOnly() const;

    sqlite3* handle() const { return db_; }

    // Every statement may take at most kStepLimit of SQLite's steps (virtual
    // machine instructions), counted from its preparation or reset (or from exec()):
    // far beyond what the largest season needs, yet a crafted file (a
    // recursive view, a trigger loop) ends with SqliteError SQLITE_INTERRUPT
    // instead of running on and filling the temporary folder.
    static constexpr std::int64_t kStepLimit = 1'000'000'000;
    void restartSteps() { steps_ = 0; }
    bool pastStepLimit() const { return steps_ > stepLimit_; }
    void limitSteps(std::int64_t limit) { stepLimit_ = limit; }  // for tests
    [[noreturn]] void fail(int code) const;

  private:
    static int countSteps(void* connection);

    sqlite3* db_ = nullptr;
    std::int64_t steps_ = 0;
    std::int64_t stepLimit_ = kStepLimit;
};

// A prepared statement. bind() counts parameters from 1; column() from 0.
class Statement {
  public:
    Statement(Connection& connection, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, const std::string& text) {
        return bind(index, std::string_view(text));
    }
    Statement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    Statement& bind(int index, const std::optional<std::string>& text);  // NULL when empty
    Statement& bindNull(int index);
    Statement& bindReal(int index, double value);
    // Advances to the next row; false when there is none.
    bool step();
    // Runs a statement that returns no rows, then makes it ready to run again.
    void run();
    void reset();

    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;  // "" for NULL
    bool isNull(int column) const;

  private:
    Connection* connection_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE on construction: the write lock is taken at once, so two
// writers queue on the busy timeout instead of failing halfway. Rolls back
// in the destructor unless commit() ran.
class Transaction {
  public:
    // Write takes the file's write lock at once (BEGIN IMMEDIATE), so two
    // writers never deadlock; Read sees one state of the file throughout.
    enum class Kind { Read, Write };
    explicit Transaction(Connection& connection, Kind kind = Kind::Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Connection& connection_;
    bool open_ = true;
};

}  // namespace vorskal::league
