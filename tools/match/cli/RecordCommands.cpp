#include "RecordCommands.h"

#include "RunReport.h"
#include "Summarize.h"

namespace vorlen::match {
namespace {

CommandOutcome refused(const char* command, const std::string& why)
{
    return {2, {}, std::string("vorlen-match: ") + command + ": " + why + "\n"};
}

std::string said(const char* command, const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += std::string("vorlen-match: ") + command + ": " + line + "\n";
    return text;
}

} // namespace

CommandOutcome summarizeCommand(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return refused("summarize", "name the record files to sum up: vorlen-match summarize FILE...");
    std::string error;
    const std::optional<RecordFilesSummary> summary = summarizeRecordFiles(arguments, error);
    if (!summary)
        return refused("summarize", error);
    return {0, summary->text, said("summarize", summary->notes)};
}

CommandOutcome reportCommand(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2)
        return refused("report", "name the folder and the records and replays: vorlen-match report DIR FILE...");
    const std::string& dir = arguments.front();
    std::string error;
    const std::optional<BuiltReport> built =
        buildReport(dir, std::vector<std::string>(arguments.begin() + 1, arguments.end()), error);
    if (!built)
        return refused("report", error);
    return {built->failures.empty() ? 0 : 1,
            "vorlen-match: report: " + dir + "/index.html: " + std::to_string(built->matches) + " matches, "
                + std::to_string(built->pages) + " pages\n",
            said("report", built->failures)};
}

} // namespace vorlen::match
