#include "BotHints.h"

#include "BotFolder.h"
#include "CommandLine.h"
#include "FileDescriptor.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vorlen {
namespace {

bool startsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// What is wrong with a script's first line, if anything.
std::string scriptHint(const std::string& head)
{
    if (head.empty() || startsWith(head, "\x7f" "ELF"))
        return {};
    if (!startsWith(head, "#!"))
        return "the program has no #! line, so the system ran it as a shell script: start it with one "
               "(#!/usr/bin/env python3), or name its interpreter first on the command line";
    const std::string first = head.substr(0, head.find('\n'));
    if (!first.empty() && first.back() == '\r')
        return "its #! line ends in a Windows line end (\\r), so no interpreter of that name is found: "
               "save the file with Unix line ends";
    return {};
}

} // namespace

std::string hintFor(const HintFacts& facts)
{
    const bool noAnswer = facts.outcome == Outcome::NoMove || facts.outcome == Outcome::NoAnswer;
    if (facts.outcome == Outcome::FailedToStart || noAnswer) {
        if (std::string script = scriptHint(facts.programHead); !script.empty())
            return script;
        if (!facts.refusedCall.empty())
            return "it made a system call the box does not allow: " + facts.refusedCall
                   + " (refused with EPERM; docs/bots.md lists what a box refuses)";
        if (!facts.hiddenInterpreter.empty())
            return hiddenInterpreterHint(facts.hiddenInterpreter);
    }
    if (facts.stream && (facts.outcome == Outcome::TimedOut || facts.outcome == Outcome::NoAnswer)) {
        if (!facts.partialLine.empty())
            return "it wrote '" + facts.partialLine.substr(0, 40) + "' without a line end: end each answer with "
                   "a newline, and flush";
        if (!facts.chatter.empty())
            return "it wrote lines without a move on standard output (the last: '" + facts.chatter.substr(0, 60)
                   + "'): write each answer as a line holding the colour's number alone, and debug lines to "
                     "standard error";
        if (facts.outcome == Outcome::TimedOut)
            return "no answer line came: if it printed one, flush its standard output after each answer "
                   "(Python: print(move, flush=True); C: fflush(stdout))";
    }
    if (!noAnswer)
        return {};
    std::string hint;
    // A SIGKILL is ours (its move was over) or its box's limit's, said elsewhere.
    if (facts.signal > 0 && facts.signal != SIGKILL)
        hint = "it was killed by signal " + std::to_string(facts.signal) + " (" + ::strsignal(facts.signal)
               + ") before answering";
    else if (facts.exitCode == 0 && facts.outcome == Outcome::NoMove)
        return "it ended without writing vorla.out: answers go to the file vorla.out (standard output is "
               "thrown away)";
    else if (facts.exitCode == 0)
        return "it ended before answering: a stream bot stays up for the whole match, answering each board it "
               "reads with a line on standard output";
    else if (facts.exitCode > 0)
        hint = "it ended with exit code " + std::to_string(facts.exitCode) + " before answering";
    else
        return {};
    // The engine's module is where the system's Python looks, which a box shows.
    if (facts.lastErrLine.find("No module named 'vorlen'") != std::string::npos)
        return hint + "; its last line on standard error: " + facts.lastErrLine
               + " \u2014 install vorlen's package, or from a build: "
                 "sudo cmake --install build --component python --prefix /usr (see the Python starter kit)";
    if (!facts.lastErrLine.empty())
        return hint + "; its last line on standard error: " + facts.lastErrLine;
    return hint + " (keep its standard error with --bot-logs to see why)";
}

std::string hiddenInterpreterHint(const std::string& interpreter)
{
    return interpreter + " is an interpreter outside the system's folders, which its box does not show: name the "
                         "system's (python3, node, java) with what the bot needs in its own folder, or run it "
                         "without a box";
}

std::string interpreterOutsideSystem(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv.front().find('/') == std::string::npos || isSystemPath(argv.front()))
        return {};
    // python3, python3.11, pypy3, node, nodejs, java...; not a bot named "pythonic".
    const std::string name = argv.front().substr(argv.front().rfind('/') + 1);
    for (const std::string interpreter : {"python", "pypy", "nodejs", "node", "java", "ruby", "perl", "php", "lua",
                                          "julia", "Rscript"}) {
        if (!startsWith(name, interpreter))
            continue;
        const std::string version = name.substr(interpreter.size());
        if (version.find_first_not_of("0123456789.") == std::string::npos)
            return argv.front();
    }
    return {};
}

std::string programHead(const std::string& commandLine, const std::string& base)
{
    const std::vector<std::string> words = splitCommandLine(commandLine);
    if (words.empty())
        return {};
    std::string why;
    const std::string path = findExecutable(words.front(), base, why);
    if (path.empty())
        return {};
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid())
        return {};
    std::string head(256, '\0');
    const ssize_t got = ::read(file.get(), head.data(), head.size());
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return head;
}

} // namespace vorlen
