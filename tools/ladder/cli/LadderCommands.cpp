#include "LadderCommands.h"

#include "CommandParts.h"
#include "DatabaseLocation.h"

#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <functional>
#include <map>

namespace vorlen::ladder {
namespace {

struct Subcommand {
    const char* usage;
    const char* help;
    std::function<CommandOutcome(CommandCall&, LadderStore&)> run; // none: needs no ladder yet
};

const std::map<std::string, Subcommand>& subcommands()
{
    static const std::map<std::string, Subcommand> all = {
        {"init",
         {"init DIR [--database postgresql://...]",
          "Makes a new ladder in DIR (absent or empty): its storage, and its database: an SQLite file in DIR, or\n"
          "with --database the PostgreSQL database at that address (for a ladder served from several machines;\n"
          "the address is kept in DIR/database.url, readable by its owner only).",
          nullptr}},
        {"add",
         {"add NAME PATH [--command LINE] [--build LINE]",
          "Adds a version of bot NAME from the folder PATH, or from a zip or tar.gz of it, copied into the ladder's\n"
          "storage and kept read-only.\n"
          "LINE runs in the bot's folder; without --command it comes from the kit's files where that is obvious\n"
          "(main.py, a Makefile's bot target, a Java main, a Node script), and --build likewise (build.sh, make,\n"
          "javac). The version waits for its build and check before it plays.",
          addVersion}},
        {"bot",
         {"bot NAME",
          "Shows a bot: its state (and why it was paused), its versions with their commands, build and check results,\n"
          "their latest matches and their latest failed moves with what to do and where the logs are.",
          showBot}},
        {"retire", {"retire NAME", "Takes a bot out of the standings and the schedule; its results are kept.", retireBot}},
        {"standings",
         {"standings [--top N]",
          "Prints the ratings (Bradley-Terry, the field's mean at 0) of every active bot's latest ready version,\n"
          "then the cross table and the likelihoods of superiority between the top N (20).",
          showStandings}},
        {"matches",
         {"matches [--limit N | --records]",
          "Lists the latest matches (20 unless --limit says). --records: the records of the matches between the\n"
          "current versions as JSON Lines, one run's records that 'vorlen-match summarize' sums up as the standings.",
          listMatches}},
        {"play-pair",
         {"play-pair --list FILE --index I",
          "What run --slurm's jobs run on the cluster's nodes: plays the pair on line I (from 0) of FILE, one the\n"
          "run chose and listed, and lands it in the database the nodes share. Not for use by hand.",
          playPairCommand}},
        {"run",
         {"run [--matches N] [--concurrency N] [--seed N] [--keep-pairs N] [--slurm [--batch N]]",
          "Keeps the ladder playing until stopped (Ctrl-C), or until N more matches are played: versions that wait\n"
          "are built and checked first, each in a box of its own; then pairs of the current versions play one board\n"
          "in both seatings, where the standings are least sure. --concurrency: builds and pairs at once (1).\n"
          "--seed: the ladder's boards (0). One run at a time plays a ladder; a stopped or killed run loses only\n"
          "what it had under way, which the next run plays again. --keep-pairs: the logs and replays of the\n"
          "latest N pairs are kept, older ones removed (their records stay); 0 (the default) keeps all. --slurm: the pairs play on a Slurm cluster, N\n"
          "a job (--batch, 10), --concurrency jobs at once, on nodes that share the ladder's folder and its\n"
          "PostgreSQL database; a job's pairs that do not land are chosen afresh.",
          runLadder}},
        {"serve",
         {"serve [--listen HOST:PORT] [--threads N]",
          "Serves the ladder's pages (standings, bots, matches and their replays) over HTTP on HOST:PORT\n"
          "(127.0.0.1:8080) until stopped, with N threads (4). Meant behind a reverse proxy such as nginx, which\n"
          "brings TLS and the limits on requests (see docs/ladder.md). Accounts sign up there (as 'admin signup'\n"
          "says), hand in bots as archives and read their own bots' logs; nobody else's.",
          serveLadder}},
        {"admin",
         {"admin [add NAME | remove NAME | signup [open|invitation|closed] | invite]",
          "The site's organisers and who may sign up: 'add NAME' makes a user an organiser (who may retire any bot\n"
          "and read every log), 'remove NAME' no longer; 'signup' says or sets how people sign up (closed at first);\n"
          "'invite' prints a new invitation code, good for one account.",
          adminCommand}},
    };
    return all;
}

std::string overview()
{
    std::string text = "Usage: vorlen-ladder [--ladder DIR] COMMAND ...\n"
                       "Keeps a ladder of bots: versions handed in, built and checked, rated from their matches.\n"
                       "Works on the ladder in the current folder, or in DIR.\n\nCommands:\n";
    for (const auto& [name, command] : subcommands())
        text += "  " + std::string(command.usage) + "\n";
    return text + "\n'vorlen-ladder COMMAND --help' says more of each.\n";
}

} // namespace

CommandOutcome runLadderCommand(const std::vector<std::string>& given, const std::string& now,
                                const std::function<void(const std::string&)>& say,
                                const volatile std::sig_atomic_t* interrupted)
{
    CommandCall call;
    call.now = now;
    call.say = say;
    call.interrupted = interrupted;
    std::vector<std::string> words = given;
    std::string dir = ".";
    if (!takeOption(words, "--ladder", dir) || dir.empty())
        return call.refuse("--ladder needs a folder");
    if (words.empty() || words[0] == "--help" || words[0] == "-h") {
        call.outcome.code = words.empty() ? 2 : 0;
        (words.empty() ? call.outcome.err : call.outcome.out) = overview();
        return call.outcome;
    }
    const auto found = subcommands().find(words[0]);
    if (found == subcommands().end())
        return call.refuse("'" + words[0] + "' is not a command (vorlen-ladder --help lists them)");
    call.args.assign(words.begin() + 1, words.end());
    if (call.args.size() == 1 && (call.args[0] == "--help" || call.args[0] == "-h")) {
        call.outcome.out = "Usage: vorlen-ladder [--ladder DIR] " + std::string(found->second.usage) + "\n"
                           + found->second.help + "\n";
        return call.outcome;
    }
    call.ladder.root = dir;
    if (!found->second.run)
        return initLadder(call);
    const std::optional<std::string> location = call.ladder.databaseLocation();
    if (!location)
        return call.refuse("no ladder in '" + dir + "' (vorlen-ladder init DIR makes one; --ladder DIR names it)");
    try {
        LadderStore store(*location, false);
        return found->second.run(call, store);
    } catch (const SqlError& failed) {
        return call.fail(std::string("the ladder's database: ") + failed.what());
    }
}

namespace {

bool writePrivateFile(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}

} // namespace

std::optional<long long> countOf(const std::string& text, long long least, long long most)
{
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (used == text.size() && value >= least && value <= most)
            return value;
    } catch (...) {
    }
    return std::nullopt;
}

