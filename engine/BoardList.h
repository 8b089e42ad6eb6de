#pragma once

#include "Field.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlen {

// One board of a board list, as its line names it.
struct ListedBoard {
    enum class Kind { Drawn, Seeded, Map };
    Kind kind = Kind::Drawn;
    int index = 0;          // Drawn and Seeded: board K
    std::uint64_t seed = 0; // Seeded: S
    std::string path;       // Map: as the line writes it
    Field field;            // Map: the board, read when the list is
    int line = 0;           // where the list names it, from 1

    // "rand:K", "seed:S:K" or "map:PATH": the board's label in records.
    std::string label() const;
};

// The largest K of "rand:K": every board before it is drawn in turn.
inline constexpr int kLastListedDraw = 100'000;

// Reads a board list, one board a line: "rand:K", "seed:S:K" or "map:PATH";
// blank lines and lines starting with '#' are skipped, as are blanks around
// a line. False, with "line N: ..." at the first bad line, or when there is
// no board. Maps are not read here.
bool parseBoardList(std::string_view text, std::vector<ListedBoard>& boards, std::string& error);

// Reads a board list file and every map it names, relative paths from the
// list's folder; a map must fill the board.
bool readBoardList(const std::string& path, std::vector<ListedBoard>& boards, std::string& error);

// The board a listed line names.
Field boardOf(const ListedBoard& board);

} // namespace vorlen
