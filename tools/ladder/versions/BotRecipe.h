#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::ladder {

// How a bot's folder is built and run, each a command line run in the
// folder: build empty when nothing is built.
struct BotRecipe {
    std::string build;
    std::string command;
};

// What a folder's files say, where it is obvious: the build from a
// `build.sh` of its own, else a Makefile (`make`), else Java sources
// (`javac -d . *.java`); the command from `main.py` (`python3 main.py`), a
// Makefile's `bot` target (`./bot`), a Java class named FileBot or the one
// source with a main, a Node `file_bot.js`, `main.js` or lone script. No
// command when the files leave a choice: the caller asks for one.
// `files` are the folder's paths (relative, '/'-separated); `texts` holds
// the Makefile's and the Java sources' contents.
BotRecipe recipeFor(const std::vector<std::string>& files, const std::map<std::string, std::string>& texts);

} // namespace vorlen::ladder
