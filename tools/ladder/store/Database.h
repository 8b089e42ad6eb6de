#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace vorlen::ladder {

// A value bound to a statement or read from a row.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlRow = std::vector<SqlValue>;

struct SqlError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole number, from whichever form the database gave it; 0 for none.
std::int64_t asInt(const SqlValue& value);
std::string asText(const SqlValue& value);
double asReal(const SqlValue& value);

// The ladder's database, SQLite or PostgreSQL, open for as long as the
// object lives. Statements are written once for both: values as parameters
// (?1, ?2, ...), never spliced into the text; a table's own key written
// {key}. Failures are thrown as SqlError with the database's own words.
// One thread at a time.
class Database {
public:
    virtual ~Database() = default;

    virtual void execute(const std::string& sql, const std::vector<SqlValue>& values = {}) = 0;
    virtual std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlValue>& values = {}) = 0;
    // Inserts one row into a table whose key is `id`; its key.
    virtual std::int64_t insert(const std::string& sql, const std::vector<SqlValue>& values) = 0;
    // Statements in between all land, or none does; a writer waits for another.
    virtual void begin() = 0;
    void commit() { execute("COMMIT"); }
    void rollback() { execute("ROLLBACK"); }

    // The migrations applied so far, kept in the database.
    virtual int schemaVersion() = 0;
    virtual void setSchemaVersion(int version) = 0;
    // A table's own key, auto-numbered, as the database writes it.
    virtual const char* keyColumn() const = 0;
};

} // namespace vorlen::ladder
