#include "BotRecipe.h"

#include <algorithm>
#include <regex>

namespace vorlen::ladder {
namespace {

bool has(const std::vector<std::string>& files, const std::string& name)
{
    return std::find(files.begin(), files.end(), name) != files.end();
}

// The top folder's files ending with `suffix`.
std::vector<std::string> topFiles(const std::vector<std::string>& files, const std::string& suffix)
{
    std::vector<std::string> found;
    for (const std::string& file : files)
        if (file.find('/') == std::string::npos && file.size() > suffix.size()
            && file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(file);
    return found;
}

std::string textOf(const std::map<std::string, std::string>& texts, const std::string& name)
{
    const auto found = texts.find(name);
    return found == texts.end() ? std::string() : found->second;
}

// Java runs small and starts fast with these, as the kit's bot does.
constexpr const char* kJava = "java -Xmx256m -XX:+UseSerialGC -XX:TieredStopAtLevel=1 -cp . ";

std::string javaCommand(const std::vector<std::string>& sources, const std::map<std::string, std::string>& texts)
{
    if (has(sources, "FileBot.java"))
        return std::string(kJava) + "FileBot";
    static const std::regex main(R"(public\s+static\s+void\s+main\s*\()");
    std::vector<std::string> withMain;
    for (const std::string& source : sources)
        if (std::regex_search(textOf(texts, source), main))
            withMain.push_back(source);
    if (withMain.size() != 1)
        return {};
    return std::string(kJava) + withMain[0].substr(0, withMain[0].size() - 5);
}

std::string nodeCommand(const std::vector<std::string>& scripts)
{
    for (const char* name : {"file_bot.js", "main.js"})
        if (has(scripts, name))
            return std::string("node ") + name;
    return scripts.size() == 1 ? "node " + scripts[0] : std::string();
}

} // namespace

BotRecipe recipeFor(const std::vector<std::string>& files, const std::map<std::string, std::string>& texts)
{
    BotRecipe recipe;
    const bool makefile = has(files, "Makefile");
    const std::vector<std::string> java = topFiles(files, ".java");
    if (has(files, "build.sh"))
        recipe.build = "sh build.sh";
    else if (makefile)
        recipe.build = "make";
    else if (!java.empty())
        recipe.build = "javac -d . *.java";

    static const std::regex botTarget(R"((^|\n)bot\s*:)");
    if (has(files, "main.py"))
        recipe.command = "python3 main.py";
    else if (makefile && std::regex_search(textOf(texts, "Makefile"), botTarget))
        recipe.command = "./bot";
    else if (!java.empty())
        recipe.command = javaCommand(java, texts);
    else
        recipe.command = nodeCommand(topFiles(files, ".js"));
    return recipe;
}

} // namespace vorlen::ladder
