#include "Exchange.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vorlen {

std::string buildInput(const Field& board)
{
    std::string text;
    text.reserve(board.size() * (board.empty() ? 1 : board.front().size() + 1));
    for (const auto& row : board) {
        for (const std::int32_t cell : row)
            text += std::to_string(cell);
        text += '\n';
    }
    return text;
}

std::optional<int> parseMove(std::istream& in)
{
    int move = 0;
    if (!(in >> move))
        return std::nullopt;
    return move;
}

std::vector<std::string> splitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> argv;
    const QStringList parts = QProcess::splitCommand(QString::fromLatin1(commandLine));
    for (const QString& part : parts)
        argv.push_back(part.toLatin1().toStdString());
    return argv;
}

} // namespace vorlen
