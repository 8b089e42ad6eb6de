#include "StartupOptions.h"

#include "PlayerFactory.h"

#include <QFile>

std::vector<StartupAction> scanStartupOptions(const QStringList& arguments)
{
    std::vector<StartupAction> actions;
    const qsizetype count = arguments.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& option = arguments[i];
        if (option == "--sandbox") {
            actions.push_back({StartupAction::Type::Sandbox, 0, 0, {}});
            continue;
        }
        const bool seatOption = option == "--first" || option == "--second";
        if (!seatOption && option != "--map")
            continue;
        if (i + 1 >= count)
            break;
        const QString& value = arguments[++i];
        if (option == "--map") {
            actions.push_back({StartupAction::Type::LoadMap, 0, 0, QFile::encodeName(value).toStdString()});
            continue;
        }
        const int seat = option == "--first" ? 0 : 1;
        if (value == "human")
            continue;
        if (value == "stupid")
            actions.push_back({StartupAction::Type::SetPlayer, seat, vorlen::kBuiltInPlayer, {}});
        else
            actions.push_back({StartupAction::Type::SetPlayer, seat, vorlen::kExternalPlayer,
                               value.toLocal8Bit().toStdString()});
    }
    return actions;
}
