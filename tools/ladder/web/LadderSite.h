#pragma once

#include "HttpServer.h"
#include "LadderPaths.h"
#include "StandingsBoard.h"
#include "StorePool.h"

#include <string>

namespace vorlen::ladder {

// The ladder's web face: its pages from the database and the storage,
// answering one request at a time on any thread.
class LadderSite {
public:
    // `location`: the database, as LadderPaths::databaseLocation finds it.
    LadderSite(const LadderPaths& ladder, const std::string& location, std::size_t top);

    HttpResponse handle(const HttpRequest& request);

private:
    HttpResponse botPage(const std::string& name);
    HttpResponse matchPage(const std::string& id);
    HttpResponse matchesPage();

    LadderPaths ladder_;
    StorePool stores_;
    StandingsBoard standings_;
};

} // namespace vorlen::ladder
