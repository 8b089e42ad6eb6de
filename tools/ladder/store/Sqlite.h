#pragma once

#include "Database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vorlen::ladder {

// One SQLite database file, in WAL mode with foreign keys on and a busy
// wait, so that a reader and the runner share it.
class Sqlite : public Database {
public:
    // Opens (creating with `create`) the file.
    Sqlite(const std::string& path, bool create);
    ~Sqlite() override;
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;

    void execute(const std::string& sql, const std::vector<SqlValue>& values = {}) override;
    std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlValue>& values = {}) override;
    std::int64_t insert(const std::string& sql, const std::vector<SqlValue>& values) override;
    void begin() override { execute("BEGIN IMMEDIATE"); }
    int schemaVersion() override;
    void setSchemaVersion(int version) override;
    const char* keyColumn() const override { return "INTEGER PRIMARY KEY"; }

private:
    sqlite3_stmt* prepare(const std::string& sql, const std::vector<SqlValue>& values);
    sqlite3* db_ = nullptr;
};

} // namespace vorlen::ladder
