#include "VersionColumns.h"

namespace vorlen::ladder {

VersionRow versionOf(const SqlRow& row)
{
    return {asInt(row[0]), asText(row[1]), static_cast<int>(asInt(row[2])), asText(row[3]), asText(row[4]),
            asText(row[5]), asText(row[6]), asText(row[7]), asText(row[8])};
}

const char* const kVersionColumns = "v.id, b.name, v.number, v.folder, v.command, v.build, v.state, v.reason, v.added";

} // namespace vorlen::ladder
