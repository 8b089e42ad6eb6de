// trivial_bot as a stream bot: the same answer, board after board, on
// standard input and output.
#include <cstdio>

int main()
{
    char line[256];
    for (;;) {
        int own = 0;
        int opponent = 0;
        for (int row = 0; row < 41; ++row) {
            if (!std::fgets(line, sizeof line, stdin))
                return 0;
            if (row == 0)
                own = line[0] - '0';
            if (row == 40)
                opponent = line[44] - '0';
        }
        int move = own % 6 + 1;
        if (move == opponent)
            move = move % 6 + 1;
        std::printf("%d\n", move);
        std::fflush(stdout);
    }
}
