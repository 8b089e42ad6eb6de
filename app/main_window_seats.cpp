// Who plays: the seats' players as the options name them, a person's seat,
// a program that cannot run, said before the match, and a new match chosen.
#include "main_window.h"

#include "MatchStory.h"
#include "TerminalText.h"
#include "NewMatchDialog.h"
#include "PersonBar.h"
#include "PersonPlayer.h"
#include "CgroupPlaces.h"
#include "PlayerFactory.h"
#include "SeatBuilder.h"
#include "SeatPlayer.h"
#include "RegionOutline.h"
#include "Rules.h"
#include "Sandbox.h"
#include "StartupOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>

std::optional<ChosenBoard> main_window::seatPlayers(const std::vector<StartupAction>& actions)
{
    const bool sandboxed = hasAction(actions, StartupAction::Type::Sandbox);
    // What a window or runner killed earlier could not remove.
    if (sandboxed)
        vorlen::removeAbandonedBoxGroups();
    botLogDir = lastValue(actions, StartupAction::Type::BotLogs).value_or("");
    // Each program seat is told of the other, whose files its box hides.
    std::array<std::string, 2> programs;
    for (const StartupAction& action : actions)
        if (action.type == StartupAction::Type::SetPlayer)
            programs.at(static_cast<std::size_t>(action.seat)) =
                action.kind == vorlen::kExternalPlayer ? action.value : std::string();
    std::vector<std::string> outputs;
    for (const std::string& path : {botLogDir, lastValue(actions, StartupAction::Type::SaveReplay).value_or("")}) {
        std::error_code error;
        if (!path.empty())
            outputs.push_back(std::filesystem::absolute(path, error).lexically_normal().string());
    }
    // The runner's board in place of the draw; a map is read over it.
    const std::optional<ChosenBoard> chosen = chosenBoard(actions);
    if (chosen) {
        manager.setBoard(chosen->field);
        liveMatch->record().boardSource = chosen->label;
    }
    seating = {sandboxed, {}, outputs};
    for (const StartupAction& action : actions) {
        if (action.type == StartupAction::Type::LoadMap) {
            if (chosen)
                manager.readMap(action.value);
            else
                manager.loadMap(action.value);
            liveMatch->record().boardSource = "map:" + action.value + (chosen ? "+" + chosen->label : std::string());
        } else if (action.type == StartupAction::Type::SetPlayer) {
            const SeatContext context{sandboxed, programs.at(static_cast<std::size_t>(1 - action.seat)), outputs};
            seat(action.seat, makePlayer(action.seat, action.kind, action.value, context));
            seatsGiven.at(static_cast<std::size_t>(action.seat)) = true;
            liveMatch->record().players[static_cast<std::size_t>(action.seat)] =
                action.kind == vorlen::kExternalPlayer ? action.value
                : action.kind == vorlen::kPersonPlayer ? std::string(vorlen::kPersonName)
                                                        : std::string(vorlen::kBuiltInName);
        }
    }
    // A log folder that cannot be made is the window's failure, said before
    // the match, never charged to a bot at its first move.
    const bool programPlays = std::any_of(programs.begin(), programs.end(), [](const auto& p) { return !p.empty(); });
    std::error_code made;
    if (!botLogDir.empty() && programPlays && !std::filesystem::create_directories(botLogDir, made) && made) {
        sayStartProblem("--bot-logs: cannot make '" + botLogDir + "': " + made.message());
    }
    // A program that cannot run is said before the match, not found out at its first move.
    for (int seat = 0; seat < 2; ++seat)
        checkProgram(liveMatch->record().players[static_cast<std::size_t>(seat)], seat == 0 ? "--first" : "--second",
                     "");
    return chosen;
}

void main_window::sayStartProblem(const std::string& problem)
{
    problems.push_back(problem);
    std::fprintf(stderr, "vorlen: %s\n", vorlen::terminalSafe(problem).c_str());
}

void main_window::checkProgram(const std::string& player, const std::string& said, const std::string& advice)
{
    if (!vorlen::parseSeatPlayer(player).isProgram())
        return;
    vorlen::ProgramCheck check{std::filesystem::current_path().string(), vorlen::botPath(botEnv), seating.sandboxed,
                               seating.outputs, {}};
    if (!seating.otherProgram.empty())
        check.others.push_back(seating.otherProgram);
    if (const auto problem = vorlen::programProblem(player, check))
        sayStartProblem(said + ": " + *problem + advice);
}

void main_window::seatNamed(int seat, const std::string& player, const std::string& otherProgram,
                            const std::string& said)
{
    const vorlen::SeatPlayer given = vorlen::parseSeatPlayer(player);
    SeatContext context = seating;
    context.otherProgram = otherProgram;
    const std::string program = given.isProgram() ? player : std::string();
    this->seat(seat, makePlayer(seat, vorlen::playerKindOf(given), program, context));
    liveMatch->record().players.at(static_cast<std::size_t>(seat)) = player;
    checkProgram(player, said, "; choose the seat in File \u2192 New match\u2026");
}

