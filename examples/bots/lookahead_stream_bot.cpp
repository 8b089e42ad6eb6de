// The look-ahead bot of lookahead_bot.cpp as a stream bot: started once for
// the whole match (run it as "stream:./lookahead_stream_bot"), it reads each
// board on its standard input, 41 lines of 45 digits, and answers with one
// line holding its colour. The input ends when the match is over.
//
// The answer must be flushed: std::endl does it. An answer left in the
// output buffer never reaches the referee, and the move runs out of time.
//
// Build: g++ -O2 -std=c++20 -o lookahead_stream_bot lookahead_stream_bot.cpp
#include "lookahead.h"

#include <iostream>

int main()
{
    constexpr int kRows = 41;
    for (;;) {
        lookahead::Board board;
        for (std::string line; static_cast<int>(board.size()) < kRows && std::getline(std::cin, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            board.push_back(line);
        }
        if (static_cast<int>(board.size()) < kRows)
            return 0; // the match is over
        std::cout << lookahead::bestColour(board) << std::endl;
    }
}
