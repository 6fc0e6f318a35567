// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C (and SIGTERM, SIGHUP) during a retrieval run, taken as the window's
// Cancel: the run stops after the step in hand, closes the browser and writes
// what it read. A second one ends the program at once.

namespace skartina::cli {

class InterruptAsCancel {
public:
    InterruptAsCancel();
    ~InterruptAsCancel();
    InterruptAsCancel(const InterruptAsCancel&) = delete;
    InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

    bool requested() const;
};

// Says on standard error, when it is a terminal, the step a run is starting:
// the silent seconds of the browser's start and the login.
void SayStepOnTerminal(const char* step);

}  // namespace skartina::cli
