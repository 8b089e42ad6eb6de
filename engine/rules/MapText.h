#pragma once

#include "Field.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vorlen {

// Fills the board row by row, one draw per cell: draw() % 6 + 1.
void fillRandom(Field& field, const std::function<int()>& draw);

// Writes the digits "1" to "6" of a map text into the board row by row,
// skipping every other character, and keeps the echo the referee prints:
// the digits taken, a line end after each completed row. Cells beyond the
// last digit keep their colours. The text may come in pieces.
class MapReader {
public:
    explicit MapReader(Field& field) : field_(field) {}

    // Takes the next piece of text; false once the board is full.
    bool feed(std::string_view text);
    bool full() const;
    const std::string& echo() const { return echo_; }

private:
    Field& field_;
    std::size_t row_ = 0;
    std::size_t column_ = 0;
    std::string echo_;
};

std::string readMapText(std::string_view text, Field& field);

// Maps are a few kilobytes; anything this large is not a map.
inline constexpr std::uint64_t kMapSizeLimit = 16 << 20;

// Reads a map file into the board, in bounded memory and time. Nothing
// happens, and false is returned with the reason, when the file cannot be
// opened, is not a regular file (a pipe, a device, a directory) or is larger
// than kMapSizeLimit.
bool readMapFile(const std::string& path, Field& field, std::string& echo, std::string& error);

} // namespace vorlen
