#include "MoveResult.h"

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
    case Outcome::TaskLimit: return "task limit";
    case Outcome::DiskLimit: return "disk limit";
    case Outcome::CpuLimit: return "CPU limit";
    case Outcome::FileSizeLimit: return "file size limit";
    case Outcome::RefereeError: return "referee error";
    }
    return "unknown";
}

} // namespace vorlen
