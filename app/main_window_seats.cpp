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
#include "SeatPlayer.h"
#include "RegionOutline.h"
#include "Rules.h"
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
    WindowSeating::Settings settings;
    settings.sandboxed = hasAction(actions, StartupAction::Type::Sandbox);
    // What a window or runner killed earlier could not remove.
    if (settings.sandboxed)
        vorlen::removeAbandonedBoxGroups();
    settings.botLogDir = lastValue(actions, StartupAction::Type::BotLogs).value_or("");
    settings.botEnv = chosenBotEnv(actions);
    settings.moveTime = chosenMoveTime(actions);
    for (const std::string& path :
         {settings.botLogDir, lastValue(actions, StartupAction::Type::SaveReplay).value_or("")}) {
        std::error_code error;
        if (!path.empty())
            settings.outputs.push_back(std::filesystem::absolute(path, error).lexically_normal().string());
    }
    seating.setUp(std::move(settings));
    // Each program seat is told of the other, whose files its box hides.
    std::array<std::string, 2> programs;
    for (const StartupAction& action : actions)
        if (action.type == StartupAction::Type::SetPlayer)
            programs.at(static_cast<std::size_t>(action.seat)) =
                action.kind == vorlen::kExternalPlayer ? action.value : std::string();
    // The runner's board in place of the draw; a map is read over it.
    const std::optional<ChosenBoard> chosen = chosenBoard(actions);
    if (chosen) {
        manager.setBoard(chosen->field);
        liveMatch->record().boardSource = chosen->label;
    }
    for (const StartupAction& action : actions) {
        if (action.type == StartupAction::Type::LoadMap) {
            if (chosen)
                manager.readMap(action.value);
            else
                manager.loadMap(action.value);
            liveMatch->record().boardSource = "map:" + action.value + (chosen ? "+" + chosen->label : std::string());
        } else if (action.type == StartupAction::Type::SetPlayer) {
            const std::string player = action.kind == vorlen::kExternalPlayer || action.kind == vorlen::kSearchPlayer
                                           ? action.value
                                       : action.kind == vorlen::kPersonPlayer ? std::string(vorlen::kPersonName)
                                                                               : std::string(vorlen::kBuiltInName);
            seatPlayer(action.seat, vorlen::parseSeatPlayer(player),
                       programs.at(static_cast<std::size_t>(1 - action.seat)));
            seating.markGiven(action.seat);
        }
    }
    // A log folder that cannot be made is the window's failure, said before
    // the match, never charged to a bot at its first move.
    const bool programPlays = std::any_of(programs.begin(), programs.end(), [](const auto& p) { return !p.empty(); });
    const std::string& logDir = seating.settings().botLogDir;
    std::error_code made;
    if (!logDir.empty() && programPlays && !std::filesystem::create_directories(logDir, made) && made)
        sayStartProblem("--bot-logs: cannot make '" + logDir + "': " + made.message());
    // A program that cannot run is said before the match, not found out at its first move.
    for (int seat = 0; seat < 2; ++seat)
        checkProgram(liveMatch->record().players[static_cast<std::size_t>(seat)],
                     programs.at(static_cast<std::size_t>(1 - seat)), seat == 0 ? "--first" : "--second", "");
    return chosen;
}

void main_window::sayStartProblem(const std::string& problem)
{
    problems.push_back(problem);
    std::fprintf(stderr, "vorlen: %s\n", vorlen::terminalSafe(problem).c_str());
}

void main_window::checkProgram(const std::string& player, const std::string& otherPlayer, const std::string& said,
                               const std::string& advice)
{
    if (const auto problem = seating.problemOf(player, otherPlayer))
        sayStartProblem(said + ": " + *problem + advice);
}

void main_window::seatNamed(int seat, const std::string& player, const std::string& otherProgram,
                            const std::string& said)
{
    seatPlayer(seat, vorlen::parseSeatPlayer(player), otherProgram);
    checkProgram(player, otherProgram, said, "; choose the seat in File \u2192 New match\u2026");
}

void main_window::seatPlayer(int seat, const vorlen::SeatPlayer& who, const std::string& otherPlayer)
{
    const auto index = static_cast<std::size_t>(seat);
    vorlen::BuiltSeat built = seating.build(seat, who, otherPlayer, liveMatch->bots());
    personControls.players.at(index) = nullptr;
    if (who.kind == vorlen::SeatPlayer::Kind::Person) {
        // Asked on the referee's thread; the window offers the colours on its own.
        auto person = std::make_unique<PersonPlayer>(
            [this, seat](vorlen::Field seen) {
                // The second seat sees the board turned: it is turned back.
                if (seat == 1)
                    vorlen::rotateField(seen);
                QMetaObject::invokeMethod(this, [this, seat, seen] { offerToPerson(seat, seen); }, Qt::QueuedConnection);
            },
            vorlen::Trace());
        personControls.players.at(index) = person.get();
        built.player = std::move(person);
    }
    liveMatch->record().players.at(index) = who.text();
    std::error_code unknown;
    const std::string here = std::filesystem::current_path(unknown).string();
    liveMatch->record().runFolder = here;
    liveMatch->record().playersAsRun.at(index) = who.isProgram() ? vorlen::playerAsRun(who, here) : std::string();
    liveMatch->record().moveLimitsMs.at(index) = built.recordedMoveLimitMs;
    liveMatch->seat(seat, std::move(built.player));
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
    const bool personPlays = personControls.players[0] || personControls.players[1];
    if (!personPlays || viewing() || moving() || !problems.empty() || manager.gameOver() || timer->isActive())
        return;
    // The person's colours are offered before its turn begins: the board
    // stays the window's to draw while the person thinks.
    const vorlen::MatchPosition position = manager.position();
    const int next = 1 - position.lastSeat;
    if (personControls.players.at(static_cast<std::size_t>(next)) && position.active(next)) {
        offerToPerson(next, position.board);
        return;
    }
    nextStep();
}

void main_window::offerToPerson(int seat, const vorlen::Field& board)
{
    const PersonOffer offer = personOffer(board, seat);
    personControls.bar->offer(offer.legal, offer.gains);
    personControls.outline->outline(offer.region);
}

void main_window::personChose(int colour)
{
    personControls.bar->withdraw();
    personControls.outline->clear();
    for (PersonPlayer* person : personControls.players)
        if (person && person->waiting() && person->choose(colour))
            return;
    // Chosen before the turn: the turn plays it.
    if (moving())
        return;
    const int next = 1 - manager.position().lastSeat;
    if (PersonPlayer* person = personControls.players.at(static_cast<std::size_t>(next))) {
        person->chooseAhead(colour);
        nextStep();
    }
}
