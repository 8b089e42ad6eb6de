#pragma once

#include "Database.h"

#include <memory>
#include <string>

namespace vorlen::ladder {

// Whether `location` names a PostgreSQL server ("postgresql://...",
// "postgres://..."), not a file.
bool isPostgresLocation(const std::string& location);

// The database at `location`: a PostgreSQL server, or an SQLite file
// (`create`: made when missing).
std::unique_ptr<Database> openDatabase(const std::string& location, bool create);

} // namespace vorlen::ladder
