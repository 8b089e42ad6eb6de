#include "PlayerFactory.h"

#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"

namespace vorlen {

std::unique_ptr<IVorlenLogic> createPlayer(int kind, const std::string& program)
{
    if (kind == kExternalPlayer)
        return std::make_unique<VorlenLogicTeam01>(program);
    return std::make_unique<VorlenLogicTeam02>();
}

} // namespace vorlen
