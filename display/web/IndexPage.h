#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vorlen {

// One match in a run's index.
struct IndexMatch {
    int game = 0;
    std::string page; // its page, or empty when it has none
    std::string board;
    std::string first;
    std::string second;
    int firstScore = 0;
    int secondScore = 0;
    std::string winner;
    int turns = 0;
    std::string end; // how it ended, in a reader's words
};

// What a run's front page shows, worked out by whoever read the run.
struct IndexPage {
    std::vector<std::pair<std::string, std::string>> run; // name and value, in order
    std::string summary;     // the summary's text, shown as it is
    std::vector<double> llr; // the SPRT's course, a value a sample; empty without one
    double lower = 0;
    double upper = 0;
    std::vector<IndexMatch> matches;
};

// The page: the run's table, the summary, the LLR chart and a sortable table
// of every match linking to its page; a page without matches says none has ended.
std::string indexPageHtml(const IndexPage& page);

} // namespace vorlen
