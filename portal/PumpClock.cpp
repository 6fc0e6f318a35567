// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/PumpClock.h"

#include <chrono>
#include <thread>

namespace skartina {

void SteadyPumpClock::Pump() {
    if (pump_)
        pump_();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

uint64_t SteadyPumpClock::NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace skartina
