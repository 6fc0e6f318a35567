// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every program of the product prints for --version: its name, the
// edition and the version of the build.

#include <string>

namespace skartina {

// "skartina-cli 2021 (1.0)" for the program "skartina-cli".
std::string VersionLine(const std::string& program);

}  // namespace skartina
