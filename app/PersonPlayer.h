#pragma once

#include "Field.h"
#include "IVorlenLogic.h"
#include "Trace.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// A seat played by a person at the window. Its move runs on the referee's
// thread and waits there for the colour the person chooses in the window.
class PersonPlayer : public vorlen::IVorlenLogic {
public:
    // `ask` is called on the referee's thread when a move is wanted, with
    // the legal colours; the window then offers them.
    PersonPlayer(std::function<void(std::vector<int>)> ask, vorlen::Trace trace);

    int makeMove(const vorlen::Field& field) override;
    // From the window: the person's colour, taken only while a move waits
    // and only if it is legal. False otherwise.
    bool choose(int colour);
    // The window goes: a waiting move ends without an answer.
    void cancel();
    bool waiting() const;

private:
    std::function<void(std::vector<int>)> ask;
    vorlen::Trace trace;
    mutable std::mutex mutex;
    std::condition_variable chosen;
    std::vector<int> legal;
    std::optional<int> answer;
    bool asking = false;
    bool cancelled = false;
};
