// The starter bot as a stream bot: started once for the match, it reads each
// board on standard input and answers with a line on standard output.
#include "strategy.h"

#include <iostream>

int main()
{
    starter::Board board;
    // The input ends when the match is over.
    while (starter::readBoard(std::cin, board)) {
        const int colour = starter::choose(board);
        std::cerr << "playing " << colour << '\n';
        // std::endl flushes: an answer left in the buffer never arrives.
        std::cout << colour << std::endl;
    }
}
