#include "BotLimits.h"

#include <csignal>

namespace vorlen {

std::string limitBehind(int signal, double cpuSeconds, const BotLimits& limits)
{
    if (signal == SIGXFSZ)
        return "file size limit";
    if (signal == SIGXCPU
        || (signal == SIGKILL && cpuSeconds >= static_cast<double>(limits.cpuSeconds)))
        return "CPU limit";
    return {};
}

} // namespace vorlen
