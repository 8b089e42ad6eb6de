// A bot's command line: split into arguments and checked for problems.
#include "CommandLine.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = vorlen::splitCommandLine(commandLine);
    (void)words;
    (void)vorlen::commandLineProblem(commandLine);
    return 0;
}
