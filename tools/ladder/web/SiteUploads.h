#pragma once

#include "SiteAccounts.h"

namespace vorlen::ladder {

// A bot's archive handed in through the form or the API: unpacked, entered
// to be built and checked as one added from the command line is.
HttpResponse upload(SiteContext& site, const HttpRequest& request, const Visitor& visitor);
// Its owner or an admin takes a bot out of the ladder.
HttpResponse retire(SiteContext& site, const HttpRequest& request, const Visitor& visitor, const std::string& bot);
// A version's build log, to its owner or an admin.
HttpResponse buildLog(SiteContext& site, const Visitor& visitor, const std::string& bot, const std::string& number);

} // namespace vorlen::ladder
