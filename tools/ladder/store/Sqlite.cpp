#include "Sqlite.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace vorlen::ladder {
namespace {

struct StatementEnd {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementEnd>;

} // namespace

Sqlite::Sqlite(const std::string& path, bool create)
{
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOFOLLOW;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw SqlError("cannot open '" + path + "': " + why);
    }
    sqlite3_busy_timeout(db_, 10000);
    query("PRAGMA journal_mode=WAL");
    // In WAL mode a commit then survives the process dying at any moment;
    // only a power cut may take back the last ones, whose pairs the next
    // run plays again. Waiting for the disk at every pair would not pay.
    execute("PRAGMA synchronous=NORMAL");
    execute("PRAGMA foreign_keys=ON");
}

Sqlite::~Sqlite() { sqlite3_close(db_); }

sqlite3_stmt* Sqlite::prepare(const std::string& sql, const std::vector<SqlValue>& values)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK)
        throw SqlError(sqlite3_errmsg(db_));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int at = static_cast<int>(i) + 1;
        const SqlValue& value = values[i];
        int bound = SQLITE_OK;
        if (const auto* number = std::get_if<std::int64_t>(&value))
            bound = sqlite3_bind_int64(statement, at, *number);
        else if (const auto* real = std::get_if<double>(&value))
            bound = sqlite3_bind_double(statement, at, *real);
        else if (const auto* text = std::get_if<std::string>(&value))
            bound = sqlite3_bind_text(statement, at, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
        else
            bound = sqlite3_bind_null(statement, at);
        if (bound != SQLITE_OK) {
            sqlite3_finalize(statement);
            throw SqlError(sqlite3_errmsg(db_));
        }
    }
    return statement;
}

void Sqlite::execute(const std::string& sql, const std::vector<SqlValue>& values) { query(sql, values); }

std::vector<SqlRow> Sqlite::query(const std::string& sql, const std::vector<SqlValue>& values)
{
    const Statement statement(prepare(sql, values));
    std::vector<SqlRow> rows;
    for (;;) {
        const int step = sqlite3_step(statement.get());
        if (step == SQLITE_DONE)
            return rows;
        if (step != SQLITE_ROW)
            throw SqlError(sqlite3_errmsg(db_));
        SqlRow row;
        for (int column = 0; column < sqlite3_column_count(statement.get()); ++column) {
            switch (sqlite3_column_type(statement.get(), column)) {
            case SQLITE_INTEGER:
                row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(statement.get(), column)));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(sqlite3_column_double(statement.get(), column));
                break;
            case SQLITE_NULL:
                row.emplace_back(std::monostate{});
                break;
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), column));
                row.emplace_back(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement.get(), column))));
            }
            }
        }
        rows.push_back(std::move(row));
    }
}

std::int64_t Sqlite::insert(const std::string& sql, const std::vector<SqlValue>& values)
{
    execute(sql, values);
    return sqlite3_last_insert_rowid(db_);
}

int Sqlite::schemaVersion() { return static_cast<int>(asInt(query("PRAGMA user_version").at(0).at(0))); }

void Sqlite::setSchemaVersion(int version) { execute("PRAGMA user_version = " + std::to_string(version)); }

} // namespace vorlen::ladder
