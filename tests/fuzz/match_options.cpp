// vorlen-match's command line: arguments separated by NUL bytes.
#include "MatchArguments.h"

#include "Arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)vorlen::match::parseMatchArguments(argumentsOf("vorlen-match", data, size), 2);
    return 0;
}
