#pragma once

#include <string>
#include <vector>

namespace vorlen::ladder {

// The ladder's tables, as the migrations that make them: migration k takes
// a database at version k to k + 1, and a database records its version, so
// that an older ladder is brought up to date when it is opened and a newer
// one is refused rather than misread.
const std::vector<std::string>& migrations();

class Database;
// Runs migration `step` on `db`, its statements one by one, a table's key as
// the database writes it; the version is the caller's to record.
void applyMigration(Database& db, std::size_t step);

} // namespace vorlen::ladder