void main_window::seat(int seat, std::unique_ptr<vorlen::IVorlenLogic> player)
{
    liveMatch->seat(seat, std::move(player));
}

std::unique_ptr<vorlen::IVorlenLogic> main_window::makePlayer(int seat, int kind, const std::string& program,
                                                              const SeatContext& context)
{
    const auto index = static_cast<std::size_t>(seat);
    persons.at(index) = nullptr;
    if (kind == vorlen::kPersonPlayer) {
        moveLimitMs[index] = firstMoveMs[index] = 0;
        // Asked on the referee's thread; the window offers the colours on its own.
        auto person = std::make_unique<PersonPlayer>(
            [this, seat](vorlen::Field seen) {
                // The second seat sees the board turned: it is turned back.
                if (seat == 1)
                    vorlen::rotateField(seen);
                QMetaObject::invokeMethod(this, [this, seat, seen] { offerToPerson(seat, seen); }, Qt::QueuedConnection);
            },
            vorlen::Trace());
        persons.at(index) = person.get();
        return person;
    }
    if (kind != vorlen::kExternalPlayer) {
        moveLimitMs[index] = firstMoveMs[index] = 0;
        liveMatch->record().moveLimitsMs[index] = static_cast<int>(vorlen::kMoveTimeLimit.count());
        return vorlen::createPlayer(kind, program);
    }
    vorlen::BotSettings settings;
    settings.groups = &liveMatch->bots();
    // Plain, the working directory is the exchange directory; in a box, the
    // box's seat folder.
    settings.env = botEnv;
    if (context.sandboxed)
        settings.sandbox = vorlen::findSandbox();
    // Each move's part of the log is kept with the move in any case; the
    // whole of it goes to a file only when asked.
    if (!botLogDir.empty())
        settings.stderrPath = botLogDir + "/seat-" + std::to_string(seat) + "-" + playerName(program) + ".log";
    settings.moveLimit = programMoveTime;
    const bool unlimited = programMoveTime == vorlen::kNoTimeLimit;
    moveLimitMs[index] = unlimited ? -1 : std::chrono::duration<double, std::milli>(programMoveTime).count();
    liveMatch->record().moveLimitsMs[index] = unlimited ? 0 : static_cast<int>(programMoveTime.count());
    const bool stream = vorlen::parseSeatPlayer(program).kind == vorlen::SeatPlayer::Kind::Stream;
    firstMoveMs[index] = stream ? std::chrono::duration<double, std::milli>(settings.startupLimit).count() : 0;
    return vorlen::buildProgramSeat(program, settings, {context.otherProgram, context.outputs});
}

void main_window::chooseNewMatch()
{
    std::string warning;
    const std::optional<QString> file = choicesFile(warning);
    if (!file)
        std::fprintf(stderr, "vorlen: %s\n", vorlen::terminalSafe(warning).c_str());
    // Ini is what Qt writes on Unix for the user's own settings.
    std::optional<QSettings> settings;
    if (file)
        settings.emplace(*file, QSettings::IniFormat);
    const NewMatchChoices last = settings ? loadNewMatchChoices(*settings) : NewMatchChoices{};
    const vorlen::Replay& shown = replay();
    NewMatchDialog dialog(last, std::filesystem::current_path().string(), this,
                          shown.turns.empty() ? std::nullopt
                                              : rematchChoices(last, shown.players, shown.boardSource));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (settings)
        saveNewMatchChoices(*settings, dialog.choices());
    QStringList arguments{QCoreApplication::applicationFilePath()};
    arguments << newMatchArguments(dialog.choices()) << viewOptions;
    if (newMatch)
        newMatch(arguments);
}

void main_window::playOnForAPerson()
{
    const bool personPlays = persons[0] || persons[1];
    if (!personPlays || viewing() || moving() || !problems.empty() || manager.gameOver() || timer->isActive())
        return;
    // The person's colours are offered before its turn begins: the board
    // stays the window's to draw while the person thinks.
    const vorlen::MatchPosition position = manager.position();
    const int next = 1 - position.lastSeat;
    if (persons.at(static_cast<std::size_t>(next)) && position.active(next)) {
        offerToPerson(next, position.board);
        return;
    }
    nextStep();
}

void main_window::offerToPerson(int seat, const vorlen::Field& board)
{
    const PersonOffer offer = personOffer(board, seat);
    personBar->offer(offer.legal, offer.gains);
    outline->outline(offer.region);
}

void main_window::personChose(int colour)
{
    personBar->withdraw();
    outline->clear();
    for (PersonPlayer* person : persons)
        if (person && person->waiting() && person->choose(colour))
            return;
    // Chosen before the turn: the turn plays it.
    if (moving())
        return;
    const int next = 1 - manager.position().lastSeat;
    if (PersonPlayer* person = persons.at(static_cast<std::size_t>(next))) {
        person->chooseAhead(colour);
        nextStep();
    }
}
