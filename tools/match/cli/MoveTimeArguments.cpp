#include "MoveTimeArguments.h"

#include <algorithm>

namespace vorlen::match {
namespace {

std::optional<std::chrono::milliseconds> moveTime(const QString& text)
{
    bool ok = false;
    const long long ms = text.trimmed().toLongLong(&ok);
    if (!ok || ms < 1 || ms > kLongestMoveLimit.count())
        return std::nullopt;
    return std::chrono::milliseconds(ms);
}

} // namespace

std::optional<QString> readMoveTimes(const QStringList& values, MatchConfig& config)
{
    const std::vector<NamedPlayer> players = config.players();
    const QString range = QString("a whole number of milliseconds from 1 to %1").arg(kLongestMoveLimit.count());
    for (const QString& value : values) {
        const qsizetype equals = value.indexOf('=');
        const QString name = equals < 0 ? QString() : value.left(equals);
        const auto ms = moveTime(equals < 0 ? value : value.mid(equals + 1));
        if (!ms)
            return "--move-time needs MS or NAME=MS, MS " + range + ", not '" + value + "'";
        if (equals < 0) {
            config.moveTime = *ms;
            continue;
        }
        const bool known = std::any_of(players.begin(), players.end(),
                                       [&](const NamedPlayer& p) { return QString::fromStdString(p.name) == name; });
        if (!known)
            return "--move-time: no player is named '" + name + "'";
        config.playerMoveTimes[name.toStdString()] = *ms;
    }
    return std::nullopt;
}

} // namespace vorlen::match
