#include "BotEnvironment.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace vorlen {
namespace {

bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }

// Where the value of NAME starts in `ours`, or null.
const char* referenceValue(const char* const* ours, const std::string& name)
{
    for (const char* const* entry = ours; entry && *entry; ++entry)
        if (std::strncmp(*entry, name.c_str(), name.size()) == 0 && (*entry)[name.size()] == '=')
            return *entry + name.size() + 1;
    return nullptr;
}

void setEntry(std::vector<std::string>& environment, const std::string& name, const std::string& value)
{
    const std::string prefix = name + "=";
    std::erase_if(environment, [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
    environment.push_back(prefix + value);
}

bool isLocaleName(const std::string& name) { return name == "LANG" || name == "LANGUAGE" || name.rfind("LC_", 0) == 0; }

} // namespace

std::optional<std::string> parseEnvPass(const std::string& text, EnvPass& pass)
{
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    if (name.empty() || !isNameStart(name.front()) || !std::all_of(name.begin(), name.end(), isNameChar))
        return "'" + name + "' is not a variable's name (letters, digits and '_', not starting with a digit)";
    pass.name = name;
    pass.value = equals == std::string::npos ? std::nullopt : std::optional(text.substr(equals + 1));
    return std::nullopt;
}

std::vector<std::string> botEnvironment(const std::vector<EnvPass>& passes, const std::string& home,
                                        const char* const* ours)
{
    std::vector<std::string> environment{std::string("PATH=") + kSystemPath, "HOME=" + home, "TMPDIR=" + home,
                                         "LANG=C.UTF-8"};
    // A locale the organiser chose is not overruled by ours.
    if (std::none_of(passes.begin(), passes.end(), [](const EnvPass& pass) { return isLocaleName(pass.name); }))
        environment.push_back("LC_ALL=C.UTF-8");
    for (const EnvPass& pass : passes) {
        if (pass.value) {
            setEntry(environment, pass.name, *pass.value);
        } else if (const char* value = referenceValue(ours, pass.name)) {
            setEntry(environment, pass.name, value);
        }
    }
    return environment;
}

void withJavaMemory(std::vector<std::string>& environment, std::uint64_t memoryMiB)
{
    if (memoryMiB == 0)
        return;
    const std::string given = environmentValue(environment, "JAVA_TOOL_OPTIONS").value_or("");
    for (const char* sizing : {"MaxRAM", "-Xmx", "MaxHeapSize"})
        if (given.find(sizing) != std::string::npos)
            return;
    setEntry(environment, "JAVA_TOOL_OPTIONS",
             (given.empty() ? "" : given + " ") + "-XX:MaxRAM=" + std::to_string(memoryMiB) + "m");
}

std::string botPath(const std::vector<EnvPass>& passes)
{
    return environmentValue(botEnvironment(passes, "", environ), "PATH").value_or("");
}

std::optional<std::string> environmentValue(const std::vector<std::string>& environment, const std::string& name)
{
    const std::string prefix = name + "=";
    for (const std::string& entry : environment)
        if (entry.rfind(prefix, 0) == 0)
            return entry.substr(prefix.size());
    return std::nullopt;
}

std::string envPassNames(const std::vector<EnvPass>& passes)
{
    std::vector<std::string> seen;
    std::string names;
    for (const EnvPass& pass : passes) {
        if (std::find(seen.begin(), seen.end(), pass.name) != seen.end())
            continue;
        seen.push_back(pass.name);
        names += (names.empty() ? "" : " ") + pass.name;
    }
    return names;
}

} // namespace vorlen
