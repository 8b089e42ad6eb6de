// The window's command line: arguments separated by NUL bytes, scanned as
// the window scans them, then the board they ask for.
#include "StartupOptions.h"

#include "Arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The window draws the board it was asked for only when the options make sense.
    const auto actions = scanStartupOptions(argumentsOf("vorlen", data, size));
    if (startupProblem(actions).empty())
        (void)chosenBoard(actions);
    return 0;
}
