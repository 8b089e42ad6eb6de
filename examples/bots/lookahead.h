// The look-ahead player's choice, shared by the file and the stream bots.
//
// For each legal colour it plays the move, then the best greedy follow-up,
// and keeps the colour whose two moves together gain most; the opponent's
// reply is not modelled. Ties go to the larger immediate gain, then to the
// lower colour.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace lookahead {

using Board = std::vector<std::string>; // rows of digits '1'..'6'

// Size of the region of (0, 0).
inline int regionSize(const Board& board)
{
    const int rows = static_cast<int>(board.size());
    const int columns = static_cast<int>(board[0].size());
    std::vector<char> seen(static_cast<size_t>(rows * columns), 0);
    std::vector<int> pending{0};
    seen[0] = 1;
    int count = 0;
    while (!pending.empty()) {
        const int cell = pending.back();
        pending.pop_back();
        ++count;
        const int r = cell / columns, c = cell % columns;
        const int next[4][2] = {{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
        for (const auto& [nr, nc] : next) {
            if (nr < 0 || nc < 0 || nr >= rows || nc >= columns)
                continue;
            const int index = nr * columns + nc;
            if (!seen[index] && board[nr][nc] == board[0][0]) {
                seen[index] = 1;
                pending.push_back(index);
            }
        }
    }
    return count;
}

// The board after recolouring the region of (0, 0) to `colour`.
inline Board play(Board board, char colour)
{
    const char old = board[0][0];
    const int rows = static_cast<int>(board.size());
    const int columns = static_cast<int>(board[0].size());
    std::vector<std::pair<int, int>> pending{{0, 0}};
    board[0][0] = colour;
    while (!pending.empty()) {
        const auto [r, c] = pending.back();
        pending.pop_back();
        const int next[4][2] = {{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
        for (const auto& [nr, nc] : next) {
            if (nr >= 0 && nc >= 0 && nr < rows && nc < columns && board[nr][nc] == old) {
                board[nr][nc] = colour;
                pending.push_back({nr, nc});
            }
        }
    }
    return board;
}

inline bool legal(const Board& board, char colour)
{
    return colour != board.front().front() && colour != board.back().back();
}

// The colour to play on `board` (rows of digits, your home at the top left).
inline char bestColour(const Board& board)
{
    const int now = regionSize(board);
    char best = 0;
    int bestTotal = -1, bestFirst = -1;
    for (char colour = '1'; colour <= '6'; ++colour) {
        if (!legal(board, colour))
            continue;
        const Board after = play(board, colour);
        const int first = regionSize(after) - now;
        int follow = 0;
        for (char next = '1'; next <= '6'; ++next) {
            if (legal(after, next))
                follow = std::max(follow, regionSize(play(after, next)) - now - first);
        }
        const int total = first + follow;
        if (total > bestTotal || (total == bestTotal && first > bestFirst)) {
            best = colour;
            bestTotal = total;
            bestFirst = first;
        }
    }
    return best;
}

} // namespace lookahead