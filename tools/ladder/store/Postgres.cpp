#include "Postgres.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace vorlen::ladder {
namespace {

// Type numbers of the server's catalogue that come back as numbers.
constexpr Oid kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

struct ResultEnd {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultEnd>;

std::string textOf(const SqlValue& value)
{
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return std::to_string(*number);
    if (const auto* real = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", *real);
        return text;
    }
    return std::get<std::string>(value);
}

SqlValue valueOf(const PGresult* result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return std::monostate{};
    const char* text = PQgetvalue(result, row, column);
    switch (PQftype(result, column)) {
    case kInt2:
    case kInt4:
    case kInt8:
        return static_cast<std::int64_t>(std::strtoll(text, nullptr, 10));
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return std::strtod(text, nullptr);
    default:
        return std::string(text, static_cast<std::size_t>(PQgetlength(result, row, column)));
    }
}

} // namespace

std::string postgresParameters(const std::string& sql)
{
    std::string out;
    char quote = 0;
    for (const char ch : sql) {
        if (quote != 0) {
            quote = ch == quote ? 0 : quote;
        } else if (ch == '\'' || ch == '"') {
            quote = ch;
        } else if (ch == '?') {
            out.push_back('$');
            continue;
        }
        out.push_back(ch);
    }
    return out;
}

Postgres::Postgres(const std::string& address) : connection_(PQconnectdb(address.c_str()))
{
    if (PQstatus(connection_) != CONNECTION_OK) {
        const std::string why = connection_ ? PQerrorMessage(connection_) : "out of memory";
        PQfinish(connection_);
        connection_ = nullptr;
        throw SqlError("cannot connect to the PostgreSQL server: " + why);
    }
    // Notices (a table that already exists...) are not the ladder's to print.
    PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
}

Postgres::~Postgres() { PQfinish(connection_); }

void Postgres::execute(const std::string& sql, const std::vector<SqlValue>& values) { query(sql, values); }

std::vector<SqlRow> Postgres::query(const std::string& sql, const std::vector<SqlValue>& values)
{
    std::vector<std::string> texts;
    std::vector<const char*> given;
    for (const SqlValue& value : values)
        texts.push_back(std::holds_alternative<std::monostate>(value) ? std::string() : textOf(value));
    for (std::size_t i = 0; i < values.size(); ++i)
        given.push_back(std::holds_alternative<std::monostate>(values[i]) ? nullptr : texts[i].c_str());
    const Result result(PQexecParams(connection_, postgresParameters(sql).c_str(), static_cast<int>(given.size()),
                                     nullptr, given.data(), nullptr, nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw SqlError(PQresultErrorMessage(result.get()));
    std::vector<SqlRow> rows;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        SqlRow cells;
        for (int column = 0; column < PQnfields(result.get()); ++column)
            cells.push_back(valueOf(result.get(), row, column));
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::int64_t Postgres::insert(const std::string& sql, const std::vector<SqlValue>& values)
{
    return asInt(query(sql + " RETURNING id", values).at(0).at(0));
}

int Postgres::schemaVersion()
{
    execute("CREATE TABLE IF NOT EXISTS ladder_schema (version INTEGER NOT NULL)");
    const auto rows = query("SELECT version FROM ladder_schema");
    return rows.empty() ? 0 : static_cast<int>(asInt(rows[0][0]));
}

void Postgres::setSchemaVersion(int version)
{
    execute("CREATE TABLE IF NOT EXISTS ladder_schema (version INTEGER NOT NULL)");
    execute("DELETE FROM ladder_schema");
    execute("INSERT INTO ladder_schema (version) VALUES (?1)", {static_cast<std::int64_t>(version)});
}

} // namespace vorlen::ladder
