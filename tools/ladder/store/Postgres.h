#pragma once

#include "Database.h"

struct pg_conn;

namespace vorlen::ladder {

// A PostgreSQL database, for a ladder served from several machines: one
// connection, statements sent with their values apart ($1, $2, ...), never
// spliced in. Its schema's version is a table of its own.
class Postgres : public Database {
public:
    // Connects to the server a "postgresql://" address names.
    explicit Postgres(const std::string& address);
    ~Postgres() override;
    Postgres(const Postgres&) = delete;
    Postgres& operator=(const Postgres&) = delete;

    void execute(const std::string& sql, const std::vector<SqlValue>& values = {}) override;
    std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlValue>& values = {}) override;
    std::int64_t insert(const std::string& sql, const std::vector<SqlValue>& values) override;
    void begin() override { execute("BEGIN"); }
    int schemaVersion() override;
    void setSchemaVersion(int version) override;
    const char* keyColumn() const override { return "BIGSERIAL PRIMARY KEY"; }

private:
    pg_conn* connection_ = nullptr;
};

// The statement as PostgreSQL numbers its parameters: ?N becomes $N, outside
// quoted text.
std::string postgresParameters(const std::string& sql);

} // namespace vorlen::ladder
