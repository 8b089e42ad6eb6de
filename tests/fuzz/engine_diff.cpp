// The bit-plane engine against the straightforward rules: a board and a
// game's moves from the input, every position compared.
#include "BitBoard.h"
#include "Rules.h"

#include "Require.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorlen;
    if (size < 2)
        return 0;
    // Few colours make large regions and long floods; the cells cycle
    // through the input, stirred so that a short one still varies.
    const int colours = 2 + data[0] % 5;
    Field field = makeField(kBoardRows, kBoardColumns);
    std::uint32_t stir = 2166136261U;
    for (int cell = 0; cell < kBoardCells; ++cell) {
        stir = (stir ^ data[1 + static_cast<std::size_t>(cell) % (size - 1)]) * 16777619U;
        field[static_cast<std::size_t>(cell / kBoardColumns)][static_cast<std::size_t>(cell % kBoardColumns)] =
            1 + static_cast<int>((stir >> 8) % static_cast<std::uint32_t>(colours));
    }
    BitBoard board(field);
    require(board.field() == field && board.scores() == computeScore(field));
    const std::size_t movesFrom = size > 64 ? 64 : 1;
    for (std::size_t at = movesFrom; at < size && at < movesFrom + 400; ++at) {
        const int seat = static_cast<int>((at - movesFrom) % 2);
        const int colour = data[at] % 8; // 0 and 7: out of range
        const bool legal = playColour(field, seat, colour);
        require(board.legal(seat, colour) == legal);
        if (legal)
            board.play(seat, colour);
        require(board.scores() == computeScore(field));
    }
    require(board.field() == field);
    return 0;
}
