#include "VorlenLogicTeam01.h"

#include "Exchange.h"

#include <cstdio>
#include <fstream>

namespace vorlen {

VorlenLogicTeam01::VorlenLogicTeam01(std::string program)
    : VorlenLogicTeam01(std::move(program), Settings{})
{
}

VorlenLogicTeam01::VorlenLogicTeam01(std::string program, Settings settings)
    : program(std::move(program)), settings(std::move(settings))
{
}

std::string VorlenLogicTeam01::path(const char* name) const
{
    return settings.exchangeDir.empty() ? name : settings.exchangeDir + "/" + name;
}

int VorlenLogicTeam01::makeMove(const Field& board)
{
    const Trace& trace = settings.trace;
    const std::string inPath = path(kInputFileName);
    const std::string outPath = path(kOutputFileName);

    // The input is complete and closed before the program starts, and an
    // answer left by an earlier move can never be taken for this one.
    std::remove(inPath.c_str());
    std::FILE* in = std::fopen(inPath.c_str(), "w");
    const std::string text = buildInput(board);
    std::remove(outPath.c_str());
    if (in) {
        std::fwrite(text.data(), 1, text.size(), in);
        std::fclose(in);
    }

    BotProcess process;
    const BotRunResult run = process.run(splitCommandLine(program),
                                         {settings.exchangeDir, settings.stderrPath,
                                          std::chrono::milliseconds(3000), settings.groups});
    detail = run.message;
    switch (run.status) {
    case BotRunResult::Status::FailedToStart:
        trace.err("unable to start process\n");
        outcome = Outcome::FailedToStart;
        return -1;
    case BotRunResult::Status::TimedOut:
        trace.err("TL\n");
        outcome = Outcome::TimedOut;
        return -1;
    case BotRunResult::Status::Finished:
        break;
    }

    std::ifstream answer(outPath);
    const std::optional<int> move = parseMove(answer);
    if (!move) {
        trace.err("no move in vorla.out\n");
        outcome = Outcome::NoMove;
        return -1;
    }
    trace.err("Move %d\n", *move);
    outcome = Outcome::Answered;
    return *move;
}

const char* outcomeName(VorlenLogicTeam01::Outcome outcome)
{
    switch (outcome) {
    case VorlenLogicTeam01::Outcome::None: return "none";
    case VorlenLogicTeam01::Outcome::Answered: return "answered";
    case VorlenLogicTeam01::Outcome::FailedToStart: return "failed to start";
    case VorlenLogicTeam01::Outcome::TimedOut: return "time limit";
    case VorlenLogicTeam01::Outcome::NoMove: return "no move in vorla.out";
    }
    return "unknown";
}

} // namespace vorlen
