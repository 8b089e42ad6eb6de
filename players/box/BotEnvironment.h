#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlen {

// The system's folders of programs: a bot's PATH, in a box and out of one.
inline constexpr const char* kSystemPath = "/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin";

// A variable the organiser hands its bots on purpose: NAME passes the
// referee's own value on, NAME=VALUE sets one.
struct EnvPass {
    std::string name;
    std::optional<std::string> value;

    bool operator==(const EnvPass&) const = default;
};

// Reads "NAME" or "NAME=VALUE"; why not, when the name is not one a shell
// could set (letters, digits and '_', not starting with a digit).
std::optional<std::string> parseEnvPass(const std::string& text, EnvPass& pass);

// The whole environment of a bot, as "NAME=VALUE": PATH of the system's
// folders, HOME and TMPDIR at `home`, a UTF-8 C locale, then the passes
// (which may replace any of those). Nothing else of `ours` (the referee's
// environment) gets through: no display, agent socket or secret of the
// organiser's shell.
std::vector<std::string> botEnvironment(const std::vector<EnvPass>& passes, const std::string& home,
                                        const char* const* ours);

// A JVM sizes its heap from the machine's memory, not from a bot's limit:
// told the limit (JAVA_TOOL_OPTIONS=-XX:MaxRAM), its heap takes a quarter of
// it and it starts under a limit of its data alone. Options the organiser
// passes come first; one that sizes the heap itself is left alone. Nothing
// for no limit (0).
void withJavaMemory(std::vector<std::string>& environment, std::uint64_t memoryMiB);

// The PATH bots get with these passes.
std::string botPath(const std::vector<EnvPass>& passes);

// The value of NAME in an environment of "NAME=VALUE" entries.
std::optional<std::string> environmentValue(const std::vector<std::string>& environment, const std::string& name);

// The passes' names, as records and summaries list them: "A B C".
std::string envPassNames(const std::vector<EnvPass>& passes);

} // namespace vorlen
