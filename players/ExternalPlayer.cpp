#include "ExternalPlayer.h"

#include "CommandLine.h"

#include <filesystem>

namespace vorlen {

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::None: return "none";
    case Outcome::Answered: return "answered";
    case Outcome::FailedToStart: return "failed to start";
    case Outcome::TimedOut: return "time limit";
    case Outcome::NoMove: return "no move in vorla.out";
    case Outcome::NoAnswer: return "no move on standard output";
    case Outcome::ExchangeFailed: return "exchange failed";
    case Outcome::MemoryLimit: return "memory limit";
    case Outcome::CpuLimit: return "CPU limit";
    case Outcome::FileSizeLimit: return "file size limit";
    case Outcome::RefereeError: return "referee error";
    }
    return "unknown";
}

BotSettings settledSettings(BotSettings settings, std::unique_ptr<BotGroups>& ownGroups)
{
    if (!settings.groups) {
        ownGroups = std::make_unique<BotGroups>();
        settings.groups = ownGroups.get();
    }
    if (auto& sandbox = settings.sandbox) {
        std::error_code ignored;
        const std::string dir = settings.exchangeDir.empty() ? "." : settings.exchangeDir;
        sandbox->writableDir = std::filesystem::absolute(dir, ignored).lexically_normal().string();
    }
    return settings;
}

std::vector<std::string> botArguments(const std::string& program, const BotSettings& settings)
{
    std::vector<std::string> argv = splitCommandLine(program);
    if (settings.sandbox && !argv.empty())
        argv = sandboxCommand(*settings.sandbox, argv);
    return argv;
}

BotProcess::Options botOptions(const BotSettings& settings, int workDirFd, BotLog& log)
{
    BotProcess::Options options;
    options.workDirFd = workDirFd;
    options.log = log.isOpen() ? &log : nullptr;
    options.limits = settings.limits;
    options.groups = settings.groups;
    options.sandboxed = settings.sandbox.has_value();
    options.finishLimit = settings.moveLimit;
    return options;
}

} // namespace vorlen
