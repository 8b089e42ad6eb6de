#pragma once

#include "MatchRecord.h"

#include <map>
#include <string>
#include <vector>

namespace vorlen::match {

// The front page of a run's report, from its records alone: the run (its
// players and command lines, boards, seating, containment, time control,
// dates and version), the summary (standings, Elo, LOS, pentanomial counts,
// cross table, SPRT verdict, move times, failures), the SPRT's LLR over
// the run, and a sortable table of every match linking to its page.
// `pages`: each game's page, for those that have one. The same records give
// the same page, in any order.
std::string runIndexHtml(std::vector<MatchRecord> records, const std::map<int, std::string>& pages);

} // namespace vorlen::match
