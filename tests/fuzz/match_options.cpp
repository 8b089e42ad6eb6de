// vorlen-match's command line: arguments separated by NUL bytes.
#include "MatchArguments.h"

#include <QString>
#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList arguments{"vorlen-match"};
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            arguments << QString::fromLocal8Bit(reinterpret_cast<const char*>(data) + start,
                                                static_cast<qsizetype>(i - start));
            start = i + 1;
        }
    }
    (void)vorlen::match::parseMatchArguments(arguments, 2);
    return 0;
}
