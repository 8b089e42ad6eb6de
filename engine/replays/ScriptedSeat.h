#pragma once

#include "IVorlenLogic.h"

#include <optional>

namespace vorlen {

// A seat that answers what a replay says it answered in the turn being
// played; the replay's reader sets `answer` before each turn.
class ScriptedSeat : public IVorlenLogic {
public:
    int makeMove(const Field&) override
    {
        asked = true;
        return answer.value_or(0);
    }

    std::optional<int> answer;
    bool asked = false;
};

} // namespace vorlen
