#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace vorlen::ladder {

// A value bound to a statement or read from a row.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlRow = std::vector<SqlValue>;

// One SQLite database file, open for as long as the object lives. Every
// statement takes its values as parameters (?1, ?2, ...), never spliced into
// the text. Failures are thrown as SqlError with SQLite's own words.
class Sqlite {
public:
    // Opens (creating with `create`) the file, in WAL mode with foreign keys
    // on and a busy wait, so that a reader and the runner share it.
    Sqlite(const std::string& path, bool create);
    ~Sqlite();
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;

    void execute(const std::string& sql, const std::vector<SqlValue>& values = {});
    std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlValue>& values = {});
    std::int64_t lastInsertId() const;
    // Statements in between all land, or none does.
    void begin() { execute("BEGIN IMMEDIATE"); }
    void commit() { execute("COMMIT"); }
    void rollback() { execute("ROLLBACK"); }

private:
    sqlite3_stmt* prepare(const std::string& sql, const std::vector<SqlValue>& values);
    sqlite3* db_ = nullptr;
};

struct SqlError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::int64_t asInt(const SqlValue& value);
std::string asText(const SqlValue& value);

} // namespace vorlen::ladder
