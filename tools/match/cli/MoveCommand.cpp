#include "MoveCommand.h"

#include "BoardText.h"
#include "Files.h"
#include "MovePosition.h"
#include "PlayerFactory.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "ScratchDir.h"
#include "SeatBuilder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace vorlen::match {
namespace {

struct MoveRequest {
    std::string position;
    std::string player;
    std::optional<int> seat;
    std::string saveInput;
    std::chrono::milliseconds moveTime = kMoveTimeLimit;
    bool sandbox = true;
};

CommandOutcome refused(const std::string& why)
{
    return {2, {}, "vorlen-match: move: " + why + "\n"};
}

std::optional<std::string> readRequest(const std::vector<std::string>& arguments, MoveRequest& request)
{
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        const bool valued = word == "--seat" || word == "--save-input" || word == "--move-time";
        if (valued && i + 1 == arguments.size())
            return word + " needs a value";
        if (word == "--seat") {
            const std::string& seat = arguments[++i];
            if (seat != "1" && seat != "2")
                return "--seat is 1 or 2, not '" + seat + "'";
            request.seat = seat == "1" ? 0 : 1;
        } else if (word == "--save-input") {
            request.saveInput = arguments[++i];
        } else if (word == "--move-time") {
            const std::string& ms = arguments[++i];
            char* end = nullptr;
            const long long value = std::strtoll(ms.c_str(), &end, 10);
            if (ms.empty() || *end != '\0' || value < 1 || value > kLongestMoveLimit.count())
                return "--move-time needs milliseconds from 1 to " + std::to_string(kLongestMoveLimit.count())
                       + ", not '" + ms + "'";
            request.moveTime = std::chrono::milliseconds(value);
        } else if (word == "--no-sandbox") {
            request.sandbox = false;
        } else if (word.rfind("--", 0) == 0) {
            return "unknown option '" + word + "'";
        } else {
            words.push_back(word);
        }
    }
    if (words.empty() || words.size() > 2)
        return "name a position and a player: vorlen-match move POSITION PLAYER";
    request.position = words[0];
    request.player = words.size() == 2 ? words[1] : std::string();
    return std::nullopt;
}

// The bot's move on the position, as a match would run it.
std::string askMove(const MoveRequest& request, const MovePosition& position, int& exitCode)
{
    BotGroups groups;
    BotSettings settings;
    settings.groups = &groups;
    settings.trace = Trace::silent();
    settings.moveLimit = request.moveTime;
    settings.startFiles = position.seatFiles;
    std::string said;
    std::string error;
    std::optional<ScratchDir> scratch;
    const SeatPlayer who = parseSeatPlayer(request.player);
    if (request.sandbox && who.isProgram()) {
        const SandboxPlan plan = findSandbox();
        if (probeSandbox(plan, error))
            settings.sandbox = plan;
        else
            said += "no box here (" + error + "): the bot runs without one\n";
    }
    if (!settings.sandbox && who.isProgram()) {
        scratch.emplace(error);
        if (!error.empty()) {
            exitCode = 2;
            return said + "cannot make a folder for the bot: " + error + "\n";
        }
        settings.exchangeDir = scratch->path();
    }
    BuiltSeat seat = buildSeat(who, std::move(settings), {});
    const auto started = std::chrono::steady_clock::now();
    const MoveResult result = seat.player->play(position.seen, position.turn);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    seat.player->endMatch();
    const bool named = result.outcome == Outcome::Answered;
    exitCode = named ? 0 : 1;
    said += named ? "answer: " + std::to_string(result.colour)
                  : std::string("no answer: ") + outcomeName(result.outcome) + (result.detail.empty() ? "" : ", " + result.detail);
    if (position.recorded)
        said += " (the replay's: " + std::to_string(*position.recorded) + ")";
    char time[64];
    std::snprintf(time, sizeof time, "\ntime: %.1f ms\n", ms);
    said += time;
    said += "standard error:" + std::string(result.log.empty() ? " none\n" : "\n" + result.log);
    if (!result.log.empty() && result.log.back() != '\n')
        said += "\n";
    if (!result.hint.empty())
        said += "hint: " + result.hint + "\n";
    return said;
}

} // namespace

CommandOutcome moveCommand(const std::vector<std::string>& arguments)
{
    MoveRequest request;
    if (const auto problem = readRequest(arguments, request))
        return refused(*problem);
    std::string error;
    const std::optional<MovePosition> position = readMovePosition(request.position, request.seat, error);
    if (!position)
        return refused(request.position + ": " + error);
    CommandOutcome outcome;
    outcome.out = "vorlen-match: move: " + position->label + "\n";
    if (!request.saveInput.empty()) {
        if (!writeFileAtomically(request.saveInput, buildInput(position->seen), error))
            return refused("--save-input: " + error);
        outcome.out += "the board as the bot reads it: " + request.saveInput + "\n";
    }
    // Without a player a replay's move is asked of the seat's own, as it ran.
    if (request.player.empty() && request.saveInput.empty())
        request.player = position->player;
    if (request.player.empty() && request.saveInput.empty())
        return refused("name the player to ask, or --save-input FILE to keep the board");
    if (request.player.empty())
        return outcome;
    const SeatPlayer who = parseSeatPlayer(request.player);
    if (who.kind == SeatPlayer::Kind::Person)
        return refused("a person plays only in the window");
    if (const auto problem = searchLevelProblem(who))
        return refused(*problem);
    std::error_code unknown;
    ProgramCheck check;
    check.base = std::filesystem::current_path(unknown).string();
    if (who.isProgram())
        if (const auto problem = programProblem(who, check))
            return refused(*problem);
    outcome.out += askMove(request, *position, outcome.exitCode);
    return outcome;
}

} // namespace vorlen::match
