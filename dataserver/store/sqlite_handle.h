#pragma once
// Move-only owners of SQLite handles: a connection, a prepared statement and a transaction.
//
// Error policy of the store module: an SQLite call that fails where the schema and the statements
// are ours (so it can only mean a full disk, a locked or damaged file, or a bug) throws DbError
// with SQLite's message. Callers decide what a failure means for their request; nothing in this
// module logs. Destructors never throw.
//
// A Database and its Statements belong to one thread at a time; share them through
// ConnectionPool, never directly.

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kinvo::ds {

class DbError : public std::runtime_error {
  public:
    DbError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    int code() const noexcept { return code_; }

  private:
    int code_;
};

class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Clears the bindings and rewinds; call before binding a new use of the statement.
    Statement& reset() noexcept;
    // Parameters count from 1, as in SQL.
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, double value);
    Statement& bindNull(int index);

    // Runs to the next row: true while a row is there, false when done.
    bool step();
    // Runs a statement that returns no rows, then rewinds it.
    void run();

    // Columns count from 0. Texts come back as the bytes stored.
    std::string text(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

class Database {
  public:
    enum class Mode { ReadWrite, ReadWriteCreate };

    // Opens the file in multi-thread mode (one thread per connection at a time) with a busy
    // timeout, so WAL readers and the single writer wait for each other instead of failing.
    Database(const std::string& path, Mode mode);
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    void exec(std::string_view sql);
    Statement prepare(std::string_view sql) const { return Statement(db_, sql); }
    std::int64_t lastInsertId() const { return sqlite3_last_insert_rowid(db_); }
    int changes() const { return sqlite3_changes(db_); }
    sqlite3* raw() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE on construction; rolls back on destruction unless committed.
class Transaction {
  public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();

  private:
    Database& db_;
    bool open_ = true;
};

}  // namespace kinvo::ds
