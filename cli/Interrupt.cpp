// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Interrupt.h"

#include <csignal>
#include <cstring>
#include <iostream>

#include <unistd.h>

namespace skartina::cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[3];

extern "C" void OnInterrupt(int) {
    gInterrupted = 1;
    static const char kSaid[] =
        "\nδιακοπή: η άντληση σταματά μετά το τρέχον βήμα και γράφει ό,τι αντλήθηκε· ξανά Ctrl+C για άμεσο τερματισμό\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, kSaid, sizeof kSaid - 1);
}

}  // namespace

InterruptAsCancel::InterruptAsCancel() {
    gInterrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;  // the second one is the default: the end
    for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

InterruptAsCancel::~InterruptAsCancel() {
    for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
}

bool InterruptAsCancel::requested() const { return gInterrupted != 0; }

void SayStepOnTerminal(const char* step) {
    if (::isatty(STDERR_FILENO)) std::cerr << step << "...\n";
}

}  // namespace skartina::cli
