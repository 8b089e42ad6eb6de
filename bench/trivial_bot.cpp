// The cheapest bot that still plays legally: the colour after its own,
// skipping the opponent's.
#include <cstdio>

int main()
{
    std::FILE* in = std::fopen("vorla.in", "r");
    if (!in)
        return 1;
    const int own = std::fgetc(in) - '0';
    int opponent = own;
    for (int ch = 0, last = 0; (ch = std::fgetc(in)) != EOF; last = ch)
        if (ch == '\n')
            opponent = last - '0';
    std::fclose(in);
    int move = own % 6 + 1;
    if (move == opponent)
        move = move % 6 + 1;
    std::FILE* out = std::fopen("vorla.out", "w");
    if (!out)
        return 1;
    std::fprintf(out, "%d\n", move);
    return std::fclose(out) == 0 ? 0 : 1;
}
