#include "DatabaseLocation.h"

#include "Postgres.h"
#include "Sqlite.h"

namespace vorlen::ladder {

bool isPostgresLocation(const std::string& location)
{
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

std::unique_ptr<Database> openDatabase(const std::string& location, bool create)
{
    if (isPostgresLocation(location))
        return std::make_unique<Postgres>(location);
    return std::make_unique<Sqlite>(location, create);
}

} // namespace vorlen::ladder
