#include "ReportArguments.h"

#include "SeatPlayer.h"

#include <QStringList>

#include <algorithm>

namespace vorlen::match {

std::optional<QString> readEvaluationLevels(const QString& value, MatchConfig& config)
{
    for (const QString& word : value.split(',')) {
        bool number = false;
        const int level = word.trimmed().toInt(&number);
        if (!number || !isSearchLevel(level))
            return QString("--evaluation: '%1' is no level: the levels are 1 to %2, as 3 or 1,3,5")
                .arg(word, QString::number(kSearchSeatLevels));
        if (std::find(config.evaluationLevels.begin(), config.evaluationLevels.end(), level)
            == config.evaluationLevels.end())
            config.evaluationLevels.push_back(level);
    }
    return std::nullopt;
}

} // namespace vorlen::match
