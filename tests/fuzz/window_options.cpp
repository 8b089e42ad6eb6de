// The window's command line: arguments separated by NUL bytes, scanned as
// the window scans them, then the board and the problems they ask for.
#include "StartupOptions.h"

#include <QString>
#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList arguments{"vorlen"};
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            arguments << QString::fromLocal8Bit(reinterpret_cast<const char*>(data) + start,
                                                static_cast<qsizetype>(i - start));
            start = i + 1;
        }
    }
    // The window draws the board it was asked for only when the options make sense.
    const auto actions = scanStartupOptions(arguments);
    if (startupProblem(actions).empty())
        (void)chosenBoard(actions);
    return 0;
}
