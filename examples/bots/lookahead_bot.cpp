// A vorlen bot: greedy with one move of look-ahead (see lookahead.h).
//
// The referee starts it for every move: it reads the board from vorla.in and
// writes its colour to vorla.out.
//
// Build: g++ -O2 -std=c++20 -o lookahead_bot lookahead_bot.cpp
#include "lookahead.h"

#include <fstream>

int main()
{
    lookahead::Board board;
    std::ifstream in("vorla.in");
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            board.push_back(line);
    }
    if (board.empty())
        return 1;
    std::ofstream("vorla.out") << lookahead::bestColour(board) << '\n';
}
