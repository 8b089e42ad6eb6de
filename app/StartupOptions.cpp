#include "StartupOptions.h"

#include "BoardList.h"
#include "Boards.h"
#include "MoveTime.h"
#include "Palette.h"
#include "PlayerFactory.h"
#include "ReplayPosition.h"

#include <QFile>

#include <algorithm>
#include <charconv>

namespace {

using Type = StartupAction::Type;

// Options that stand alone, and what they ask for.
constexpr std::pair<const char*, Type> kFlags[] = {
    {"--sandbox", Type::Sandbox}, {"--chart", Type::Chart},     {"--no-time-limit", Type::NoTimeLimit},
    {"--help", Type::Help},       {"--version", Type::Version}, {"--evaluation", Type::Evaluation},
};

// Options that take a value, and what they ask for.
constexpr std::pair<const char*, Type> kValued[] = {
    {"--map", Type::LoadMap},         {"--seed", Type::Seed},          {"--game", Type::Game},
    {"--replay", Type::Replay},       {"--save-replay", Type::SaveReplay}, {"--palette", Type::Palette},
    {"--bot-logs", Type::BotLogs},    {"--move-time", Type::MoveTime}, {"--boards", Type::Boards},
    {"--play-from", Type::PlayFrom},  {"--bot-env", Type::BotEnv},
};

template <std::size_t N>
std::optional<Type> optionIn(const std::pair<const char*, Type> (&table)[N], const QString& option)
{
    for (const auto& [name, type] : table)
        if (option == name)
            return type;
    return std::nullopt;
}

std::optional<Type> flagOption(const QString& option) { return optionIn(kFlags, option); }
std::optional<Type> valueOption(const QString& option) { return optionIn(kValued, option); }

// As many boards as the runner plays in one run.
constexpr int kLastGame = 100'000'000;
// Without a seed, every board before the one asked for is drawn in turn:
// beyond this the window would take seconds to open.
constexpr int kLastDrawnGame = 100'000;

template <typename Number>
std::optional<Number> wholeNumber(const std::string& text)
{
    Number value{};
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

} // namespace

std::vector<StartupAction> scanStartupOptions(const QStringList& arguments)
{
    std::vector<StartupAction> actions;
    const qsizetype count = arguments.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& option = arguments[i];
        if (const std::optional<Type> flag = flagOption(option)) {
            actions.push_back({*flag, 0, 0, {}});
            continue;
        }
        const bool seatOption = option == "--first" || option == "--second";
        const std::optional<Type> takesValue = valueOption(option);
        if (!seatOption && !takesValue) {
            // Single-dash words are Qt's own options and their values.
            if (i > 0 && option.startsWith("--"))
                actions.push_back({Type::Unknown, 0, 0, option.toLocal8Bit().toStdString()});
            continue;
        }
        if (i + 1 >= count) {
            actions.push_back({Type::MissingValue, 0, 0, option.toLocal8Bit().toStdString()});
            break;
        }
        const QString& value = arguments[++i];
        if (takesValue) {
            actions.push_back({*takesValue, 0, 0, QFile::encodeName(value).toStdString()});
            continue;
        }
        const int seat = option == "--first" ? 0 : 1;
        if (value == "human")
            continue;
        const std::string given = value.toLocal8Bit().toStdString();
        const vorlen::SeatPlayer player = vorlen::parseSeatPlayer(given);
        actions.push_back({Type::SetPlayer, seat, vorlen::playerKindOf(player), player.isProgram() || player.kind == vorlen::SeatPlayer::Kind::Search ? given : ""});
    }
    return actions;
}

std::string helpText()
{
    return "Usage: vorlen [options]\n"
           "The vorlen referee and viewer: two players flood a 41 x 45 board of six colours.\n"
           "\n"
           "Options:\n"
           "  --first P            the top-left seat's player, who opens the match\n"
           "  --second P           the bottom-right seat's player\n"
           "                       P: stupid (the built-in greedy player), search:1 to search:5 (built-in\n"
           "                       players that look ahead, search:5 the strongest), person (you, at the window:\n"
           "                       a click on a colour or its key 1-6), human (no change),\n"
           "                       stream:COMMAND (a program that stays up for the match),\n"
           "                       or a program's command line, started for every move\n"
           "  --map FILE           read the board from a map file\n"
           "  --seed S             play vorlen-match's board seed:S:K (K from --game, else 0)\n"
           "  --game K             play vorlen-match's board K (rand:K without --seed)\n"
           "  --boards FILE        play board K (from --game, else 0) of a board list\n"
           "  --sandbox            run the programs in the bubblewrap sandbox\n"
           "  --replay FILE        show a replay instead of a live match\n"
           "  --play-from K        with --replay: play on live after the replay's turn K\n"
           "  --save-replay FILE   keep the live match's replay in FILE\n"
           "  --chart              show the score chart from the start\n"
           "  --evaluation         show from the start what a search player makes of the position on show\n"
           "  --palette NAME       the board's colours: classic (the default) or colorblind\n"
           "  --bot-logs DIR       keep each bot's standard error in DIR\n"
           "  --move-time MS       a program's time for a move, in ms (default 3000)\n"
           "  --no-time-limit      wait for a program's move as long as it takes (to debug it)\n"
           "  --bot-env NAME[=V]   pass NAME of this environment on to the bots, or set it to V\n"
           "  --help               print this help and exit\n"
           "  --version            print the version and exit\n"
           "\n"
           "The clock plays a turn every 100 ms after \"start\"; \"step\" plays one turn.\n"
           "See man vorlen, and the bot guide in /usr/share/doc/vorlen/bots.md.\n";
}

