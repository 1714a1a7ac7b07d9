#include "league/store/sqlite.h"

#include <sqlite3.h>

#include <cstdio>

namespace vorskal::league {

namespace {

constexpr int kStepsPerCall = 100000;

// `path` as an SQLite URI ("file:..."), with the characters a URI gives a
// meaning to escaped.
std::string uriOf(const std::string& path, const char* parameters) {
    std::string uri = "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '?' || c == '#' || byte < 0x21 || byte >= 0x7f) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?" + parameters;
}

// SQLite counts the memory it holds under one lock for the whole process,
// taken for every allocation of every statement: a league's inserts spent
// about a tenth of their time in it. The league reads no such count. The
// setting holds only before SQLite is first used, so it is made once,
// before the first connection.
void leaveMemoryUncounted() {
    static const bool done = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)done;
}

}  // namespace

bool SqliteError::damaged() const {
    return code_ == SQLITE_CORRUPT || code_ == SQLITE_NOTADB;
}

Connection::Connection(const std::string& path, Mode mode) {
    leaveMemoryUncounted();
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
        case Mode::Immutable:
            flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
            break;
        case Mode::ReadWrite:
            flags |= SQLITE_OPEN_READWRITE;
            break;
        case Mode::Create:
            flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
            break;
    }
    // A plain name that begins with "file:" would be read as a URI where
    // SQLite takes URIs everywhere: "./" keeps it a name.
    const std::string name = mode == Mode::Immutable       ? uriOf(path, "immutable=1")
                             : path.rfind("file:", 0) == 0 ? "./" + path
                                                           : path;
    const int rc = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(rc & 0xff, message);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_progress_handler(db_, kStepsPerCall, &Connection::countSteps, this);
}

int Connection::countSteps(void* connection) {
    auto* self = static_cast<Connection*>(connection);
    self->steps_ += kStepsPerCall;
    return self->pastStepLimit() ? 1 : 0;
}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

void Connection::fail(int code) const {
    throw SqliteError(code & 0xff, sqlite3_errmsg(db_));
}

void Connection::exec(std::string_view sql) {
    restartSteps();
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
}

Statement Connection::prepare(std::string_view sql) {
    return Statement(*this, sql);
}

std::int64_t Connection::scalar(std::string_view sql) {
    Statement statement(*this, sql);
    return statement.step() ? statement.integer(0) : 0;
}

std::int64_t Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Connection::changes() const {
    return sqlite3_changes(db_);
}

namespace {

struct TextFunctionHolder {
    Connection::TextFunction function;
};

void callTextFunction(sqlite3_context* context, int /*count*/, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(values[0]));
    try {
        const std::string result =
            static_cast<const TextFunctionHolder*>(sqlite3_user_data(context))
                ->function(std::string_view(bytes, size));
        sqlite3_result_text64(context, result.data(), result.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (const std::exception&) {
        sqlite3_result_error_nomem(context);
    }
}

}  // namespace

void Connection::addTextFunction(const char* name, TextFunction function) {
    const int code = sqlite3_create_function_v2(
        db_, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, new TextFunctionHolder{function},
        callTextFunction, nullptr, nullptr,
        [](void* holder) { delete static_cast<TextFunctionHolder*>(holder); });
    if (code != SQLITE_OK) {
        fail(code);
    }
}

void Connection::busyTimeout(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

bool Connection::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

Statement::Statement(Connection& connection, std::string_view sql) : connection_(&connection) {
    connection.restartSteps();
    const int rc = sqlite3_prepare_v2(connection.handle(), sql.data(), static_cast<int>(sql.size()),
                                      &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        connection.fail(rc);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : connection_(other.connection_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement& Statement::bind(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    const int rc =
        sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, const std::optional<std::string>& text) {
    return text ? bind(index, std::string_view(*text)) : bindNull(index);
}

Statement& Statement::bindNull(int index) {
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

Statement& Statement::bindReal(int index, double value) {
    const int rc = sqlite3_bind_double(stmt_, index, value);
    if (rc != SQLITE_OK) {
        connection_->fail(rc);
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(stmt_);
    connection_->fail(rc);
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    connection_->restartSteps();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

std::string Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (bytes == nullptr) {
        return {};
    }
    return std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Transaction::Transaction(Connection& connection, Kind kind) : connection_(connection) {
    connection_.exec(kind == Kind::Write ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (open_) {
        sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    connection_.exec("COMMIT");
    open_ = false;
}

}  // namespace vorskal::league
