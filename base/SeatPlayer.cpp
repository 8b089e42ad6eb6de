#include "SeatPlayer.h"

#include "CommandWords.h"

namespace vorlen {

SeatPlayer parseSeatPlayer(const std::string& text)
{
    if (text == kBuiltInName)
        return {SeatPlayer::Kind::BuiltIn, {}, {}};
    if (text == kPersonName)
        return {SeatPlayer::Kind::Person, {}, {}};
    const std::string search = kSearchSeatPrefix;
    if (text.rfind(search, 0) == 0) {
        SeatPlayer given{SeatPlayer::Kind::Search, text.substr(search.size()), {}};
        if (given.command.size() == 1 && isSearchLevel(given.command[0] - '0'))
            given.level = given.command[0] - '0';
        if (given.level != 0)
            given.command.clear();
        return given;
    }
    SeatPlayer given{SeatPlayer::Kind::Program, text, {}};
    const std::string prefix = kStreamPrefix;
    if (given.command.rfind(prefix, 0) == 0) {
        given.kind = SeatPlayer::Kind::Stream;
        given.command.erase(0, prefix.size());
    }
    // The last one: a command line may hold the words itself, a path never
    // ends in them.
    const std::size_t dir = given.command.rfind(kOwnDirSuffix);
    if (dir != std::string::npos) {
        given.ownDir = given.command.substr(dir + std::string(kOwnDirSuffix).size());
        given.blankOwnDir = given.ownDir.empty();
        given.command.erase(dir);
    }
    return given;
}

std::optional<std::string> searchLevelProblem(const SeatPlayer& player)
{
    if (player.kind != SeatPlayer::Kind::Search || player.level != 0)
        return std::nullopt;
    return "no search player '" + player.text() + "': the levels are " + kSearchSeatPrefix + "1 (the weakest) to "
           + kSearchSeatPrefix + std::to_string(kSearchSeatLevels);
}

std::string SeatPlayer::text() const
{
    switch (kind) {
    case Kind::BuiltIn: return kBuiltInName;
    case Kind::Person: return kPersonName;
    case Kind::Search: return kSearchSeatPrefix + (level != 0 ? std::to_string(level) : command);
    case Kind::Program:
    case Kind::Stream: break;
    }
    return (kind == Kind::Stream ? kStreamPrefix : "") + command + (ownDir.empty() && !blankOwnDir ? "" : kOwnDirSuffix + ownDir);
}

namespace {

// Cut to at most `most` bytes, at the start of a character, with an ellipsis
// where something was cut.
std::string bounded(std::string text, std::size_t most)
{
    if (text.size() <= most)
        return text;
    std::size_t end = most;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80)
        --end;
    text.resize(end);
    return text + "\u2026";
}

} // namespace

std::string playerName(const std::string& text)
{
    // A name from a replay or a record may be of any length; shown, it is a name.
    const std::string head = text.substr(0, kShownCommandBytes);
    const std::vector<std::string> words = splitCommandLine(commandOf(head));
    if (words.empty() || words.front().empty())
        return bounded(head, kShownNameBytes);
    const std::string& path = words.front();
    const std::size_t slash = path.find_last_of('/');
    return bounded(slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1),
                   kShownNameBytes);
}

std::string shownCommand(const std::string& text, std::size_t most) { return bounded(text, most); }

} // namespace vorlen