std::optional<std::string> lastValue(const std::vector<StartupAction>& actions, Type type)
{
    const auto found = std::find_if(actions.rbegin(), actions.rend(),
                                    [type](const StartupAction& action) { return action.type == type; });
    return found == actions.rend() ? std::nullopt : std::optional(found->value);
}

bool hasAction(const std::vector<StartupAction>& actions, Type type) { return lastValue(actions, type).has_value(); }

std::optional<int> playFromTurns(const std::vector<StartupAction>& actions)
{
    const auto from = lastValue(actions, Type::PlayFrom);
    return from ? vorlen::parseTurnsPlayed(*from) : std::nullopt;
}

std::vector<std::string> startupOptionNames()
{
    std::vector<std::string> names{"first", "second"};
    for (const auto& [name, type] : kFlags)
        names.emplace_back(name + 2);
    for (const auto& [name, type] : kValued)
        names.emplace_back(name + 2);
    return names;
}

std::string startupProblem(const std::vector<StartupAction>& actions)
{
    for (const StartupAction& action : actions) {
        if (action.type == Type::MissingValue)
            return action.value + " needs a value (see vorlen --help)";
        vorlen::EnvPass pass;
        if (action.type == Type::BotEnv)
            if (const auto problem = vorlen::parseEnvPass(action.value, pass))
                return "--bot-env: " + *problem;
        if (action.type == Type::Seed && !wholeNumber<std::uint64_t>(action.value))
            return "--seed needs a whole number from 0, not '" + action.value + "'";
        const auto game = wholeNumber<int>(action.value);
        if (action.type == Type::Game && (!game || *game < 0 || *game > kLastGame))
            return "--game needs a whole number from 0 to " + std::to_string(kLastGame) + ", not '" + action.value
                   + "'";
    }
    if (const auto from = lastValue(actions, Type::PlayFrom)) {
        if (!vorlen::parseTurnsPlayed(*from))
            return "--play-from needs a turn, a whole number from 0 or 'start', not '" + *from + "'";
        if (!hasAction(actions, Type::Replay))
            return "--play-from needs the --replay to play on from";
    }
    if (const auto time = lastValue(actions, Type::MoveTime)) {
        const auto ms = wholeNumber<long long>(*time);
        if (!ms || *ms < 1 || *ms > vorlen::kLongestMoveLimit.count())
            return "--move-time needs a whole number of milliseconds from 1 to "
                   + std::to_string(vorlen::kLongestMoveLimit.count()) + ", not '" + *time + "'";
        if (hasAction(actions, Type::NoTimeLimit))
            return "--move-time and --no-time-limit cannot be used together";
    }
    if (const auto palette = lastValue(actions, Type::Palette); palette && !vorlen::paletteNamed(*palette))
        return "--palette needs one of " + std::string(vorlen::kPaletteNames) + ", not '" + *palette + "'";
    if (const auto list = lastValue(actions, Type::Boards)) {
        if (hasAction(actions, Type::Seed))
            return "--seed and --boards choose the board: give one of them";
        std::vector<vorlen::ListedBoard> boards;
        std::string error;
        if (!vorlen::readBoardList(*list, boards, error))
            return "--boards: " + *list + ": " + error;
        return {};
    }
    const auto game = lastValue(actions, Type::Game);
    if (game && !hasAction(actions, Type::Seed) && wholeNumber<int>(*game).value_or(0) > kLastDrawnGame)
        return "--game without --seed needs a whole number from 0 to " + std::to_string(kLastDrawnGame)
               + " (every board before it is drawn in turn), not '" + *game + "'";
    return {};
}

std::optional<ChosenBoard> chosenBoard(const std::vector<StartupAction>& actions)
{
    const auto seed = lastValue(actions, Type::Seed);
    const auto game = lastValue(actions, Type::Game);
    const auto list = lastValue(actions, Type::Boards);
    const int index = game ? wholeNumber<int>(*game).value_or(0) : 0;
    if (list) {
        std::vector<vorlen::ListedBoard> boards;
        std::string error;
        if (!vorlen::readBoardList(*list, boards, error))
            return std::nullopt;
        const vorlen::ListedBoard& listed = boards[static_cast<std::size_t>(index) % boards.size()];
        return ChosenBoard{vorlen::boardOf(listed), listed.label(), listed.replay, listed.position.turns};
    }
    if (!seed && !game)
        return std::nullopt;
    if (seed) {
        const std::uint64_t value = wholeNumber<std::uint64_t>(*seed).value_or(0);
        return ChosenBoard{vorlen::seededBoard(value, index), vorlen::seedLabel(value, index), {}, 0};
    }
    return ChosenBoard{vorlen::DrawnBoards().at(index), vorlen::drawLabel(index), {}, 0};
}

std::vector<vorlen::EnvPass> chosenBotEnv(const std::vector<StartupAction>& actions)
{
    std::vector<vorlen::EnvPass> passes;
    for (const StartupAction& action : actions) {
        vorlen::EnvPass pass;
        if (action.type == Type::BotEnv && !vorlen::parseEnvPass(action.value, pass))
            passes.push_back(pass);
    }
    return passes;
}

std::chrono::milliseconds chosenMoveTime(const std::vector<StartupAction>& actions)
{
    if (hasAction(actions, Type::NoTimeLimit))
        return vorlen::kNoTimeLimit;
    const auto time = lastValue(actions, Type::MoveTime);
    return time ? std::chrono::milliseconds(wholeNumber<long long>(*time).value_or(vorlen::kMoveTimeLimit.count()))
                : vorlen::kMoveTimeLimit;
}
