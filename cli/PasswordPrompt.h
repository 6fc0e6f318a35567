// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The portal password of a command: from the environment variable
// SKARTINA_PASSWORD, or typed at the terminal without echo. Never an argument,
// so that it does not show in the process list or the shell's history.

#include <string>

namespace skartina::cli {

// Takes SKARTINA_PASSWORD out of the environment, first thing at start-up:
// the value is kept for PortalPassword and wiped where it lay, so that no
// program started later (the browser, its crash handler) inherits it.
void TakePasswordFromEnvironment();

// The password taken from the environment, or else typed at the terminal.
// Throws std::runtime_error when there is neither.
std::string PortalPassword();

}  // namespace skartina::cli
