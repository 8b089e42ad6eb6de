#pragma once

#include <string>
#include <string_view>

namespace vorlen {

// What a bot writes, as its log keeps it: a line of the bot's that begins
// as the referee's notes do ("[vorlen]") is kept with "[bot] " before it,
// so that a note in a log, a replay or a page is always the referee's.
// Bytes come in pieces as the bot writes them; the start of a line that
// might still become "[vorlen]" is held until the next piece says.
class BotLineMarker {
public:
    // What to keep of `bytes`, now, in `kept` (cleared first; its room is
    // reused from call to call, as a bot may write without end).
    void pass(std::string_view bytes, std::string& kept);
    // What is held, given up: the bot's output ends here, or the referee
    // writes a note, after which a line begins.
    std::string release();

private:
    bool atLineStart_ = true;
    std::string held_; // a line's start that is "[vorlen]" so far
};

} // namespace vorlen
