// The cheapest possible bot: answers colour 3 without reading the board.
#include <cstdio>

int main()
{
    std::FILE* out = std::fopen("vorla.out", "w");
    if (!out)
        return 1;
    std::fputs("3\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
