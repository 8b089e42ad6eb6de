#pragma once

#include "Database.h"
#include "VersionRow.h"

namespace vorlen::ladder {

// A version as the store selects it: kVersionColumns of `versions v` joined
// with `bots b`, read back into a row.
extern const char* const kVersionColumns;
VersionRow versionOf(const SqlRow& row);

} // namespace vorlen::ladder
