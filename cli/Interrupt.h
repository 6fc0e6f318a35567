// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C (and SIGTERM, SIGHUP) during a retrieval run, taken as the window's
// Cancel: the run stops after the step in hand, closes the browser and writes
// what it read. A second one ends the run at once: the wait in hand is given
// up, the browser quit without logging out and its profile removed. A third
// ends the program as the signal does.

#include <functional>
#include <string>

namespace skartina::cli {

class InterruptAsCancel {
public:
    InterruptAsCancel();
    ~InterruptAsCancel();
    InterruptAsCancel(const InterruptAsCancel&) = delete;
    InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

    bool requested() const;
    // The pump for the run's clock (SteadyPumpClock): after the second
    // interrupt it throws RetrievalCancelled, once, ending the wait in hand.
    std::function<void()> pump() const;
};

// Says on standard error, when it is a terminal, the step a run is starting:
// the silent seconds of the browser's start and the login.
void SayStepOnTerminal(const std::string& step);

}  // namespace skartina::cli
