// A map file's text, whole and fed in pieces as a stream reader gets it.
#include "Field.h"
#include "MapText.h"

#include "Require.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vorlen::Field whole = vorlen::makeField(vorlen::kBoardRows, vorlen::kBoardColumns, 1);
    const std::string echo = vorlen::readMapText(text, whole);
    // Pieces of 7 bytes read the same board, and echo the same, as the whole.
    vorlen::Field pieces = vorlen::makeField(vorlen::kBoardRows, vorlen::kBoardColumns, 1);
    vorlen::MapReader reader(pieces);
    for (std::size_t at = 0; at < text.size() && reader.feed(text.substr(at, 7)); at += 7) {
    }
    require(whole == pieces);
    require(echo == reader.echo());
    return 0;
}
