#include "VersionBuild.h"

#include "BotCopy.h"
#include "BotFolder.h"
#include "BotLog.h"
#include "BotProcess.h"
#include "Box.h"

namespace vorlen::ladder {
namespace {

// Run by the box's shell: the source copied in and made the build's own,
// its output all in the log, then the build's command line.
constexpr const char* kBuildScript = "exec 1>&2\n"
                                     "cp -R -- \"$1\"/. . && chmod -R u+w . || { echo 'cannot copy the source in'; exit 97; }\n"
                                     "exec /bin/sh -c \"$2\"\n";

std::string failureOf(const BotRunResult& run, const BuildSettings& settings)
{
    using Status = BotRunResult::Status;
    switch (run.status) {
    case Status::Finished:
        return run.exitCode == 0 ? std::string() : "the build failed: " + run.message;
    case Status::TimedOut:
        return "the build took longer than " + std::to_string(settings.timeLimit.count()) + " s";
    case Status::FailedToStart:
        return "the build could not start: " + run.message;
    default:
        return "the build was stopped: " + run.message;
    }
}

} // namespace

BuildOutcome buildVersion(const std::string& source, const std::string& command, const std::string& built,
                          const std::string& logPath, const BuildSettings& settings, BotGroups& groups)
{
    BotLog log(0);
    std::string error;
    if (!log.open(logPath, settings.limits.logBytes, error))
        return {false, "cannot keep the build's log: " + error};
    const std::string shown = realPath(source);
    Box box;
    if (settings.plan.bwrap.empty() || !box.start(settings.plan, BoxView{{}, shown, {}}, settings.limits, groups, error))
        return {false, "no box to build in: " + (error.empty() ? std::string("bubblewrap is not usable here") : error)};
    log.note("build: " + command);
    BotProcess process;
    BotProcess::Options options;
    options.log = &log;
    options.finishLimit = settings.timeLimit;
    options.limits = settings.limits;
    options.groups = &groups;
    options.box = &box;
    const BotRunResult run = process.run({"/bin/sh", "-c", kBuildScript, "vorlen-build", shown, command}, options);
    if (std::string failure = failureOf(run, settings); !failure.empty()) {
        log.note(failure);
        return {false, failure};
    }
    const CopyOutcome copy = copyBotFolderAt(box.seatDir(), built, CopyCaps{});
    if (!copy.error.empty()) {
        log.note("what the build left cannot be kept: " + copy.error);
        return {false, "what the build left cannot be kept: " + copy.error};
    }
    log.note("built: " + std::to_string(copy.files.size()) + " files, " + std::to_string(copy.bytes) + " bytes");
    return {true, {}};
}

} // namespace vorlen::ladder
