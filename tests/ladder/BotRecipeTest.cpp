#include "BotRecipe.h"

#include <gtest/gtest.h>

using namespace vorlen::ladder;

namespace {

struct RecipeCase {
    const char* name;
    std::vector<std::string> files;
    std::map<std::string, std::string> texts;
    std::string build;
    std::string command;
};

const char* const kJavaRun = "java -Xmx256m -XX:+UseSerialGC -XX:TieredStopAtLevel=1 -cp . ";

// Where the files say how to build and run, that is taken; where they
// leave a choice, no command, and the one adding the bot names it.
TEST(BotRecipe, TheKitsFilesSayHowToBuildAndRunAndNothingIsGuessedBeyondThem)
{
    const std::string javaRun = kJavaRun;
    const RecipeCase cases[] = {
        {"python kit", {"main.py", "strategy.py", "stream_main.py", "samples/a.in"}, {}, "", "python3 main.py"},
        {"C++ kit", {"Makefile", "bot.cpp"}, {{"Makefile", "all: bot\n\nbot: bot.cpp\n\tg++ -o bot bot.cpp\n"}}, "make",
         "./bot"},
        {"a Makefile without a bot target", {"Makefile", "x.c"}, {{"Makefile", "all: x\n\nrobot: x\n"}}, "make", ""},
        {"its own build.sh first", {"build.sh", "Makefile", "main.py"}, {{"Makefile", "bot:\n"}}, "sh build.sh",
         "python3 main.py"},
        {"Java kit", {"FileBot.java", "StreamBot.java", "Board.java"}, {}, "javac -d . *.java", javaRun + "FileBot"},
        {"one Java main", {"A.java", "Helper.java"},
         {{"A.java", "class A { public static void main(String[] a) {} }"}, {"Helper.java", "class Helper {}"}},
         "javac -d . *.java", javaRun + "A"},
        {"two Java mains", {"A.java", "B.java"},
         {{"A.java", "public static void main("}, {"B.java", "public  static void main ("}}, "javac -d . *.java", ""},
        {"node kit", {"file_bot.js", "stream_bot.js", "board.js"}, {}, "", "node file_bot.js"},
        {"node main.js", {"main.js", "lib.js"}, {}, "", "node main.js"},
        {"one node script", {"play.js"}, {}, "", "node play.js"},
        {"node scripts to choose from", {"a.js", "b.js"}, {}, "", ""},
        {"a main.py in a subfolder is not the bot's", {"src/main.py"}, {}, "", ""},
        {"nothing known", {"bot.rb", "README.md"}, {}, "", ""},
        {"nothing at all", {}, {}, "", ""},
    };
    for (const RecipeCase& test : cases) {
        SCOPED_TRACE(test.name);
        const BotRecipe recipe = recipeFor(test.files, test.texts);
        EXPECT_EQ(recipe.build, test.build);
        EXPECT_EQ(recipe.command, test.command);
    }
}

} // namespace
