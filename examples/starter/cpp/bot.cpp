// The starter bot as a file bot: started for every move in its seat's
// folder, it reads vorla.in and writes vorla.out.
#include "strategy.h"

#include <fstream>
#include <iostream>

int main()
{
    std::ifstream in("vorla.in");
    starter::Board board;
    if (!starter::readBoard(in, board)) {
        std::cerr << "vorla.in is not a board\n";
        return 1;
    }
    const int colour = starter::choose(board);
    // Standard error is the bot's log: the window and the replays show it.
    std::cerr << "own " << board.own() << ", opponent " << board.opponent() << ", playing " << colour << '\n';
    std::ofstream("vorla.out") << colour << '\n';
}
