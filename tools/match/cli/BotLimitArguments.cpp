#include "BotLimitArguments.h"

#include <cstdint>
#include <vector>

namespace vorlen::match {
namespace {

// One limit: its option, its help, where it goes and in what unit, and the
// least value it takes.
struct LimitOption {
    const char* name;
    const char* valueName;
    QString help;
    std::uint64_t BotLimits::*value;
    std::uint64_t unit;
    long long least;
};

std::vector<LimitOption> limitOptions()
{
    const BotLimits defaults;
    return {
        {"bot-memory", "MIB",
         QString("A bot's memory in MiB (default %1; 0: no limit). Without control groups each process's own memory "
                 "is limited: shared memory is not counted.")
             .arg(defaults.memoryMiB),
         &BotLimits::memoryMiB, 1, 0},
        {"bot-tasks", "N",
         QString("Processes and threads a bot's box may hold at once (default %1; 0: no limit).").arg(defaults.tasks),
         &BotLimits::tasks, 1, 0},
        {"bot-disk", "MIB",
         QString("What a bot's box may keep in its seat folder and /tmp, and again in /dev/shm, in MiB (default %1).")
             .arg(defaults.diskMiB),
         &BotLimits::diskMiB, 1, 1},
        {"bot-cpu", "S", QString("A bot's CPU seconds per move (default %1).").arg(defaults.cpuSeconds),
         &BotLimits::cpuSeconds, 1, 1},
        {"bot-cpus", "N",
         QString("Cores' worth of processor time a bot's box may take at once, where control groups hold it "
                 "(default %1; 0: no cap).")
             .arg(defaults.cpus),
         &BotLimits::cpus, 1, 0},
        {"bot-file-size", "MIB",
         QString("The largest file a bot may write, in MiB (default %1).").arg(defaults.fileSizeMiB),
         &BotLimits::fileSizeMiB, 1, 1},
        {"bot-files", "N", QString("Files a bot may have open (default %1).").arg(defaults.openFiles),
         &BotLimits::openFiles, 1, 1},
        {"bot-log-size", "KIB", QString("What --bot-logs keeps per log, in KiB (default %1).").arg(defaults.logBytes >> 10),
         &BotLimits::logBytes, 1024, 1},
    };
}

} // namespace

std::vector<MatchOption> botLimitOptions()
{
    std::vector<MatchOption> rows;
    for (const LimitOption& limit : limitOptions())
        rows.push_back({limit.name, limit.valueName, limit.help, {},
                        [limit](const OptionInput& in, MatchConfig& config, Warnings&) -> std::optional<QString> {
                            if (!in.set)
                                return std::nullopt;
                            bool whole = false;
                            const long long value = in.value().trimmed().toLongLong(&whole);
                            if (!whole || value < limit.least || value > 1'000'000)
                                return QString("--%1 needs a whole number from %2 to 1000000, not '%3'")
                                    .arg(limit.name, QString::number(limit.least), in.value());
                            config.limits.*limit.value = static_cast<std::uint64_t>(value) * limit.unit;
                            return std::nullopt;
                        }});
    return rows;
}

} // namespace vorlen::match
