// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the portal layer waits with: a pump that lets the user interface
// handle its pending events, and a monotonic millisecond clock. The program
// passes one that runs the toolkit's event loop; tests pass a fake whose time
// moves without sleeping.

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace skartina {

// Thrown by a pump to end the wait it runs in: the window that started the
// retrieval is closing. The retrieval ends without a message.
class RetrievalCancelled : public std::runtime_error {
public:
    RetrievalCancelled() : std::runtime_error("the retrieval was cancelled") {}
};

class PumpClock {
public:
    virtual ~PumpClock() = default;
    // Processes pending window events, then returns.
    virtual void Pump() = 0;
    // Milliseconds on a clock that never goes back.
    virtual uint64_t NowMs() = 0;
};

// The steady clock of the system. The pump runs the given callback; without
// one (outside a GUI) it sleeps a millisecond, so that waits do not burn a core.
class SteadyPumpClock : public PumpClock {
public:
    explicit SteadyPumpClock(std::function<void()> pump = {}) : pump_(std::move(pump)) {}
    void Pump() override;
    uint64_t NowMs() override;

private:
    std::function<void()> pump_;
};

}  // namespace skartina
