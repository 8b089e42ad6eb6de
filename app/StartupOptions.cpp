#include "StartupOptions.h"

#include "PlayerFactory.h"

std::vector<StartupAction> scanStartupOptions(const QStringList& arguments)
{
    std::vector<StartupAction> actions;
    const qsizetype count = arguments.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& option = arguments[i];
        const bool seatOption = option == "--first" || option == "--second";
        if (!seatOption && option != "--map")
            continue;
        if (i + 1 >= count)
            break;
        const QString& value = arguments[++i];
        if (option == "--map") {
            actions.push_back({StartupAction::Type::LoadMap, 0, 0, value.toLatin1().toStdString()});
            continue;
        }
        const int seat = option == "--first" ? 0 : 1;
        if (value == "human")
            continue;
        if (value == "stupid")
            actions.push_back({StartupAction::Type::SetPlayer, seat, vorlen::kBuiltInPlayer, {}});
        else
            actions.push_back({StartupAction::Type::SetPlayer, seat, vorlen::kExternalPlayer,
                               value.toLatin1().toStdString()});
    }
    return actions;
}
