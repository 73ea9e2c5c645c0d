// Waiting for the system to catch up: poll a condition until a deadline,
// never sleep a fixed time and hope.
#pragma once

#include <windows.h>

#include <chrono>

namespace e2e {

using namespace std::chrono_literals;

// Polls `done` every `interval` until it returns true or `timeout` has passed;
// returns its last answer. The condition is always tried once more at the
// deadline, so a slow machine fails only when the state really never came.
template <class Condition>
bool WaitUntil(Condition&& done, std::chrono::milliseconds timeout = 5s,
               std::chrono::milliseconds interval = 10ms) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        Sleep(static_cast<DWORD>(interval.count()));
    }
    return done();
}

// True when `holds` stays true for the whole period, polled like WaitUntil so
// that a change shows at once: for what must NOT happen within a time.
template <class Condition>
bool HoldsFor(Condition&& holds, std::chrono::milliseconds period,
              std::chrono::milliseconds interval = 10ms) {
    auto deadline = std::chrono::steady_clock::now() + period;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!holds()) return false;
        Sleep(static_cast<DWORD>(interval.count()));
    }
    return holds();
}

}  // namespace e2e
