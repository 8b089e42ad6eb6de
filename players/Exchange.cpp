#include "Exchange.h"

#include <QProcess>

#include <filesystem>
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

std::string anchorCommandLine(const std::string& commandLine, const std::string& base)
{
    std::string anchored;
    for (std::string arg : splitCommandLine(commandLine)) {
        const std::filesystem::path path(arg);
        std::error_code error;
        if (!arg.empty() && path.is_relative() && std::filesystem::exists(base / path, error))
            arg = (std::filesystem::path(base) / path).lexically_normal().string();
        // Quoted so that it splits back the same; a quote inside is tripled.
        std::string quoted = "\"";
        for (const char ch : arg)
            quoted += ch == '"' ? std::string("\"\"\"") : std::string(1, ch);
        anchored += (anchored.empty() ? "" : " ") + quoted + "\"";
    }
    return anchored;
}

} // namespace vorlen
