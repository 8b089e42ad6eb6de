#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// A command line from fuzz data: `program`, then the arguments the data
// holds between NUL bytes, in the locale's encoding as a shell passes them.
inline QStringList argumentsOf(const char* program, const std::uint8_t* data, std::size_t size)
{
    QStringList arguments{program};
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            arguments << QString::fromLocal8Bit(reinterpret_cast<const char*>(data) + start,
                                                static_cast<qsizetype>(i - start));
            start = i + 1;
        }
    }
    return arguments;
}
