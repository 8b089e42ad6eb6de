// A bot's answer: the text of "vorla.out", or a stream bot's answer line.
#include "Exchange.h"

#include "Require.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<int> move = vorlen::parseMove(text);
    std::istringstream stream(text);
    require(vorlen::parseMove(stream) == move);
    // A line of one integer alone is an answer under either rule, and the same one.
    if (const std::optional<int> line = vorlen::parseAnswerLine(text))
        require(line == move);
    return 0;
}