CommandOutcome initLadder(CommandCall& call)
{
    namespace fs = std::filesystem;
    std::string address;
    if (!takeOption(call.args, "--database", address))
        return call.refuse("--database needs a PostgreSQL server's address (postgresql://...)");
    if (!address.empty() && !isPostgresLocation(address))
        return call.refuse("--database takes a PostgreSQL server's address (postgresql://...); without it the ladder "
                           "keeps an SQLite file in its folder");
    if (call.args.size() != 1)
        return call.refuse("init takes one folder: vorlen-ladder init DIR [--database postgresql://...]");
    const std::string dir = call.args[0];
    std::error_code failed;
    if (fs::exists(fs::symlink_status(dir, failed)) && !(fs::is_directory(fs::symlink_status(dir)) && fs::is_empty(dir, failed)))
        return call.refuse("'" + dir + "' is there and not an empty folder: a ladder starts in a folder of its own");
    call.ladder.root = dir;
    fs::create_directories(call.ladder.storage() + "/bots", failed);
    if (failed)
        return call.fail("cannot make '" + dir + "': " + failed.message());
    // A ladder that cannot have its database leaves nothing behind.
    const auto undo = [&](const std::string& why) {
        for (const auto& entry : fs::directory_iterator(dir, failed))
            fs::remove_all(entry.path(), failed);
        return call.fail(why);
    };
    // The address may hold a password: for the ladder's owner only.
    if (!address.empty() && !writePrivateFile(call.ladder.databaseAddress(), address + "\n"))
        return undo("cannot write '" + call.ladder.databaseAddress() + "'");
    try {
        LadderStore store(address.empty() ? call.ladder.database() : address, true);
        call.outcome.out = "A new ladder in '" + dir + "' (database schema " + std::to_string(store.schemaVersion())
                           + (address.empty() ? ", SQLite" : ", PostgreSQL") + "). Add bots with: vorlen-ladder --ladder "
                           + dir + " add NAME PATH\n";
    } catch (const SqlError& error) {
        return undo(std::string("cannot make the ladder's database: ") + error.what());
    }
    return call.outcome;
}

bool takeOption(std::vector<std::string>& words, const std::string& name, std::string& value)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] != name)
            continue;
        if (i + 1 >= words.size())
            return false;
        value = words[i + 1];
        words.erase(words.begin() + static_cast<std::ptrdiff_t>(i), words.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

} // namespace vorlen::ladder
