#pragma once
// The portal password of a command: from the environment variable
// SKARTINA_PASSWORD, or typed at the terminal without echo. Never an argument,
// so that it does not show in the process list or the shell's history.

#include <string>

namespace skartina::cli {

// Throws std::runtime_error when the variable is unset and there is no terminal to ask.
std::string PortalPassword();

}  // namespace skartina::cli
