// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Interrupt.h"

#include "portal/PumpClock.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <thread>

#include <unistd.h>

namespace skartina::cli {
namespace {

volatile std::sig_atomic_t gInterrupts = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[3];

extern "C" void OnInterrupt(int signal) {
    static const char kFirst[] =
        "\nδιακοπή: η άντληση σταματά μετά το τρέχον βήμα και γράφει ό,τι αντλήθηκε· ξανά Ctrl+C για άμεσο τερματισμό\n";
    static const char kSecond[] =
        "\nδιακοπή τώρα: το πρόγραμμα περιήγησης κλείνει χωρίς αναμονή και γράφεται ό,τι αντλήθηκε\n";
    if (gInterrupts == 0) {
        gInterrupts = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, kFirst, sizeof kFirst - 1);
        return;
    }
    gInterrupts = 2;
    // A third one is the signal's own end, should the run not end.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, kSecond, sizeof kSecond - 1);
}

}  // namespace

InterruptAsCancel::InterruptAsCancel() {
    gInterrupts = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) sigaddset(&action.sa_mask, signal);  // one handler at a time
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

InterruptAsCancel::~InterruptAsCancel() {
    for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
}

bool InterruptAsCancel::requested() const { return gInterrupts != 0; }

std::function<void()> InterruptAsCancel::pump() const {
    const auto thrown = std::make_shared<bool>(false);
    return [thrown] {
        if (gInterrupts == 2 && !*thrown) {
            *thrown = true;
            throw RetrievalCancelled();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // as the clock without a pump: no core burnt
    };
}

void SayStepOnTerminal(const std::string& step) {
    if (::isatty(STDERR_FILENO)) std::cerr << step << '\n';
}

}  // namespace skartina::cli
