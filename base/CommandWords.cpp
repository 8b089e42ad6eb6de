#include "CommandWords.h"

namespace vorlen {
namespace {

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// Walks the command line's quotes: `onChar` gets every character that is
// part of a word (a literal quote included) with whether it stands inside
// quotes; the result is whether a quote is left open.
template <typename OnChar>
bool walk(const std::string& commandLine, OnChar onChar)
{
    bool inQuote = false;
    int quotes = 0; // in the current run of quotes
    for (const char ch : commandLine) {
        if (ch == '"') {
            if (++quotes == 3) {
                quotes = 0;
                onChar('"', true);
            }
            continue;
        }
        // One quote opens or closes a quoted part; two are an empty one.
        if (quotes == 1)
            inQuote = !inQuote;
        quotes = 0;
        onChar(ch, inQuote);
    }
    return quotes == 1 ? !inQuote : inQuote;
}

} // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> words;
    std::string word;
    walk(commandLine, [&](char ch, bool quoted) {
        if (quoted || !isBlank(ch)) {
            word.push_back(ch);
            return;
        }
        if (!word.empty())
            words.push_back(std::move(word));
        word.clear();
    });
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

bool quoteLeftOpen(const std::string& commandLine)
{
    return walk(commandLine, [](char, bool) {});
}

} // namespace vorlen
