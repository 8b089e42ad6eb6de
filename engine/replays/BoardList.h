#pragma once

#include "Field.h"
#include "Replay.h"
#include "ReplayPosition.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorlen {

// One board of a board list, as its line names it.
struct ListedBoard {
    enum class Kind { Drawn, Seeded, Map, Position };
    Kind kind = Kind::Drawn;
    int index = 0;          // Drawn and Seeded: board K
    std::uint64_t seed = 0; // Seeded: S
    std::string path;       // Map: as the line writes it
    Field field;            // Map: the board, read when the list is
    ReplayPosition position;              // Position: the replay as the line writes it, and K
    std::shared_ptr<const Replay> replay; // Position: read and checked when the list is
    int line = 0;                         // where the list names it, from 1

    // "rand:K", "seed:S:K", "map:PATH" or "replay:FILE@K": the board's label in records.
    std::string label() const;
};

// The largest K of "rand:K": every board before it is drawn in turn.
inline constexpr int kLastListedDraw = 100'000;

// Reads a board list, one board a line: "rand:K", "seed:S:K", "map:PATH" or
// "replay:FILE@K" (the position after the replay's turn K, or "@start"); blank
// lines and lines starting with '#' are skipped, as are blanks around a
// line. False, with "line N: ..." at the first bad line, or when there is
// no board. Maps and replays are not read here.
bool parseBoardList(std::string_view text, std::vector<ListedBoard>& boards, std::string& error);

// Reads a board list file and every map and replay it names, relative paths
// from the list's folder; a map must fill the board, and a replay's match
// must go on after its position.
bool readBoardList(const std::string& path, std::vector<ListedBoard>& boards, std::string& error);

// The board a listed line names: for a position, the replay's first board.
Field boardOf(const ListedBoard& board);

// Where a match on a listed board starts: none but for a position.
StartPoint startOf(const ListedBoard& board);

} // namespace vorlen
