// make test: the bot's choice on each sample board against the answer
// samples/answers.txt expects. Run from this folder.
#include "strategy.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main()
{
    std::ifstream answers("samples/answers.txt");
    if (!answers) {
        std::cerr << "no samples/answers.txt: run make test in the bot's folder\n";
        return 2;
    }
    int boards = 0;
    int wrong = 0;
    for (std::string line; std::getline(answers, line);) {
        std::istringstream fields(line);
        std::string name;
        int expected = 0;
        if (line.empty() || line[0] == '#' || !(fields >> name >> expected))
            continue;
        std::ifstream in("samples/" + name);
        starter::Board board;
        if (!starter::readBoard(in, board)) {
            std::cerr << name << ": not a board\n";
            return 2;
        }
        ++boards;
        const int chosen = starter::choose(board);
        if (chosen != expected) {
            ++wrong;
            std::cerr << name << ": chose " << chosen << ", expected " << expected << '\n';
        }
    }
    std::cout << boards - wrong << " of " << boards << " sample boards answered as expected\n";
    return wrong == 0 && boards > 0 ? 0 : 1;
}
