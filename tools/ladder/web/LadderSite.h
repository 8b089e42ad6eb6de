#pragma once

#include "EvaluationCache.h"
#include "HttpServer.h"
#include "LadderPaths.h"
#include "SiteAccounts.h"
#include "StandingsBoard.h"
#include "StorePool.h"

#include <string>

namespace vorlen::ladder {

// The ladder's web face: its pages from the database and the storage,
// answering one request at a time on any thread.
class LadderSite {
public:
    // `location`: the database, as LadderPaths::databaseLocation finds it.
    // Throws std::runtime_error when libsodium cannot start.
    LadderSite(const LadderPaths& ladder, const std::string& location, std::size_t top);

    HttpResponse handle(const HttpRequest& request);

private:
    HttpResponse route(const HttpRequest& request, const Visitor& visitor);
    HttpResponse botPage(const std::string& name, const Visitor& visitor);
    HttpResponse matchPage(const std::string& id, const Visitor& visitor);
    // GET /matches/ID/evaluation/LEVEL: what search:LEVEL makes of each of
    // the match's positions, as its page asks for it.
    HttpResponse matchEvaluation(const std::string& id, const std::string& level, const Visitor& visitor);
    HttpResponse matchesPage(const Visitor& visitor);

    StorePool stores_;
    SiteContext site_;
    StandingsBoard standings_;
    EvaluationCache evaluations_;
};

} // namespace vorlen::ladder
