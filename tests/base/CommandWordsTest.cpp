#include "CommandWords.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace vorlen;
using Words = std::vector<std::string>;

namespace {

// The words /bin/sh makes of `line`, the line given to it as a script.
Words shellWords(const std::string& line)
{
    std::string script = "printf '%s\\0' " + line;
    FILE* shell = ::popen(("/bin/sh -c '" + [&] {
        std::string quoted;
        for (const char ch : script)
            quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
        return quoted;
    }() + "'").c_str(), "r");
    if (!shell)
        return {"(no shell)"};
    std::string out;
    std::array<char, 256> buffer{};
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), shell)) > 0;)
        out.append(buffer.data(), got);
    ::pclose(shell);
    Words words;
    for (std::size_t start = 0, end; (end = out.find('\0', start)) != std::string::npos; start = end + 1)
        words.push_back(out.substr(start, end - start));
    return words;
}

} // namespace

TEST(CommandWords, PlainWordsAndDoubleQuotesSplitAsTheShellSplitsThem)
{
    const Words lines = {
        "./bot",
        "python3 bot.py  --level 2",
        "  \tjava  -jar\tbot.jar \t",
        "/bin/sh \"my bot.sh\" \"a b\"",
        "a\"b c\"d \"x\"y",
        "\"  spaced  \"",
        "bot \"tab\there\"",
        // Bytes of no encoding pass as they are: a file name is bytes.
        "./b\xe9t \"caf\xc3\xa9 \xff\"",
    };
    for (const std::string& line : lines)
        EXPECT_EQ(splitCommandLine(line), shellWords(line)) << line;
}

TEST(CommandWords, NothingElseIsTheShellsDoing)
{
    const struct {
        std::string line;
        Words words;
    } cases[] = {
        // No shell runs: its operators and expansions are plain characters.
        {"bot; rm -rf x | cat $HOME", {"bot;", "rm", "-rf", "x", "|", "cat", "$HOME"}},
        {"bot 'a b' c\\ d *", {"bot", "'a", "b'", "c\\", "d", "*"}},
        // Three quotes in a row are a literal quote, inside quotes or out.
        {"./bot \"say \"\"\"hi\"\"\"\"", {"./bot", "say \"hi\""}},
        {"x \"\"\"\"", {"x", "\""}},
        // An empty pair of quotes makes no word, and a quote left open runs
        // to the end.
        {"a \"\" b", {"a", "b"}},
        {"\"a b", {"a b"}},
        {"", {}},
        {" \t\r\n", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandWords, AQuoteLeftOpenIsFound)
{
    const struct {
        std::string line;
        bool open;
    } cases[] = {
        {"bot", false}, {"\"a b\"", false}, {"\"\"", false}, {"\"\"\"", false}, {"a\"\"\"\"b", true},
        {"\"a b", true}, {"bot \"", true}, {"\"a\" \"b", true}, {"\"x \"\"\"\"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quoteLeftOpen(c.line), c.open) << c.line;
}
