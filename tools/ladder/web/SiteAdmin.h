#pragma once

#include "SiteAccounts.h"

namespace vorlen::ladder {

// The quota as the organisers set it (the defaults where they did not).
Quota quotaOf(LadderStore& store);

// The organisers' page: every bot with its owner and state, to pause,
// resume, retire or check again; how people sign up; the quotas.
HttpResponse adminPage(SiteContext& site, const Visitor& visitor);
// POST /admin/bots/NAME/ACTION and /admin/settings.
HttpResponse adminAction(SiteContext& site, const HttpRequest& request, const Visitor& visitor);

} // namespace vorlen::ladder
