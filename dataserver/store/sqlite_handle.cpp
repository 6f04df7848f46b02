#include "dataserver/store/sqlite_handle.h"

#include <utility>

namespace kinvo::ds {

namespace {

[[noreturn]] void fail(sqlite3* db, int code, std::string_view what) {
    std::string message(what);
    message += ": ";
    message += db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw DbError(code, message);
}

constexpr int kBusyTimeoutMs = 5000;

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) {
    int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        fail(db, rc, "prepare");
    }
}

Statement::Statement(Statement&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement& Statement::reset() noexcept {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    // An empty view may carry a null pointer, which SQLite would store as NULL.
    int rc = sqlite3_bind_text(stmt_, index, text.empty() ? "" : text.data(),
                               static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
        fail(sqlite3_db_handle(stmt_), rc, "bind");
    }
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) {
        fail(sqlite3_db_handle(stmt_), rc, "bind");
    }
    return *this;
}

Statement& Statement::bind(int index, double value) {
    int rc = sqlite3_bind_double(stmt_, index, value);
    if (rc != SQLITE_OK) {
        fail(sqlite3_db_handle(stmt_), rc, "bind");
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK) {
        fail(sqlite3_db_handle(stmt_), rc, "bind");
    }
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3* db = sqlite3_db_handle(stmt_);
    std::string message = std::string("step: ") + sqlite3_errmsg(db);
    sqlite3_reset(stmt_);
    throw DbError(rc, message);
}

void Statement::run() {
    while (step()) {
    }
    sqlite3_reset(stmt_);
}

std::string Statement::text(int column) const {
    auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Database::Database(const std::string& path, Mode mode) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::ReadWriteCreate) {
        flags |= SQLITE_OPEN_CREATE;
    }
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message =
            "open " + path + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw DbError(rc, message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::exec(std::string_view sql) {
    std::string copy(sql);
    char* error = nullptr;
    int rc = sqlite3_exec(db_, copy.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = std::string("exec: ") + (error ? error : sqlite3_errstr(rc));
        sqlite3_free(error);
        throw DbError(rc, message);
    }
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (open_) {
        sqlite3_exec(db_.raw(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

}  // namespace kinvo::ds
