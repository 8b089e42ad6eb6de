#pragma once

#include "main_window.h"

#include <QTest>

#include <chrono>

namespace vorlen::testing {

// Waits for the turn in progress, if any, to be over and shown.
inline bool settle(const main_window& window, std::chrono::milliseconds most = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + most;
    while (window.moving() && std::chrono::steady_clock::now() < end)
        QTest::qWait(1);
    return !window.moving();
}

// One turn of the live match, played and shown.
inline void playTurn(main_window& window)
{
    window.nextStep();
    settle(window);
}

} // namespace vorlen::testing
